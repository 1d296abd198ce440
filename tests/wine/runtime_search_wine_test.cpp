// Runtime search by the real executable: registry entries in the prefix,
// runtime folders on disk. Each jvm.dll here is a stand-in that is no library,
// so the load fails and box 222 names exactly the copy the search chose.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wine_support.h"

namespace {

const char* const kJdkKey = "Software\\JavaSoft\\Java Development Kit\\";
const char* const kJreKey = "Software\\JavaSoft\\Java Runtime Environment\\";

void DeleteKeyTree(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[MAX_PATH];
    DWORD length = MAX_PATH;
    while (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        DeleteKeyTree(key, name);
        length = MAX_PATH;
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
}

class RuntimeSearch : public ::testing::Test {
protected:
    void SetUp() override { DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\JavaSoft"); }
    void TearDown() override { DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\JavaSoft"); }

    void Register(const std::string& key, const std::string& version, const std::string& javaHome) {
        HKEY created;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (key + version).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &created, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(created, "JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(javaHome.c_str()),
                       static_cast<DWORD>(javaHome.size() + 1));
        RegCloseKey(created);
    }

    // A runtime home (ending in "\") with bin\java.dll and the named jvm.dll variants.
    static void MakeRuntime(const std::string& home, std::vector<std::string> variants) {
        std::string bin = home + "bin";
        CreateDirectoryA(home.c_str(), nullptr);
        CreateDirectoryA(bin.c_str(), nullptr);
        WriteFileBytes(bin + "\\java.dll", "stand-in");
        for (const std::string& variant : variants) {
            CreateDirectoryA((bin + "\\" + variant).c_str(), nullptr);
            WriteFileBytes(bin + "\\" + variant + "\\jvm.dll", "stand-in, not a library");
        }
    }

    // Runs the launcher and returns the jvm.dll it tried to load, or "(none)"
    // when it found none and the missing-runtime dialog was cancelled.
    std::string LoadedLibrary(const std::string& exe, const std::string& ini, const std::string& workingDir = "") {
        WriteFileBytes(exe.substr(0, exe.rfind('.')) + ".ini", ini);
        uidriver::Action cancel;
        cancel.reply = uidriver::Reply::PressButton;
        cancel.buttonId = IDCANCEL;
        auto result = RunProgram(exe, "run.exe", workingDir.empty() ? app.Path() : workingDir, {cancel});
        EXPECT_FALSE(result.timedOut) << uidriver::Describe(result);
        EXPECT_EQ(result.exitCode, kExitMinusOne);
        const std::string prefix = "Failed to load Java VM library: ";
        for (const auto& window : result.windows) {
            std::string text = window.MessageText();
            if (text.compare(0, prefix.size(), prefix) == 0) return text.substr(prefix.size(), text.find(" (errno = ") - prefix.size());
        }
        return "(none)";
    }

    TempFolder app;
    TempFolder java;
};

std::string RuntimeIni(const std::string& keys) { return "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n" + keys; }

TEST_F(RuntimeSearch, WorkedExampleTakesTheFirstPreferredVersion) {
    MakeRuntime(java / "jdk15\\", {});
    MakeRuntime(java / "jdk15\\jre\\", {"client"});
    MakeRuntime(java / "jre14\\", {"client"});
    MakeRuntime(java / "jre16\\", {"client"});
    Register(kJdkKey, "1.5.0_06", java / "jdk15");
    Register(kJreKey, "1.4.2", java / "jre14");
    Register(kJreKey, "1.6", java / "jre16");
    Register(kJreKey, "1.6.0_10", java / "jre16");
    ASSERT_TRUE(CopyProgram(KindlingExe(), app / "run.exe"));
    std::string keys = "JVM Source=favor_JDK\r\nMinimum Version=1.5\r\nMaximum Version=any\r\n";
    EXPECT_EQ(LoadedLibrary(app / "run.exe", RuntimeIni(keys + "Preferred versions=1.6;1.5\r\n")),
              java / "jre16\\bin\\client\\jvm.dll");
    EXPECT_EQ(LoadedLibrary(app / "run.exe", RuntimeIni(keys)), java / "jdk15\\jre\\bin\\client\\jvm.dll");
}

TEST_F(RuntimeSearch, JvmSourceBoundsAndTypeDecideWhatQualifies) {
    MakeRuntime(java / "jdk\\", {});
    MakeRuntime(java / "jdk\\jre\\", {"client"});
    MakeRuntime(java / "jre\\", {"client"});
    Register(kJdkKey, "1.6", java / "jdk");
    Register(kJreKey, "1.5.0_06", java / "jre\\");
    ASSERT_TRUE(CopyProgram(KindlingExe(), app / "run.exe"));
    const std::string jdk = java / "jdk\\jre\\bin\\client\\jvm.dll";
    const std::string jre = java / "jre\\bin\\client\\jvm.dll";
    struct Case { const char* keys; std::string loaded; };
    const Case cases[] = {
        {"Maximum Version=any\r\n", jdk},
        {"Maximum Version=any\r\nJVM Source=favor_JRE\r\n", jre},
        {"Maximum Version=any\r\nJVM Source=only_JRE\r\n", jre},
        {"Maximum Version=any\r\nJVM Source=only_JDK\r\n", jdk},
        {"Maximum Version=any\r\nJVM Source=only_jre\r\n", "(none)"},
        {"Maximum Version=any\r\nJVM Source=JRE\r\n", "(none)"},
        {"Minimum Version=any\r\nMaximum Version=1.5\r\n", jre},
        {"Minimum Version=1.6\r\nMaximum Version=any\r\n", jdk},
        {"Minimum Version=1.7\r\nMaximum Version=any\r\n", "(none)"},
        {"Minimum Version=any\r\n", "(none)"},  // no maximum: nothing with a version qualifies
        {"Maximum Version=any\r\nJVM Type=server\r\n", "(none)"},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadedLibrary(app / "run.exe", RuntimeIni(c.keys)), c.loaded) << c.keys;
}

TEST_F(RuntimeSearch, ConfiguredJrePathComesFirstAndMustBeTheHomeItself) {
    MakeRuntime(java / "configured\\", {"client", "server"});
    MakeRuntime(java / "registered\\", {"client"});
    Register(kJreKey, "1.8", java / "registered");
    ASSERT_TRUE(CopyProgram(KindlingExe(), app / "run.exe"));
    const std::string registered = java / "registered\\bin\\client\\jvm.dll";
    struct Case { std::string keys; std::string loaded; };
    const Case cases[] = {
        {"JRE Path=" + java / "configured", java / "configured\\bin\\client\\jvm.dll"},
        {"JRE Path=" + java / "configured\\", java / "configured\\bin\\client\\jvm.dll"},
        {"JRE Path=" + java / "configured" + "\r\nJVM Type=server", java / "configured\\bin\\server\\jvm.dll"},
        {"JRE Path=" + java / "configured\\bin", registered},
        {"JRE Path=" + java / "configured\\bin\\client\\jvm.dll", registered},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadedLibrary(app / "run.exe", RuntimeIni(c.keys + "\r\nMaximum Version=any\r\n")), c.loaded) << c.keys;
    }
}

TEST_F(RuntimeSearch, RelativeJrePathIsTakenFromTheFolderTheOverrideMakesCurrent) {
    MakeRuntime(app / "runtime\\", {"hotspot"});
    ASSERT_TRUE(CopyProgram(KindlingExe(), app / "run.exe"));
    std::string ini = RuntimeIni("JRE Path=runtime\r\n[Application]\r\nOverride WorkingDir=Yes\r\n");
    EXPECT_EQ(LoadedLibrary(app / "run.exe", ini, java.Path()), "runtime\\bin\\hotspot\\jvm.dll");
    std::string noOverride = RuntimeIni("JRE Path=runtime\r\n");
    EXPECT_EQ(LoadedLibrary(app / "run.exe", noOverride, java.Path()), "(none)");
}

TEST_F(RuntimeSearch, RuntimeNextToTheExecutable) {
    struct Case { const char* name; const char* home; };
    const Case cases[] = {{"inside a runtime home", ""}, {"beside a jre folder", "jre\\"}};
    for (const Case& c : cases) {
        TempFolder folder;
        MakeRuntime(folder.Path() + "\\" + c.home, {"classic"});
        ASSERT_TRUE(CopyProgram(KindlingExe(), folder / "run.exe"));
        EXPECT_EQ(LoadedLibrary(folder / "run.exe", RuntimeIni(""), folder.Path()),
                  folder.Path() + "\\" + c.home + "bin\\classic\\jvm.dll")
            << c.name;
    }
}

TEST_F(RuntimeSearch, WithNothingNextToTheExecutableVariantsAreTriedInTheCurrentDirectory) {
    MakeRuntime(java.Path() + "\\", {"client"});
    ASSERT_TRUE(CopyProgram(KindlingExe(), app / "run.exe"));
    EXPECT_EQ(LoadedLibrary(app / "run.exe", RuntimeIni(""), java.Path()), "bin\\client\\jvm.dll");
}

}  // namespace
