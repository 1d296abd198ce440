#include <string>
#include <vector>

#include "config/configuration.h"
#include "jvm/jvm.h"
#include "jvm/vm_options.h"
#include "launcher/launcher.h"
#include "support/fake_platform.h"

namespace {

std::vector<std::string> Items(const StringList& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list[i].c_str());
    return items;
}

std::vector<unsigned> Items(const Array<unsigned int>& numbers) {
    std::vector<unsigned> items;
    for (int i = 0; i < numbers.Count(); ++i) items.push_back(numbers[i]);
    return items;
}

class VmOptionsTest : public WithFakeSystem {
protected:
    void SetUp() override {
        WithFakeSystem::SetUp();
        fake.modulePath = "C:\\App\\run.exe";
    }
    void SetKb(unsigned long long totalKb) { fake.totalPhysicalMemory = totalKb << 10; }
    void Set(const char* section, const char* key, const std::string& value) { fake.Ini()[section][key] = value; }
    std::vector<std::string> Split(const char* value) {
        StringList list;
        SplitVmParameters(launcher, value, list);
        return Items(list);
    }
    Launcher launcher;
};

TEST_F(VmOptionsTest, RuntimeHomeIsTheFolderAboveBin) {
    struct Case { bool dbcs; const char* library; const char* home; };
    const Case cases[] = {
        {false, "C:\\Java\\jre\\bin\\client\\jvm.dll", "C:\\Java\\jre\\"},
        {false, "D:\\jdk\\jre\\bin\\server\\jvm.dll", "D:\\jdk\\jre\\"},
        // Found relative to the current directory: lib is then relative too.
        {false, "bin\\client\\jvm.dll", ""},
        {false, "jvm.dll", ""},
        // The trail byte 0x5C of a folder name is no backslash.
        {true, "C:\\Java\\bin\x95\x5C\\client\\jvm.dll", "C:\\Java\\"},
    };
    for (const Case& c : cases) {
        fake.codePage932 = c.dbcs;
        EXPECT_STREQ(RuntimeHomeOf(c.library).c_str(), c.home) << c.library;
    }
}

TEST_F(VmOptionsTest, ExpandEnvironmentReplacesDefinedNamesOnly) {
    fake.environment["APPDIR"] = "D:\\My App";
    struct Case { const char* text; const char* expanded; };
    const Case cases[] = {
        {"%APPDIR%\\app.jar", "D:\\My App\\app.jar"},
        {"%appdir%\\app.jar", "D:\\My App\\app.jar"},
        {"%NOPE%\\app.jar", "%NOPE%\\app.jar"},
        {"100%", "100%"},
        {"", ""},
    };
    for (const Case& c : cases) {
        String text = c.text;
        ExpandEnvironment(text);
        EXPECT_STREQ(text.c_str(), c.expanded) << c.text;
    }
}

TEST_F(VmOptionsTest, LibraryPathListsConfiguredExecutableCurrentPathAndRuntimeFolders) {
    struct Case { const char* name; const char* libraryPath; const char* path; const char* option; };
    const Case cases[] = {
        {"the example", "C:\\native", "C:\\Windows;C:\\Windows\\System32",
         "-Djava.library.path=C:\\native;C:\\App\\;.;C:\\Windows;C:\\Windows\\System32;C:\\Java\\jre\\lib"},
        {"references in Library Path expand in the same pass", "%LIBS%;D:\\x", "C:\\Windows",
         "-Djava.library.path=E:\\libs;D:\\x;C:\\App\\;.;C:\\Windows;C:\\Java\\jre\\lib"},
        {"no Path: the reference stays", "C:\\native", nullptr,
         "-Djava.library.path=C:\\native;C:\\App\\;.;%Path%;C:\\Java\\jre\\lib"},
    };
    for (const Case& c : cases) {
        ResetFake();
        SetUp();
        Fake().environment["LIBS"] = "E:\\libs";
        if (c.path) Fake().environment["Path"] = c.path;
        Launcher fresh;
        fresh.libraryPath = c.libraryPath;
        fresh.jvmLibraryPath = "C:\\Java\\jre\\bin\\client\\jvm.dll";
        PrepareSearchPaths(fresh);
        EXPECT_EQ(Items(fresh.vmOptions), std::vector<std::string>{c.option}) << c.name;
        EXPECT_EQ(Fake().environment.count("Path"), c.path ? 1u : 0u) << c.name;
        EXPECT_TRUE(Fake().boxes.empty()) << c.name;
    }
}

