#include <string>

#include "jvm/jvm.h"
#include "launcher/launcher.h"
#include "support/fake_platform.h"

namespace {

class JvmLibraryTest : public WithFakeSystem {
};

TEST_F(JvmLibraryTest, LoadingFailuresShowTheirBoxes) {
    struct Case { const char* name; bool present; unsigned long loadError; std::set<std::string> exports; const char* box; };
    const Case cases[] = {
        {"missing file", false, 0, {}, "Failed to load Java VM library: C:\\jre\\bin\\client\\jvm.dll (errno = 126).\n"},
        {"not a library", true, 193, {}, "Failed to load Java VM library: C:\\jre\\bin\\client\\jvm.dll (errno = 193).\n"},
        {"no exports", true, 0, {}, "Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n"},
        {"only create", true, 0, {"JNI_CreateJavaVM"}, "Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n"},
        {"only default args", true, 0, {"JNI_GetDefaultJavaVMInitArgs"},
         "Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n"},
    };
    for (const Case& c : cases) {
        ResetFake();
        if (c.present) Fake().libraries["C:\\jre\\bin\\client\\jvm.dll"] = {c.loadError, c.exports};
        Launcher launcher;
        launcher.ownerWindow = reinterpret_cast<os::Handle>(0x99);
        launcher.jvmLibraryPath = "C:\\jre\\bin\\client\\jvm.dll";
        EXPECT_FALSE(LoadJvmLibrary(launcher)) << c.name;
        ASSERT_EQ(Fake().boxes.size(), 1u) << c.name;
        EXPECT_EQ(Fake().boxes[0].text, c.box) << c.name;
        EXPECT_EQ(Fake().boxes[0].owner, launcher.ownerWindow);
        EXPECT_TRUE(Fake().environment.empty()) << c.name;
    }
}

TEST_F(JvmLibraryTest, LoadedLibraryPublishesItsLocation) {
    fake.libraries["C:\\Java\\jre\\bin\\client\\jvm.dll"] = {0, {"JNI_CreateJavaVM", "JNI_GetDefaultJavaVMInitArgs"}};
    Launcher launcher;
    launcher.jvmLibraryPath = "C:\\Java\\jre\\bin\\client\\jvm.dll";
    ASSERT_TRUE(LoadJvmLibrary(launcher));
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_NE(launcher.createJavaVmEntry, nullptr);
    EXPECT_NE(launcher.defaultInitArgsEntry, nullptr);
    EXPECT_EQ(fake.environment["KP_JVM_PATH"], "C:\\Java\\jre\\bin\\client\\jvm.dll");
    EXPECT_EQ(fake.environment["KP_JVM_HOME"], "C:\\Java\\jre");
    EXPECT_EQ(fake.dependencyFolders, std::vector<std::string>{"C:\\Java\\jre\\bin"});
}

TEST_F(JvmLibraryTest, StripPathComponentsByWholeCharacters) {
    struct Case { bool dbcs; const char* path; int count; const char* result; };
    const Case cases[] = {
        {false, "C:\\Java\\jre\\bin\\client\\jvm.dll", 3, "C:\\Java\\jre"},
        {false, "C:\\jvm.dll", 3, "C:"},
        {false, "jvm.dll", 3, "jvm.dll"},
        {false, "bin\\client\\jvm.dll", 3, "bin"},
        {true, "C:\\\x95\x5C\\bin\\server\\jvm.dll", 3, "C:\\\x95\x5C"},
        {true, "C:\\a\x95\x5C", 1, "C:"},
    };
    for (const Case& c : cases) {
        fake.codePage932 = c.dbcs;
        EXPECT_STREQ(StripPathComponents(c.path, c.count).c_str(), c.result) << c.path;
    }
}

}  // namespace
