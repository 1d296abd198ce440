#include "config/configuration.h"

#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "support/fake_platform.h"

namespace {

class ConfigurationTest : public WithFakeSystem {
protected:
    void Set(const char* section, const char* key, const std::string& value) { fake.Ini()[section][key] = value; }
    void SetRuntime(const char* key, const std::string& value) { Set(ini::kRuntimeSection, key, value); }
};

TEST_F(ConfigurationTest, IniPathReplacesTheFileNamesExtensionOnly) {
    struct Case { const char* module; const char* ini; };
    const Case cases[] = {
        {"C:\\Apps\\Tool\\run.exe", "C:\\Apps\\Tool\\run.ini"},
        {"C:\\Apps\\Tool\\run.my.exe", "C:\\Apps\\Tool\\run.my.ini"},
        {"C:\\My.Apps\\run", "C:\\My.Apps\\run.ini"},
        {"C:\\Apps\\run", "C:\\Apps\\run.ini"},
        {"run.exe", "run.ini"},
        {"/opt/My.Apps/run", "/opt/My.Apps/run.ini"},
        {"/opt/app/run.bin", "/opt/app/run.ini"},
    };
    for (const Case& c : cases) EXPECT_STREQ(IniPathFor(c.module).c_str(), c.ini) << c.module;
}

TEST_F(ConfigurationTest, IniPathOfAFolderWhoseNameEndsInATrailBackslash) {
    fake.codePage932 = true;
    // The folder's name is one double-byte character whose trail byte is "\".
    EXPECT_STREQ(IniPathFor("C:\\\x95\x5C\\run.exe").c_str(), "C:\\\x95\x5C\\run.ini");
    EXPECT_STREQ(IniPathFor("C:\\a.b\\\x95\x5C").c_str(), "C:\\a.b\\\x95\x5C.ini");
}

TEST_F(ConfigurationTest, ModulePathFailureShowsBox202With208) {
    fake.modulePathError = 5;
    Launcher launcher;
    launcher.ownerWindow = reinterpret_cast<os::Handle>(0x42);
    String path;
    EXPECT_FALSE(GetIniPath(launcher, path));
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Windows exception: failed to get the module path (errno = 5).\n");
    EXPECT_EQ(fake.boxes[0].owner, launcher.ownerWindow);
}

TEST_F(ConfigurationTest, ValuesOfAnyLengthAreReadWhole) {
    struct Case { size_t length; std::vector<unsigned long> bufferSizes; };
    const Case cases[] = {
        {0, {256}}, {254, {256}}, {255, {256, 512}}, {256, {256, 512}}, {511, {256, 512, 1024}},
        {1000, {256, 512, 1024}}, {70000, {256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 65536, 131072}},
    };
    for (const Case& c : cases) {
        std::string value(c.length, 'v');
        if (c.length) value.back() = 'Z';
        Set("Class Path", "Class Path", value);
        fake.profileReadSizes.clear();
        String read = ReadIniValue(IniPathFor(fake.modulePath.c_str()), "Class Path", "Class Path");
        EXPECT_EQ(std::string(read.c_str()), value) << c.length;
        EXPECT_EQ(fake.profileReadSizes, c.bufferSizes) << c.length;
    }
}

TEST_F(ConfigurationTest, MissingFileSectionOrKeyReadsEmpty) {
    String path = IniPathFor(fake.modulePath.c_str());
    EXPECT_TRUE(ReadIniValue(path, ini::kRuntimeSection, ini::kMainClass).IsEmpty());
    Set(ini::kRuntimeSection, "Other", "x");
    EXPECT_TRUE(ReadIniValue(path, ini::kRuntimeSection, ini::kMainClass).IsEmpty());
    EXPECT_TRUE(ReadIniValue(path, ini::kApplicationSection, "Other").IsEmpty());
}

TEST_F(ConfigurationTest, NoMainClassShowsBox210AndFails) {
    Launcher launcher;
    EXPECT_FALSE(ReadConfiguration(launcher));
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Main class was not specified in INI file.");
    // Nothing past Main Class is read once it is missing.
    EXPECT_EQ(fake.profileReads.back(), "Java Runtime Environment/Main Class");
}

TEST_F(ConfigurationTest, EveryKeyTakesItsMeaning) {
    SetRuntime("Minimum Version", "1.5");
    SetRuntime("Maximum Version", "1.6.0_10");
    SetRuntime("Preferred versions", "1.6;;1.5 ");
    SetRuntime("JRE Path", "jre");
    SetRuntime("JVM Type", "server");
    SetRuntime("JVM Source", "only_JRE");
    SetRuntime("Main Class", "com.example.App");
    SetRuntime("System Path", "%JAVA_HOME%\\bin;C:\\x");
    SetRuntime("Library Path", "lib;native");
    Set("Application", "Failure Check", "yes");
    Set("Application", "Override WorkingDir", "YES");

    Launcher launcher;
    ASSERT_TRUE(ReadConfiguration(launcher));
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(launcher.minimumVersion.parts[0], 1);
    EXPECT_EQ(launcher.minimumVersion.parts[1], 5);
    EXPECT_EQ(launcher.minimumVersion.parts[2], 0);
    EXPECT_EQ(launcher.minimumVersion.partCount, 2);
    EXPECT_EQ(launcher.maximumVersion.parts[3], 10);
    EXPECT_EQ(launcher.maximumVersion.partCount, 4);
    ASSERT_EQ(launcher.preferredVersions.Count(), 3);
    EXPECT_EQ(launcher.preferredVersions[1], "");
    EXPECT_EQ(launcher.preferredVersions[2], "1.5 ");
    EXPECT_EQ(launcher.configuredJrePath, "jre");
    EXPECT_EQ(launcher.jvmType, JvmType::Server);
    EXPECT_FALSE(launcher.otherKindAllowed);
    EXPECT_TRUE(launcher.jrePreferred);
    EXPECT_EQ(launcher.mainClass, "com/example/App");
    EXPECT_EQ(launcher.systemPath, "%JAVA_HOME%\\bin;C:\\x");
    EXPECT_EQ(launcher.libraryPath, "lib;native");
    EXPECT_TRUE(launcher.failureCheck);
    EXPECT_TRUE(launcher.overrideWorkingDir);
}

TEST_F(ConfigurationTest, VersionBounds) {
    struct Case { const char* minimum; const char* maximum; JavaVersion min, max; };
    const Case cases[] = {
        {"any", "any", {{0, 0, 0, 0}, 4}, {{65535, 65535, 65535, 65535}, 4}},
        {nullptr, nullptr, {{0, 0, 0, 0}, 0}, {{0, 0, 0, 0}, 0}},
        {"", "", {{0, 0, 0, 0}, 0}, {{0, 0, 0, 0}, 0}},
        {"1.5", "1.5", {{1, 5, 0, 0}, 2}, {{1, 5, 65535, 65535}, 2}},
        {"ANY", "latest", {{0, 0, 0, 0}, 0}, {{0, 0, 0, 0}, 0}},
    };
    for (const Case& c : cases) {
        ResetFake();
        Fake().Ini()[ini::kRuntimeSection]["Main Class"] = "A";
        if (c.minimum) Fake().Ini()[ini::kRuntimeSection]["Minimum Version"] = c.minimum;
        if (c.maximum) Fake().Ini()[ini::kRuntimeSection]["Maximum Version"] = c.maximum;
        Launcher launcher;
        ASSERT_TRUE(ReadConfiguration(launcher));
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(launcher.minimumVersion.parts[i], c.min.parts[i]) << c.minimum << " part " << i;
            EXPECT_EQ(launcher.maximumVersion.parts[i], c.max.parts[i]) << c.maximum << " part " << i;
        }
        EXPECT_EQ(launcher.minimumVersion.partCount, c.min.partCount);
        EXPECT_EQ(launcher.maximumVersion.partCount, c.max.partCount);
    }
}