TEST_F(VmOptionsTest, SystemPathGoesAfterTheCurrentPath) {
    fake.environment["Path"] = "C:\\Windows";
    fake.environment["TOOLS"] = "D:\\tools";
    launcher.libraryPath = "C:\\native";
    launcher.systemPath = "C:\\tools;%TOOLS%";
    launcher.jvmLibraryPath = "C:\\Java\\jre\\bin\\client\\jvm.dll";
    PrepareSearchPaths(launcher);
    EXPECT_EQ(fake.environment["Path"], "C:\\Windows;C:\\tools;D:\\tools");
    // The library list saw Path as it was before.
    ASSERT_EQ(launcher.vmOptions.Count(), 1);
    EXPECT_STREQ(launcher.vmOptions[0].c_str(),
                 "-Djava.library.path=C:\\native;C:\\App\\;.;C:\\Windows;C:\\Java\\jre\\lib");
}

TEST_F(VmOptionsTest, EmptyPathSettingsChangeNothing) {
    fake.environment["Path"] = "C:\\Windows";
    launcher.jvmLibraryPath = "C:\\Java\\jre\\bin\\client\\jvm.dll";
    PrepareSearchPaths(launcher);
    EXPECT_TRUE(launcher.vmOptions.IsEmpty());
    EXPECT_EQ(fake.environment, (std::map<std::string, std::string>{{"Path", "C:\\Windows"}}));
}

TEST_F(VmOptionsTest, FindOptionEndSkipsQuotedSpaces) {
    struct Case { const char* text; int start; int end; };
    const Case cases[] = {
        {"abc", 0, 3},
        {"a b", 0, 1},
        {"a b c", 2, 3},
        {"\"a b\" c", 0, 5},
        {"x=\"a b\"", 0, 7},
        {"a=\"x y\"z w", 0, 8},
        {"a \"b c\"", 0, 1},
        {"\"a b\" \"c d\"", 6, 11},
        // An unmatched quote protects nothing.
        {"\"a b", 0, 2},
        {"a=\"b c", 0, 4},
        // A doubled quote closes the section at its second quote.
        {"\"a \"\" b\"", 0, 5},
        {"\"a\"\"b c\"", 0, 5},
    };
    for (const Case& c : cases) EXPECT_EQ(FindOptionEnd(c.text, c.start), c.end) << c.text << " from " << c.start;
}

TEST_F(VmOptionsTest, RemoveQuotesDropsDelimitersAndKeepsLoneOrDoubledQuotes) {
    struct Case { const char* token; const char* result; };
    const Case cases[] = {
        {"-Dtitle=\"My App\"", "-Dtitle=My App"},
        {"\"-Dx=a b\"", "-Dx=a b"},
        {"-Dp=\"C:\\Program Files\"\\x", "-Dp=C:\\Program Files\\x"},
        {"\"a\"b\"c\"", "abc"},
        {"x\"\"y", "xy"},
        {"\"\"", ""},
        {"plain", "plain"},
        {"a\"b", "a\"b"},
        {"\"a\"\"b\"", "a\"b\""},
        {"\"\"\"", "\""},
        {"\"\"\"\"", "\"\""},
    };
    for (const Case& c : cases) {
        String token = c.token;
        RemoveQuotes(token);
        EXPECT_STREQ(token.c_str(), c.result) << c.token;
    }
}

