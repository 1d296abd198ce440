// Drives fixtures/boxes.exe through the UI driver. Runs as a Windows
// program (under run-wine in CI), in an English locale.
//
//   uidriver_selftest [--boxes=PATH] [gtest options]
//
// PATH defaults to boxes.exe beside this program.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "uidriver.h"

namespace {

using uidriver::Action;
using uidriver::Reply;
using uidriver::RunOptions;
using uidriver::RunResult;
using uidriver::SeenWindow;

std::string g_boxes;

std::string Quote(const std::string& path) { return "\"" + path + "\""; }

std::vector<const SeenWindow*> Dialogs(const RunResult& r) {
    std::vector<const SeenWindow*> out;
    for (const SeenWindow& w : r.windows)
        if (w.IsDialog()) out.push_back(&w);
    return out;
}

bool ProcessGone(unsigned long pid) {
    // Termination is asynchronous; give it a moment before calling it a leak.
    for (int i = 0; i < 100; ++i) {
        HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
        if (!h) return true;
        DWORD wait = WaitForSingleObject(h, 0);
        CloseHandle(h);
        if (wait == WAIT_OBJECT_0) return true;
        Sleep(30);
    }
    return false;
}

// Each test gets its own working directory for the fixture's files and
// its own BOXES_MODE / BOXES_EXIT, which the target inherits.
class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::string(temp) + "uidriver-" + std::to_string(GetCurrentProcessId()) + "-" + info->name();
        for (char& c : dir_)
            if (c == '/') c = '_';
        RemoveDir();  // left over by an interrupted run; Wine reuses pids
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr)) << dir_;
    }

    void TearDown() override {
        SetEnvironmentVariableA("BOXES_MODE", nullptr);
        SetEnvironmentVariableA("BOXES_EXIT", nullptr);
        RemoveDir();
    }

    void RemoveDir() {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((dir_ + "\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do DeleteFileA((dir_ + "\\" + found.cFileName).c_str());
            while (FindNextFileA(h, &found));
            FindClose(h);
        }
        RemoveDirectoryA(dir_.c_str());
    }

    RunOptions Options(const char* mode, const char* exitCode = nullptr) {
        SetEnvironmentVariableA("BOXES_MODE", mode);
        SetEnvironmentVariableA("BOXES_EXIT", exitCode);
        RunOptions o;
        o.program = g_boxes;
        o.commandLine = Quote(g_boxes);
        o.workingDir = dir_;
        o.timeoutMs = 20000;
        return o;
    }

    std::string ReadFile(const char* name) {
        std::ifstream in(dir_ + "\\" + name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string dir_;
};

TEST_F(DriverTest, RigProvidesTheScreenSizeSplashTestsAssume) {
    EXPECT_EQ(1024, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(768, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(DriverTest, RecordsMessageBoxesTheirOwnerAndTheFullExitCode) {
    RunResult r = uidriver::Run(Options("boxes"));
    SCOPED_TRACE(uidriver::Describe(r));
    ASSERT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(0xFFFFFFFFUL, r.exitCode);
    EXPECT_EQ("1 2", ReadFile("results.txt"));  // Default: OK, then Cancel

    auto dialogs = Dialogs(r);
    ASSERT_EQ(2u, dialogs.size());
    const SeenWindow& first = *dialogs[0];
    EXPECT_EQ("first text", first.MessageText());
    EXPECT_EQ("Error", first.caption);  // what a null caption becomes
    EXPECT_FALSE(first.hasOwner);
    EXPECT_EQ(std::vector<std::string>({"OK"}), first.ButtonTexts());
    EXPECT_EQ(r.processId, first.processId);
    // Centred on the screen proves position and size are the outer rect.
    EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN) / 2, first.left + first.width / 2, 1);
    EXPECT_NEAR(GetSystemMetrics(SM_CYSCREEN) / 2, first.top + first.height / 2, 1);

    const SeenWindow& second = *dialogs[1];
    EXPECT_EQ("second text", second.MessageText());
    EXPECT_EQ("Error", second.caption);
    EXPECT_TRUE(second.hasOwner);
    EXPECT_EQ("BoxesOwner", second.ownerClassName);
    EXPECT_EQ("Boxes owner", second.ownerCaption);
    EXPECT_TRUE(second.ownerIsSameProcess);
    EXPECT_EQ(std::vector<std::string>({"&Yes", "&No", "Cancel"}), second.ButtonTexts());
}

// Texts are read as Unicode, so they survive whatever the ANSI code page is.
TEST_F(DriverTest, RecordsTextsAsUtf8Too) {
    RunResult r = uidriver::Run(Options("unicode"));
    SCOPED_TRACE(uidriver::Describe(r));
    ASSERT_EQ(1u, r.windows.size());
    EXPECT_EQ("Kindling \xC3\xBC", r.windows[0].captionUtf8);
    const uidriver::Control* body = r.windows[0].FindControl(0xFFFF);
    ASSERT_NE(nullptr, body);
    EXPECT_EQ("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xC3\xBC", body->textUtf8);
}

TEST_F(DriverTest, RecordsOtherTopLevelWindowsWithoutAnsweringThem) {
    RunResult r = uidriver::Run(Options("boxes"));
    SCOPED_TRACE(uidriver::Describe(r));
    ASSERT_EQ(3u, r.windows.size());
    const SeenWindow& owner = r.windows[1];  // shown between the two boxes
    EXPECT_EQ("BoxesOwner", owner.className);
    EXPECT_EQ("Boxes owner", owner.caption);
    EXPECT_EQ(320, owner.width);
    EXPECT_EQ(200, owner.height);
    EXPECT_EQ(10, owner.left);
    EXPECT_TRUE(owner.style & WS_CAPTION);
    EXPECT_EQ("", owner.reply);
    EXPECT_EQ("second text", r.windows[2].MessageText());
}

TEST_F(DriverTest, RecordsDialogControls) {
    RunResult r = uidriver::Run(Options("dialog"));
    SCOPED_TRACE(uidriver::Describe(r));
    ASSERT_EQ(1u, r.windows.size());
    const SeenWindow& w = r.windows[0];
    EXPECT_EQ("Custom dialog", w.caption);
    EXPECT_EQ("", w.MessageText());  // no 0xFFFF static: not a message box
    // The check box is a Button too, but not a push button.
    EXPECT_EQ(std::vector<std::string>({"OK", "Other"}), w.ButtonTexts());

    const struct {
        int id;
        const char* className;
        const char* text;
        bool enabled;
    } kExpected[] = {
        {100, "Static", "Pick one", true},
        {1236, "Edit", "typed text", true},
        {1235, "Button", "Disabled box", false},
        {IDOK, "Button", "OK", true},
        {1234, "Button", "Other", true},
    };
    ASSERT_EQ(std::size(kExpected), w.controls.size());
    for (size_t i = 0; i < std::size(kExpected); ++i) {
        SCOPED_TRACE(kExpected[i].text);
        const uidriver::Control* c = w.FindControl(kExpected[i].id);
        ASSERT_NE(nullptr, c);
        EXPECT_EQ(c, &w.controls[i]);  // tab order
        EXPECT_EQ(kExpected[i].className, c->className);
        EXPECT_EQ(kExpected[i].text, c->text);
        EXPECT_EQ(kExpected[i].enabled, c->enabled);
        EXPECT_TRUE(c->visible);
    }
    EXPECT_EQ(static_cast<unsigned long>(BS_AUTOCHECKBOX), w.FindControl(1235)->style & BS_TYPEMASK);
    EXPECT_EQ(nullptr, w.FindControl(9999));
}

// The dialog fixture returns 100 for WM_CLOSE, 101 for IDCANCEL after an
// Escape key went through its queue and 102 for IDCANCEL without one.
TEST_F(DriverTest, RepliesReachTheDialogs) {
    const struct {
        const char* name;
        const char* mode;
        std::vector<Action> replies;
        const char* results;
    } kCases[] = {
        {"default presses OK", "dialog", {}, "1"},
        {"press a button", "dialog", {{Reply::PressButton, 1234}}, "1234"},
        {"escape key", "dialog", {{Reply::Escape}}, "101"},
        {"IDCANCEL is no Escape key", "dialog", {{Reply::PressButton, IDCANCEL}}, "102"},
        {"close box", "dialog", {{Reply::CloseBox}}, "100"},
        {"default presses Cancel without OK", "boxes", {{}, {}}, "1 2"},
        {"replies count dialogs only", "boxes", {{}, {Reply::PressButton, IDNO}}, "1 7"},
        {"escape in a message box", "boxes", {{}, {Reply::Escape}}, "1 2"},
        {"close box of a message box", "boxes", {{}, {Reply::CloseBox}}, "1 2"},
        {"replies run out", "boxes", {{Reply::PressButton, IDOK}}, "1 2"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        DeleteFileA((dir_ + "\\results.txt").c_str());
        RunOptions o = Options(c.mode);
        o.replies = c.replies;
        o.timeoutMs = 10000;
        RunResult r = uidriver::Run(o);
        SCOPED_TRACE(uidriver::Describe(r));
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(c.results, ReadFile("results.txt"));
    }
}

TEST_F(DriverTest, DisabledControlsAreNotPressed) {
    RunOptions o = Options("dialog");
    o.replies = {{Reply::PressButton, 1235}};
    o.timeoutMs = 1500;
    RunResult r = uidriver::Run(o);
    SCOPED_TRACE(uidriver::Describe(r));
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ("", ReadFile("results.txt"));
    ASSERT_EQ(1u, r.windows.size());
    EXPECT_NE(std::string::npos, r.windows[0].reply.find("disabled"));
}

TEST_F(DriverTest, OnWindowSeesEveryWindowAndOverridesReplies) {
    RunOptions o = Options("boxes");
    o.replies = {{Reply::Leave}, {Reply::Leave}};
    std::vector<size_t> indexes;
    std::vector<std::string> classes;
    o.onWindow = [&](HWND hwnd, const SeenWindow& w, size_t index) {
        indexes.push_back(index);
        classes.push_back(w.className);
        EXPECT_TRUE(IsWindow(hwnd));
        Action a;
        if (w.MessageText() == "second text") a = {Reply::PressButton, IDYES};
        return a;
    };
    RunResult r = uidriver::Run(o);
    SCOPED_TRACE(uidriver::Describe(r));
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ("1 6", ReadFile("results.txt"));
    EXPECT_EQ(std::vector<size_t>({0, 1, 2}), indexes);
    EXPECT_EQ(std::vector<std::string>({"#32770", "BoxesOwner", "#32770"}), classes);
}

TEST_F(DriverTest, ReportsTheFullExitCode) {
    const struct {
        const char* env;
        unsigned long expected;
    } kCases[] = {
        {"0", 0}, {"1", 1}, {"256", 256}, {"0x12345678", 0x12345678UL}, {"0xFFFFFFFF", 0xFFFFFFFFUL},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.env);
        RunResult r = uidriver::Run(Options("exit", c.env));
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(c.expected, r.exitCode);
        EXPECT_TRUE(r.windows.empty());
    }
}

// A crash dialog would leave the target hanging until the timeout.
TEST_F(DriverTest, CrashEndsWithTheExceptionCode) {
    RunResult r = uidriver::Run(Options("crash"));
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(0xC0000005UL, r.exitCode);
}

TEST_F(DriverTest, CommandLineReachesTheTargetUnchanged) {
    const std::string q = Quote(g_boxes);
    const struct {
        const char* name;
        std::string program;
        std::string commandLine;
    } kCases[] = {
        {"leading blanks", g_boxes, "   " + q + " arg"},
        {"tabs and trailing blanks", g_boxes, "\t" + q + "\tx  "},
        {"odd quoting", g_boxes, q + " \"a b\"c\\\"d \"\" \\\\\"e\\\\\" \"unbalanced"},
        {"first word is not the program", g_boxes, "not-the-program.exe --flag"},
        {"program taken from the command line", "", q + " x"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        RunOptions o = Options("exit", "0");
        o.program = c.program;
        o.commandLine = c.commandLine;
        RunResult r = uidriver::Run(o);
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_EQ(0u, r.exitCode);
        EXPECT_EQ(c.commandLine, ReadFile("cmdline.txt"));
    }
}

TEST_F(DriverTest, HangIsKilledAtTheTimeout) {
    RunOptions o = Options("hang");
    o.timeoutMs = 1500;
    DWORD start = GetTickCount();
    RunResult r = uidriver::Run(o);
    DWORD elapsed = GetTickCount() - start;
    SCOPED_TRACE(uidriver::Describe(r));
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(uidriver::kKilledExitCode, r.exitCode);
    EXPECT_GE(elapsed, 1500u);
    EXPECT_LT(elapsed, 6500u);
    ASSERT_EQ(std::to_string(r.processId), ReadFile("pid.txt"));
    EXPECT_TRUE(ProcessGone(r.processId));
}

TEST_F(DriverTest, UnansweredDialogTimesOutAndIsRecorded) {
    RunOptions o = Options("boxes");
    o.replies = {{Reply::Leave}};
    o.timeoutMs = 2000;
    RunResult r = uidriver::Run(o);
    SCOPED_TRACE(uidriver::Describe(r));
    EXPECT_TRUE(r.timedOut);
    ASSERT_EQ(1u, r.windows.size());
    EXPECT_EQ("first text", r.windows[0].MessageText());
    EXPECT_EQ("", ReadFile("results.txt"));
    EXPECT_TRUE(ProcessGone(r.processId));
}

TEST_F(DriverTest, TimeoutAlsoKillsWhatTheTargetStarted) {
    RunOptions o = Options("tree");
    o.timeoutMs = 2000;
    RunResult r = uidriver::Run(o);
    EXPECT_TRUE(r.timedOut);
    std::string child = ReadFile("child-pid.txt");
    ASSERT_FALSE(child.empty()) << "the fixture's child did not start";
    EXPECT_TRUE(ProcessGone(r.processId));
    EXPECT_TRUE(ProcessGone(std::stoul(child)));
}

TEST_F(DriverTest, SeesAndAnswersDialogsOfProcessesTheTargetStarted) {
    RunResult r = uidriver::Run(Options("child"));
    SCOPED_TRACE(uidriver::Describe(r));
    EXPECT_FALSE(r.timedOut);
    ASSERT_EQ(1u, r.windows.size());
    EXPECT_EQ("Kindling \xC3\xBC", r.windows[0].captionUtf8);
    EXPECT_NE(r.processId, r.windows[0].processId);
}

TEST_F(DriverTest, MissingProgramIsReportedNotStarted) {
    RunOptions o = Options("exit");
    o.program = dir_ + "\\missing.exe";
    o.commandLine = Quote(o.program);
    RunResult r = uidriver::Run(o);
    EXPECT_FALSE(r.started);
    EXPECT_NE(std::string::npos, r.error.find("CreateProcess")) << r.error;
    EXPECT_NE(std::string::npos, uidriver::Describe(r).find("not started"));
}

TEST(Describe, NamesWhatAFailingTestNeeds) {
    RunResult r;
    r.started = true;
    r.exitCode = 0xFFFFFFFFUL;
    SeenWindow w;
    w.className = "#32770";
    w.caption = "Error";
    w.controls.push_back({"Static", 0xFFFF, "body \"quoted\"\n", "", true, true, 0});
    w.hasOwner = true;
    w.ownerClassName = "Owner";
    w.reply = "pressed button 1";
    r.windows.push_back(w);
    std::string d = uidriver::Describe(r);
    for (const char* part : {"0xFFFFFFFF (-1)", "\"Error\"", "message: \"body \\\"quoted\\\"\\n\"",
                             "\"Owner\"", "pressed button 1"})
        EXPECT_NE(std::string::npos, d.find(part)) << part << "\n" << d;

    r.timedOut = true;
    EXPECT_NE(std::string::npos, uidriver::Describe(r).find("timed out")) << uidriver::Describe(r);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::string flag = "--boxes=";
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind(flag, 0) == 0) g_boxes = argv[i] + flag.size();
    if (g_boxes.empty()) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        g_boxes = self;
        g_boxes = g_boxes.substr(0, g_boxes.find_last_of("\\/") + 1) + "boxes.exe";
    }
    char full[MAX_PATH];
    if (GetFullPathNameA(g_boxes.c_str(), MAX_PATH, full, nullptr)) g_boxes = full;
    if (GetFileAttributesA(g_boxes.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "fixture not found: %s\n", g_boxes.c_str());
        return 2;
    }
    return RUN_ALL_TESTS();
}
