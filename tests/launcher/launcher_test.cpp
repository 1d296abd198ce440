#include "launcher/launcher.h"

#include <string>

#include "support/fake_platform.h"

namespace {

class LauncherTest : public WithFakeSystem {
};

TEST_F(LauncherTest, ModuleInitialisationFailureShowsBox204WithoutOwner) {
    fake.moduleInitResult = static_cast<int>(0x8007000Eu);  // E_OUTOFMEMORY
    EXPECT_EQ(RunLauncher(nullptr), -1);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "COM error: failed to initialize module (errno = -2147024882).\n");
    EXPECT_EQ(fake.boxes[0].owner, nullptr);
    EXPECT_TRUE(fake.userInterfacePrepared);
    EXPECT_TRUE(fake.moduleTerminated);
    // The launch never got as far as the configuration.
    EXPECT_TRUE(fake.profileReads.empty());
}

TEST_F(LauncherTest, NoConfigurationFileShowsBox210AndEndsWithMinusOne) {
    EXPECT_EQ(RunLauncher(nullptr), -1);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Main class was not specified in INI file.");
    EXPECT_TRUE(fake.moduleTerminated);
}

TEST_F(LauncherTest, NoModulePathEndsWithMinusOneAfterOneBox) {
    fake.modulePathError = 122;
    EXPECT_EQ(RunLauncher(nullptr), -1);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Windows exception: failed to get the module path (errno = 122).\n");
}

TEST_F(LauncherTest, SingleInstanceKeysAreReadBeforeTheRestOfTheConfiguration) {
    fake.Ini()["Java Runtime Environment"]["Main Class"] = "A";
    Launcher launcher;
    launcher.Prepare();
    ASSERT_GE(fake.profileReads.size(), 3u);
    EXPECT_EQ(fake.profileReads[0], "Application/Application Type");
    EXPECT_EQ(fake.profileReads[1], "Application/Single Instance");
    EXPECT_EQ(fake.profileReads[2], "Java Runtime Environment/Minimum Version");
}

TEST_F(LauncherTest, ServiceSkipsTheSingleInstanceKey) {
    fake.Ini()["Application"]["Application Type"] = "service";
    Launcher launcher;
    launcher.Prepare();
    ASSERT_GE(fake.profileReads.size(), 2u);
    EXPECT_EQ(fake.profileReads[1], "Java Runtime Environment/Minimum Version");
}

TEST_F(LauncherTest, WorkingDirOverrideOnlyForYesInAnyCase) {
    struct Case { const char* value; bool changes; };
    const Case cases[] = {{"Yes", true}, {"yes", true}, {"YES", true}, {"1", false}, {"true", false}, {"", false}};
    for (const Case& c : cases) {
        ResetFake();
        Fake().modulePath = "C:\\Apps\\Tool\\run.exe";
        Fake().Ini()["Java Runtime Environment"]["Main Class"] = "A";
        Fake().Ini()["Application"]["Override WorkingDir"] = c.value;
        Launcher launcher;
        launcher.Prepare();
        if (c.changes) {
            EXPECT_EQ(Fake().currentDirChanges, std::vector<std::string>{"C:\\Apps\\Tool"}) << c.value;
        } else {
            EXPECT_TRUE(Fake().currentDirChanges.empty()) << c.value;
        }
    }
}

TEST_F(LauncherTest, WorkingDirOverrideTakesTheFolderByWholeCharacters) {
    struct Case { bool dbcs; const char* module; std::vector<std::string> dirs; };
    const Case cases[] = {
        // The folder "\x95\x5C" ends in a trail byte equal to "\": it is not a separator.
        {true, "C:\\\x95\x5C\\run.exe", {"C:\\\x95\x5C"}},
        {true, "C:\\a\\\x95\x5C", {"C:\\a"}},
        {false, "C:\\run.exe", {"C:"}},
        {false, "\\run.exe", {}},
        {false, "run.exe", {}},
    };
    for (const Case& c : cases) {
        ResetFake();
        Fake().codePage932 = c.dbcs;
        Fake().modulePath = c.module;
        Launcher launcher;
        ApplyWorkingDirOverride(launcher);
        EXPECT_EQ(Fake().currentDirChanges, c.dirs) << c.module;
    }
}

TEST_F(LauncherTest, WithoutARuntimeTheLaunchEndsWithMinusOneAndWritesNothing) {
    fake.Ini()["Java Runtime Environment"]["Main Class"] = "A";
    fake.Ini()["Java Runtime Environment"]["JRE Path"] = "C:\\nowhere";
    EXPECT_EQ(RunLauncher(nullptr), -1);
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_TRUE(fake.profileWrites.empty());
}

}  // namespace