TEST_F(ConfigurationTest, ExactAndAnyCaseComparisons) {
    struct Case { const char* jvmType; JvmType type; const char* yes; bool on; };
    const Case cases[] = {
        {"server", JvmType::Server, "Yes", true},
        {"favor_server", JvmType::FavorServer, "yes", true},
        {"Server", JvmType::Default, "YES", true},
        {"SERVER", JvmType::Default, "1", false},
        {"client", JvmType::Default, "true", false},
        {"", JvmType::Default, "", false},
        {"server ", JvmType::Default, "Yes ", false},
    };
    for (const Case& c : cases) {
        ResetFake();
        auto& file = Fake().Ini();
        file[ini::kRuntimeSection]["Main Class"] = "A";
        file[ini::kRuntimeSection]["JVM Type"] = c.jvmType;
        file["Application"]["Failure Check"] = c.yes;
        file["Application"]["Override WorkingDir"] = c.yes;
        Launcher launcher;
        ASSERT_TRUE(ReadConfiguration(launcher));
        EXPECT_EQ(launcher.jvmType, c.type) << c.jvmType;
        EXPECT_EQ(launcher.failureCheck, c.on) << c.yes;
        EXPECT_EQ(launcher.overrideWorkingDir, c.on) << c.yes;
    }
}

TEST_F(ConfigurationTest, JvmSourceFlags) {
    struct Case { const char* source; bool otherKindAllowed, jdkPreferred, jrePreferred; };
    const Case cases[] = {
        {"", true, false, false},          {"favor_JRE", true, false, true}, {"favor_JDK", true, true, false},
        {"only_JRE", false, false, true},  {"only_JDK", false, true, false}, {"only_jre", false, false, false},
        {"JDK", false, false, false},
    };
    for (const Case& c : cases) {
        ResetFake();
        Fake().Ini()[ini::kRuntimeSection]["Main Class"] = "A";
        Fake().Ini()[ini::kRuntimeSection]["JVM Source"] = c.source;
        Launcher launcher;
        ASSERT_TRUE(ReadConfiguration(launcher));
        EXPECT_EQ(launcher.otherKindAllowed, c.otherKindAllowed) << c.source;
        EXPECT_EQ(launcher.jdkPreferred, c.jdkPreferred) << c.source;
        EXPECT_EQ(launcher.jrePreferred, c.jrePreferred) << c.source;
    }
}

TEST_F(ConfigurationTest, MainClassDotsBecomeSlashesByWholeCharacters) {
    struct Case { bool dbcs; const char* value; const char* stored; };
    const Case cases[] = {
        {false, "com.example.App", "com/example/App"},
        {false, "com/example/App", "com/example/App"},
        {false, "App", "App"},
        {true, "jp.\x81.pkg.App", "jp/\x81.pkg/App"},  // "\x81." is one character in 932
    };
    for (const Case& c : cases) {
        ResetFake();
        Fake().codePage932 = c.dbcs;
        Fake().Ini()[ini::kRuntimeSection]["Main Class"] = c.value;
        Launcher launcher;
        ASSERT_TRUE(ReadConfiguration(launcher));
        EXPECT_STREQ(launcher.mainClass.c_str(), c.stored);
    }
}

}  // namespace