TEST_F(VmOptionsTest, SplitGivesOneOptionPerToken) {
    struct Case { const char* value; std::vector<std::string> options; };
    const Case cases[] = {
        {"", {}},
        {"-Xmx512m", {"-Xmx512m"}},
        {"-Xmx512m -Dtitle=\"My App\" \"-Dx=a b\"", {"-Xmx512m", "-Dtitle=My App", "-Dx=a b"}},
        {"-Da=1    -Db=2", {"-Da=1", "-Db=2"}},
        {"-Da=1 -Db=2   ", {"-Da=1", "-Db=2"}},
        {"-Da=\"x y -Db=1", {"-Da=\"x", "y", "-Db=1"}},
        {"-Da=1\t-Db=2", {"-Da=1\t-Db=2"}},
        {"\"\" -Da=1", {"", "-Da=1"}},
        {"-xmx25p -Xmn25p", {"-xmx25p", "-Xmn25p"}},
        // Leading spaces give no empty option that the VM would refuse.
        {"   -Da=1", {"-Da=1"}},
        {"   ", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Split(c.value), c.options) << "[" << c.value << "]";
}

TEST_F(VmOptionsTest, PercentFormIsRecognisedByPrefixAndLastCharacter) {
    struct Case { bool dbcs; const char* token; bool percent; };
    const Case cases[] = {
        {false, "-Xmx25p", true},
        {false, "-Xms10P", true},
        {false, "-Xss1p", true},
        {false, "-Xmxp", true},
        {false, "-xmx25p", false},
        {false, "-XMX25p", false},
        {false, "-Xmn25p", false},
        {false, "-Xmx25", false},
        {false, "-Xmx", false},
        {false, "-Xm", false},
        {false, "p", false},
        {false, "", false},
        // "p" as the trail byte of a double-byte character is no "p".
        {true, "-Xmx\x95p", false},
        {true, "-Xmx\x95pp", true},
    };
    for (const Case& c : cases) {
        fake.codePage932 = c.dbcs;
        EXPECT_EQ(IsPercentMemoryOption(c.token), c.percent) << c.token;
    }
}

TEST_F(VmOptionsTest, ParseNumberListNeverReadsTheLastCharacter) {
    struct Case { const char* text; std::vector<unsigned> numbers; int prefixLength; };
    const Case cases[] = {
        {"-Xmx25p", {25}, 4},
        {"-Xmx25:128:1024p", {25, 128, 1024}, 4},
        {"-Xmx1:2:3:4p", {1, 2, 3, 4}, 4},
        {"-Xmxp", {}, 5},
        {"", {}, 0},
        {"-Xmx:p", {0, 0}, 4},
        {":5p", {0, 5}, 0},
        {"-Xmx1a2p", {12}, 4},
        {"-Xmx12", {1}, 4},
        {"x5", {0}, 1},
        {"-Xmx4294967297p", {1}, 4},
    };
    for (const Case& c : cases) {
        Array<unsigned int> numbers;
        int prefixLength = -1;
        ParseNumberList(c.text, numbers, prefixLength);
        EXPECT_EQ(Items(numbers), c.numbers) << c.text;
        EXPECT_EQ(prefixLength, c.prefixLength) << c.text;
    }
}

TEST_F(VmOptionsTest, PercentOfPhysicalMemoryBecomesKilobytes) {
    struct Case { const char* token; unsigned long long totalKb; const char* result; };
    const Case cases[] = {
        {"-Xmx25p", 2097152, "-Xmx524288K"},
        {"-Xmx25:128:1024p", 2097152, "-Xmx524288K"},
        {"-Xmx75:0:1024p", 4194303, "-Xmx1048576K"},
        {"-Xms10:256p", 1048576, "-Xms262144K"},
        {"-Xmx33p", 1048576, "-Xmx346030K"},
        {"-Xmx25P", 2097152, "-Xmx524288K"},
        {"-Xmxp", 2097152, "-Xmxp0K"},
        // (29 * 0.01) * 100 is 28.999..., not 29.
        {"-Xmx29p", 100, "-Xmx28K"},
        // The minimum is applied after the maximum and wins.
        {"-Xmx50:512:256p", 1048576, "-Xmx524288K"},
        {"-Xmx50:0:256p", 1048576, "-Xmx262144K"},
        // Low 32 bits, printed signed.
        {"-Xmx300000p", 2097152, "-Xmx1996488704K"},
        {"-Xmx200000p", 2097152, "-Xmx-100663296K"},
        // The total in kilobytes is 32-bit too.
        {"-Xmx50p", (1ULL << 32) + 1024, "-Xmx512K"},
    };
    for (const Case& c : cases) {
        SetKb(c.totalKb);
        String token = c.token;
        ResolvePercentMemoryOption(token);
        EXPECT_STREQ(token.c_str(), c.result) << c.token << " of " << c.totalKb;
    }
}

TEST_F(VmOptionsTest, LongPrefixIsKeptWhole) {
    std::string prefix = "-Xmx" + std::string(1100, 'a');
    String token = (prefix + "25p").c_str();
    ResolvePercentMemoryOption(token);
    EXPECT_EQ(std::string(token.c_str()), prefix + "524288K");
}

TEST_F(VmOptionsTest, ThreadStackSizeParsesOnlyPlainNumbersWithUnits) {
    constexpr unsigned kUnchanged = 7;
    struct Case { bool dbcs; const char* value; unsigned size; };
    const Case cases[] = {
        {false, "512k", 524288},
        {false, "512K", 524288},
        {false, "2m", 2097152},
        {false, "2M", 2097152},
        {false, "1g", 1073741824},
        {false, "1G", 1073741824},
        {false, "65536", 65536},
        {false, "512kk", 524288},
        {false, "10p", 10},
        {false, "5g", 1073741824},
        {false, "1:2m", kUnchanged},
        {false, "=1m", kUnchanged},
        {false, ":1m", kUnchanged},
        {false, "k", kUnchanged},
        {false, "", kUnchanged},
        // "k" as a trail byte is no unit.
        {true, "1\x95k", 1},
    };
    for (const Case& c : cases) {
        fake.codePage932 = c.dbcs;
        launcher.mainThreadStackSize = kUnchanged;
        ParseThreadStackSize(launcher, c.value);
        EXPECT_EQ(launcher.mainThreadStackSize, c.size) << c.value;
    }
}

TEST_F(VmOptionsTest, ProcessVmParameterUnquotesResolvesTakesStackAndAppends) {
    SetKb(1048576);
    struct Case { const char* token; const char* option; unsigned stack; };
    const Case cases[] = {
        {"\"-Xss512k\"", "-Xss512k", 524288},
        {"-Xss10p", "-Xss104857K", 104857u * 1024},
        {"-Xss1:2m", "-Xss1:2m", 0},
        {"-Xss=1m", "-Xss=1m", 0},
        {"-xss512k", "-xss512k", 0},
        {"-xmx25p", "-xmx25p", 0},
        {"\"-Xmx25p\"", "-Xmx262144K", 0},
    };
    for (const Case& c : cases) {
        Launcher fresh;
        StringList list;
        list.Append("first");
        ProcessVmParameter(fresh, c.token, list);
        EXPECT_EQ(Items(list), (std::vector<std::string>{"first", c.option})) << c.token;
        EXPECT_EQ(fresh.mainThreadStackSize, c.stack) << c.token;
    }
}

TEST_F(VmOptionsTest, OptionsComeInOrderLibraryClassPathThenParameters) {
    fake.environment["Path"] = "C:\\Windows";
    Set("Class Path", "Class Path", "lib\\app.jar;lib\\util.jar");
    Set("Java Runtime Environment", "Virtual Machine Parameters", "-Xmx512m -Dtitle=\"My App\" \"-Dx=a b\"");
    Set("Application", "Output File", "out.txt");
    Set("Application", "Error File", "err.txt");
    launcher.libraryPath = "C:\\native";
    launcher.jvmLibraryPath = "C:\\Java\\jre\\bin\\client\\jvm.dll";
    PrepareSearchPaths(launcher);
    ASSERT_TRUE(AssembleVmOptions(launcher));
    EXPECT_EQ(Items(launcher.vmOptions),
              (std::vector<std::string>{"-Djava.library.path=C:\\native;C:\\App\\;.;C:\\Windows;C:\\Java\\jre\\lib",
                                        "-Djava.class.path=lib\\app.jar;lib\\util.jar", "-Xmx512m",
                                        "-Dtitle=My App", "-Dx=a b"}));
    EXPECT_STREQ(launcher.outputFile.c_str(), "out.txt");
    EXPECT_STREQ(launcher.errorFile.c_str(), "err.txt");
    EXPECT_EQ(launcher.mainThreadStackSize, 0u);
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(fake.profileReads,
              (std::vector<std::string>{"Class Path/Class Path", "Java Runtime Environment/Virtual Machine Parameters",
                                        "Application/Output File", "Application/Error File"}));
}

TEST_F(VmOptionsTest, EnvironmentIsExpandedAfterTheSplit) {
    struct Case { const char* name; const char* classPath; const char* parameters; std::vector<std::string> options; };
    const Case cases[] = {
        {"defined class path folder", "%APPDIR%\\app.jar", "",
         {"-Djava.class.path=D:\\My App\\app.jar"}},
        {"undefined one stays", "%NOWHERE%\\app.jar", "",
         {"-Djava.class.path=%NOWHERE%\\app.jar"}},
        {"a value with spaces stays one option", "app.jar", "-Dtitle=%TITLE% -Xmx1m",
         {"-Djava.class.path=app.jar", "-Dtitle=Big Tool 2", "-Xmx1m"}},
        {"the percent form is judged before expansion", "app.jar", "-Xmx%SIZE%",
         {"-Djava.class.path=app.jar", "-Xmx25p"}},
    };
    for (const Case& c : cases) {
        ResetFake();
        SetUp();
        Fake().environment["APPDIR"] = "D:\\My App";
        Fake().environment["TITLE"] = "Big Tool 2";
        Fake().environment["SIZE"] = "25p";
        Set("Class Path", "Class Path", c.classPath);
        Set("Java Runtime Environment", "Virtual Machine Parameters", c.parameters);
        Launcher fresh;
        ASSERT_TRUE(AssembleVmOptions(fresh)) << c.name;
        EXPECT_EQ(Items(fresh.vmOptions), c.options) << c.name;
    }
}

TEST_F(VmOptionsTest, StreamFilesAreStoredAsRead) {
    fake.environment["TEMP"] = "C:\\Temp";
    Set("Class Path", "Class Path", "app.jar");
    Set("Application", "Output File", "%TEMP%\\out.txt");
    Set("Application", "Error File", "\"err log.txt\"");
    ASSERT_TRUE(AssembleVmOptions(launcher));
    EXPECT_STREQ(launcher.outputFile.c_str(), "%TEMP%\\out.txt");
    EXPECT_STREQ(launcher.errorFile.c_str(), "\"err log.txt\"");
}

TEST_F(VmOptionsTest, EveryStackOptionReachesTheVmAndTheLastThatParsesSetsTheSize) {
    SetKb(1048576);
    Set("Class Path", "Class Path", "app.jar");
    Set("Java Runtime Environment", "Virtual Machine Parameters", "-Xss2m -Xss512k -Xss1:2m -Xmx10:256p");
    ASSERT_TRUE(AssembleVmOptions(launcher));
    EXPECT_EQ(Items(launcher.vmOptions), (std::vector<std::string>{"-Djava.class.path=app.jar", "-Xss2m", "-Xss512k",
                                                                   "-Xss1:2m", "-Xmx262144K"}));
    EXPECT_EQ(launcher.mainThreadStackSize, 524288u);
}

TEST_F(VmOptionsTest, MissingClassPathIsReportedAndEndsTheLaunch) {
    Set("Java Runtime Environment", "Virtual Machine Parameters", "-Xss512k");
    Set("Application", "Output File", "out.txt");
    launcher.ownerWindow = reinterpret_cast<os::Handle>(0x42);
    launcher.vmOptions.Append("-Djava.library.path=x");
    EXPECT_FALSE(AssembleVmOptions(launcher));
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Java Class Path was not specified in INI file.");
    EXPECT_EQ(fake.boxes[0].owner, launcher.ownerWindow);
    EXPECT_EQ(fake.boxes[0].style, 0x10u);
    EXPECT_EQ(Items(launcher.vmOptions), std::vector<std::string>{"-Djava.library.path=x"});
    EXPECT_EQ(fake.profileReads, std::vector<std::string>{"Class Path/Class Path"});
    EXPECT_EQ(launcher.mainThreadStackSize, 0u);
    EXPECT_TRUE(launcher.outputFile.IsEmpty());
}

TEST_F(VmOptionsTest, NoConfigurationPathEndsTheLaunchBeforeAnyRead) {
    Set("Class Path", "Class Path", "app.jar");
    fake.modulePathError = 5;
    EXPECT_FALSE(AssembleVmOptions(launcher));
    EXPECT_TRUE(launcher.vmOptions.IsEmpty());
    EXPECT_TRUE(fake.profileReads.empty());
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Windows exception: failed to get the module path (errno = 5).\n");
}

}  // namespace
