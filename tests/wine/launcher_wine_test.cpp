// The real executable, started the way a user starts it, under Wine.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wine_support.h"

namespace {

const char* const kNoMainClass = "Main class was not specified in INI file.";

std::vector<const uidriver::SeenWindow*> Dialogs(const uidriver::RunResult& result) {
    std::vector<const uidriver::SeenWindow*> dialogs;
    for (const auto& window : result.windows) {
        if (window.IsDialog()) dialogs.push_back(&window);
    }
    return dialogs;
}

// Exactly one error box with that text, ownerless, the platform's caption and one OK button.
void ExpectOnlyErrorBox(const uidriver::RunResult& result, const std::string& text,
                        const std::string& caption = "Error") {
    auto dialogs = Dialogs(result);
    ASSERT_EQ(dialogs.size(), 1u) << uidriver::Describe(result);
    EXPECT_EQ(dialogs[0]->MessageText(), text);
    EXPECT_EQ(dialogs[0]->caption, caption);
    EXPECT_EQ(dialogs[0]->ButtonTexts(), std::vector<std::string>{"OK"});
    EXPECT_FALSE(dialogs[0]->hasOwner);
}

bool ShowsBoxWithText(const uidriver::RunResult& result, const std::string& text) {
    for (const auto* dialog : Dialogs(result)) {
        if (dialog->MessageText() == text) return true;
    }
    return false;
}

TEST(Launch, ConfigurationWithoutMainClassShowsBox210AndEndsWithMinusOne) {
    struct Case { const char* name; const char* ini; };
    const Case cases[] = {
        {"no INI file", nullptr},
        {"no Main Class", "[Java Runtime Environment]\r\nJRE Path=C:\\jre\r\n"},
        {"empty Main Class", "[Java Runtime Environment]\r\nMain Class=\r\n"},
        {"Main Class in another section", "[Application]\r\nMain Class=com.example.App\r\n"},
        {"key in another case of section", "[java runtime environment]\r\nmain class=\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        ASSERT_TRUE(CopyProgram(KindlingExe(), folder / "run.exe"));
        if (c.ini) WriteFileBytes(folder / "run.ini", c.ini);
        auto result = RunProgram(folder / "run.exe", "run.exe", folder.Path());
        ASSERT_TRUE(result.started) << result.error;
        EXPECT_FALSE(result.timedOut);
        ExpectOnlyErrorBox(result, kNoMainClass);
        EXPECT_EQ(result.exitCode, kExitMinusOne);
    }
}

TEST(Launch, TwoCopiesInOneFolderReadTheirOwnConfiguration) {
    TempFolder folder;
    ASSERT_TRUE(CopyProgram(KindlingExe(), folder / "first.exe"));
    ASSERT_TRUE(CopyProgram(KindlingExe(), folder / "second.exe"));
    WriteFileBytes(folder / "first.ini", "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n");
    WriteFileBytes(folder / "second.ini", "[Application]\r\nFailure Check=Yes\r\n");

    auto first = RunProgram(folder / "first.exe", "first.exe", folder.Path());
    auto second = RunProgram(folder / "second.exe", "second.exe", folder.Path());
    EXPECT_FALSE(ShowsBoxWithText(first, kNoMainClass)) << uidriver::Describe(first);
    EXPECT_FALSE(first.timedOut);
    ExpectOnlyErrorBox(second, kNoMainClass);
    EXPECT_EQ(second.exitCode, kExitMinusOne);
}

TEST(Launch, ConfigurationIsFoundBesideTheExecutableNotInTheWorkingDirectory) {
    TempFolder app;
    TempFolder elsewhere;
    ASSERT_TRUE(CopyProgram(KindlingExe(), app / "run.exe"));
    WriteFileBytes(elsewhere / "run.ini", "[Java Runtime Environment]\r\nMain Class=A\r\n");
    auto result = RunProgram(app / "run.exe", "run.exe", elsewhere.Path());
    ExpectOnlyErrorBox(result, kNoMainClass);
}

TEST(Launch, ProgramWithoutExtensionReadsNameDotIni) {
    TempFolder folder("My.Apps");
    ASSERT_TRUE(CopyProgram(KindlingExe(), folder / "run"));
    WriteFileBytes(folder / "run.ini", "[Java Runtime Environment]\r\nMain Class=A\r\n");
    auto result = RunProgram(folder / "run", "run", folder.Path());
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_FALSE(ShowsBoxWithText(result, kNoMainClass)) << uidriver::Describe(result);
}

// With no runtime anywhere the dialog is the last resort; left without a
// runtime, the launch ends with -1 and nothing pretends to have launched.
TEST(Launch, WithoutAnyRuntimeTheDialogIsTheLastResort) {
    TempFolder folder;
    ASSERT_TRUE(CopyProgram(KindlingExe(), folder / "run.exe"));
    WriteFileBytes(folder / "run.ini", "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n");
    auto result = RunProgram(folder / "run.exe", "run.exe", folder.Path());
    EXPECT_FALSE(result.timedOut);
    auto dialogs = Dialogs(result);
    ASSERT_EQ(dialogs.size(), 1u) << uidriver::Describe(result);
    EXPECT_EQ(dialogs[0]->caption, "JRE Not Found");
    EXPECT_EQ(result.exitCode, kExitMinusOne);
}

TEST(CommandLine, ExactLinesReachTheProcessAndSplitByTheLaunchersRules) {
    struct Case { std::string line; std::vector<std::string> arguments; };
    const Case cases[] = {
        {"probe.exe", {}},
        {"probe.exe a b", {"a", "b"}},
        {"probe.exe a   b   ", {"a", "b"}},
        {"\"C:\\Program Files\\App\\probe.exe\" -nosplash x", {"-nosplash", "x"}},
        {"probe.exe \"a b\" c", {"a b", "c"}},
        {"probe.exe \"a b", {"a b"}},
        {"probe.exe \"\"", {""}},
        {"probe.exe \"", {""}},
        {"probe.exe \"a\"b", {"a", "b"}},
        {"probe.exe a\"b c\"", {"a\"b", "c\""}},
        {"probe.exe a\\\"b c", {"a\\\"b", "c"}},
        {"probe.exe a\tb", {"a\tb"}},
        {"probe.exe C:\\dir\\", {"C:\\dir\\"}},
        {"\"probe.exe\"-x", {"-x"}},
        {" \t probe.exe x\t\r\n", {"x"}},
    };
    TempFolder folder;
    ASSERT_TRUE(CopyProgram(ThisExe(), folder / "probe.exe"));
    for (const Case& c : cases) {
        uidriver::RunResult run;
        std::string report = RunProbe(folder / "probe.exe", "arguments", c.line, folder.Path(), &run);
        ASSERT_EQ(run.exitCode, 0u) << '[' << c.line << "] " << uidriver::Describe(run);
        std::vector<std::string> arguments;
        for (size_t start = 0, end; (end = report.find('\0', start)) != std::string::npos; start = end + 1) {
            arguments.push_back(report.substr(start, end - start));
        }
        EXPECT_EQ(arguments, c.arguments) << '[' << c.line << ']';
    }
}

TEST(Configuration, OverrideWorkingDirYesInAnyCaseMakesTheExecutablesFolderCurrent) {
    struct Case { const char* value; bool changes; };
    const Case cases[] = {{"Yes", true}, {"yes", true}, {"YES", true}, {"1", false}, {"true", false}, {"", false}};
    TempFolder app;
    TempFolder start;
    ASSERT_TRUE(CopyProgram(ThisExe(), app / "probe.exe"));
    for (const Case& c : cases) {
        WriteFileBytes(app / "probe.ini", std::string("[Java Runtime Environment]\r\nMain Class=com.example.App\r\n"
                                                      "[Application]\r\nOverride WorkingDir=") + c.value + "\r\n");
        std::string report = RunProbe(app / "probe.exe", "configuration", "probe.exe", start.Path());
        EXPECT_NE(report.find("read=1\n"), std::string::npos) << report;
        EXPECT_NE(report.find("main=com/example/App\n"), std::string::npos) << report;
        std::string expected = "cwd=" + (c.changes ? app.Path() : start.Path()) + "\n";
        EXPECT_NE(report.find(expected), std::string::npos) << c.value << ": " << report;
    }
}

// Code page 932: "\x95\x5C" is one character whose trail byte is "\".
class CodePage932 : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run this group with LC_ALL=ja_JP.UTF-8"; }
};

TEST_F(CodePage932, ConfigurationIsFoundInAFolderEndingInATrailBackslash) {
    TempFolder folder("\x95\x5C");
    ASSERT_NE(GetFileAttributesA(folder.Path().c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(CopyProgram(KindlingExe(), folder / "run.exe"));

    auto withoutIni = RunProgram(folder / "run.exe", "run.exe", folder.Path());
    ExpectOnlyErrorBox(withoutIni, kNoMainClass, "\x83G\x83\x89\x81[");  // the system's Japanese "Error"

    WriteFileBytes(folder / "run.ini", "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n");
    auto withIni = RunProgram(folder / "run.exe", "run.exe", folder.Path());
    EXPECT_FALSE(withIni.timedOut);
    EXPECT_FALSE(ShowsBoxWithText(withIni, kNoMainClass)) << uidriver::Describe(withIni);
}

TEST_F(CodePage932, OverrideMakesAFolderEndingInATrailBackslashCurrent) {
    TempFolder folder("\x95\x5C");
    TempFolder start;
    ASSERT_TRUE(CopyProgram(ThisExe(), folder / "probe.exe"));
    WriteFileBytes(folder / "probe.ini",
                   "[Java Runtime Environment]\r\nMain Class=jp.\x95\x5C.App\r\n[Application]\r\nOverride WorkingDir=Yes\r\n");
    std::string report = RunProbe(folder / "probe.exe", "configuration", "probe.exe", start.Path());
    EXPECT_NE(report.find("ini=" + folder.Path() + "\\probe.ini\n"), std::string::npos) << report;
    EXPECT_NE(report.find("main=jp/\x95\x5C/App\n"), std::string::npos) << report;
    EXPECT_NE(report.find("cwd=" + folder.Path() + "\n"), std::string::npos) << report;
}

// A name without extension whose last byte is a trail byte equal to a backslash.
TEST_F(CodePage932, ProgramNamedWithATrailBackslashKeepsItsFolder) {
    TempFolder folder;
    TempFolder start;
    std::string program = folder / "\x95\x5C";
    ASSERT_TRUE(CopyProgram(ThisExe(), program));
    WriteFileBytes(program + ".ini", "[Java Runtime Environment]\r\nMain Class=A\r\n[Application]\r\nOverride WorkingDir=yes\r\n");
    std::string report = RunProbe(program, "configuration", "probe", start.Path());
    EXPECT_NE(report.find("ini=" + program + ".ini\n"), std::string::npos) << report;
    EXPECT_NE(report.find("cwd=" + folder.Path() + "\n"), std::string::npos) << report;
}

}  // namespace
