#include <string>
#include <vector>

#include "config/configuration.h"
#include "jre/missing_jre_dialog.h"
#include "jre/runtime_search.h"
#include "launcher/launcher.h"
#include "support/fake_platform.h"

namespace {

class LocateRuntimeTest : public WithFakeSystem {
protected:
    void SetUp() override {
        WithFakeSystem::SetUp();
        fake.modulePath = "C:\\App\\run.exe";
        fake.texts[206] = "server JVM (%s) from:";
        fake.texts[207] = "JRE (%s) from:";
        Set("Main Class", "A");
        Set("Maximum Version", "any");
    }
    void Set(const char* key, const std::string& value) { fake.Ini()[ini::kRuntimeSection][key] = value; }
    std::string Locate(bool* located = nullptr) {
        Launcher launcher;
        if (!ReadConfiguration(launcher)) return "(no configuration)";
        if (launcher.overrideWorkingDir) ApplyWorkingDirOverride(launcher);
        bool ok = LocateRuntime(launcher);
        if (located) *located = ok;
        return ok ? launcher.jvmLibraryPath.c_str() : "(none)";
    }
};

TEST_F(LocateRuntimeTest, SourcesInTheirFixedOrder) {
    struct Case { const char* name; const char* jrePath; std::vector<std::string> files; bool registered; const char* found; };
    const Case cases[] = {
        {"configured, no trailing backslash", "D:\\jre", {"D:\\jre\\bin\\client\\jvm.dll", "C:\\App\\bin\\java.dll", "C:\\App\\bin\\client\\jvm.dll"}, true,
         "D:\\jre\\bin\\client\\jvm.dll"},
        {"configured with trailing backslash", "D:\\jre\\", {"D:\\jre\\bin\\client\\jvm.dll"}, false, "D:\\jre\\bin\\client\\jvm.dll"},
        {"configured bin folder yields nothing", "D:\\jre\\bin", {"D:\\jre\\bin\\client\\jvm.dll"}, false, "(none)"},
        {"configured empty home falls through to adjacent", "D:\\empty", {"C:\\App\\jre\\bin\\java.dll", "C:\\App\\jre\\bin\\client\\jvm.dll"}, true,
         "C:\\App\\jre\\bin\\client\\jvm.dll"},
        {"adjacent without jvm.dll falls through to registry", "", {"C:\\App\\bin\\java.dll"}, true, "R:\\jre\\bin\\client\\jvm.dll"},
        {"nothing next to the exe: relative to the current directory", "", {"bin\\client\\jvm.dll"}, true, "bin\\client\\jvm.dll"},
        {"registry last", "", {}, true, "R:\\jre\\bin\\client\\jvm.dll"},
        {"none at all", "", {}, false, "(none)"},
    };
    for (const Case& c : cases) {
        ResetFake();
        SetUp();
        Set("JRE Path", c.jrePath);
        for (const std::string& f : c.files) Fake().files.insert(f);
        if (c.registered) {
            Fake().Register(kJreRegistryKey, "1.8", "R:\\jre");
            Fake().files.insert("R:\\jre\\bin\\client\\jvm.dll");
        }
        EXPECT_EQ(Locate(), c.found) << c.name;
        EXPECT_TRUE(Fake().profileWrites.empty()) << c.name;
    }
}

TEST_F(LocateRuntimeTest, MissingRuntimeMessageNamesTheRequirement) {
    struct Case { const char* type; const char* minimum; const char* message; };
    const Case cases[] = {
        {"", "any", "JRE (latest version) from:"},
        {"favor_server", "any", "JRE (latest version) from:"},
        {"server", "1.5", "server JVM (minimum version 1.5) from:"},
    };
    for (const Case& c : cases) {
        ResetFake();
        SetUp();
        Set("JVM Type", c.type);
        Set("Minimum Version", c.minimum);
        Set("Maximum Version", "any");
        fake.activeWindow = reinterpret_cast<os::Handle>(0x77);
        EXPECT_EQ(Locate(), "(none)");
        ASSERT_EQ(Fake().dialogMessages.size(), 1u);
        EXPECT_EQ(Fake().dialogMessages[0], c.message) << c.type;
        EXPECT_EQ(Fake().dialogOwner, fake.activeWindow);
    }
}

TEST_F(LocateRuntimeTest, OkInTheDialogUsesThePickAtOnceAndRemembersIt) {
    fake.dialogPick = "E:\\Java\\jre8";
    fake.dialogResult = 1;
    fake.files.insert("E:\\Java\\jre8\\bin\\server\\jvm.dll");
    EXPECT_EQ(Locate(), "E:\\Java\\jre8\\bin\\server\\jvm.dll");
    ASSERT_EQ(fake.profileWrites.size(), 1u);
    EXPECT_EQ(fake.profileWrites[0].section, "Java Runtime Environment");
    EXPECT_EQ(fake.profileWrites[0].key, "JRE Path");
    EXPECT_EQ(fake.profileWrites[0].value, "E:\\Java\\jre8\\");
    EXPECT_EQ(fake.profileWrites[0].file, "C:\\App\\run.ini");

    // The next start finds it first, without the dialog.
    fake.dialogMessages.clear();
    EXPECT_EQ(Locate(), "E:\\Java\\jre8\\bin\\server\\jvm.dll");
    EXPECT_TRUE(fake.dialogMessages.empty());
}

TEST_F(LocateRuntimeTest, DialogLeftWithoutOkFailsAndWritesNothing) {
    fake.dialogPick = "E:\\Java\\jre8";
    fake.files.insert("E:\\Java\\jre8\\bin\\client\\jvm.dll");
    for (int result : {2, 0, -1}) {
        fake.dialogResult = result;
        bool located = true;
        EXPECT_EQ(Locate(&located), "(none)");
        EXPECT_FALSE(located);
    }
    EXPECT_TRUE(fake.profileWrites.empty());
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(LocateRuntimeTest, RelativeJrePathIsTakenAfterTheWorkingDirOverride) {
    fake.Ini()["Application"]["Override WorkingDir"] = "yes";
    Set("JRE Path", "jre");
    fake.files.insert("jre\\bin\\client\\jvm.dll");
    EXPECT_EQ(Locate(), "jre\\bin\\client\\jvm.dll");
    EXPECT_EQ(fake.currentDirChanges, std::vector<std::string>{"C:\\App"});
}

TEST_F(LocateRuntimeTest, PickedFolderEnablesOkOnlyWithALibraryOfTheType) {
    struct Case { const char* folder; JvmType type; const char* chosen; const char* library; };
    const Case cases[] = {
        {"E:\\server", JvmType::Server, "E:\\server\\", "E:\\server\\bin\\server\\jvm.dll"},
        {"E:\\client\\", JvmType::Server, "E:\\client\\", ""},
        {"E:\\client", JvmType::FavorServer, "E:\\client\\", "E:\\client\\bin\\client\\jvm.dll"},
        {"E:\\none", JvmType::Default, "E:\\none\\", ""},
        {"", JvmType::Default, "", ""},
    };
    fake.files = {"E:\\server\\bin\\server\\jvm.dll", "E:\\client\\bin\\client\\jvm.dll"};
    for (const Case& c : cases) {
        MissingJreDialog dialog("message", c.type);
        EXPECT_EQ(dialog.AcceptPickedFolder(c.folder), *c.library != '\0') << c.folder;
        EXPECT_STREQ(dialog.chosenFolder.c_str(), c.chosen);
        EXPECT_STREQ(dialog.jvmLibraryPath.c_str(), c.library);
    }
    // A good pick, then a bad one: the last pick counts.
    MissingJreDialog dialog("message", JvmType::Default);
    EXPECT_TRUE(dialog.AcceptPickedFolder("E:\\client"));
    EXPECT_FALSE(dialog.AcceptPickedFolder("E:\\none"));
    EXPECT_TRUE(dialog.jvmLibraryPath.IsEmpty());
}

}  // namespace
