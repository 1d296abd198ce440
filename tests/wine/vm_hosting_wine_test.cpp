// The real executable hosting the JVM double (tests/wine/fakejvm): options,
// arguments, streams, exit paths and the exception report, as a user meets them.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wine_support.h"

namespace {

std::string FakeJvm() {
    std::string exe = ThisExe();
    return exe.substr(0, exe.rfind('\\')) + "\\fakejvm\\jvm.dll";
}

std::vector<std::string> RecordValues(const std::string& record, const std::string& key) {
    std::vector<std::string> values;
    size_t start = 0;
    while (start < record.size()) {
        size_t end = record.find('\n', start);
        if (end == std::string::npos) end = record.size();
        std::string line = record.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, key.size() + 1, key + "=") == 0) values.push_back(line.substr(key.size() + 1));
        start = end + 1;
    }
    return values;
}

std::string RecordValue(const std::string& record, const std::string& key) {
    auto values = RecordValues(record, key);
    return values.empty() ? "(none)" : values.back();
}

const uidriver::SeenWindow* FindDialog(const uidriver::RunResult& result, const std::string& caption = "") {
    for (const auto& window : result.windows) {
        if (window.IsDialog() && (caption.empty() || window.caption == caption)) return &window;
    }
    return nullptr;
}

// An application folder with run.exe, and a runtime whose bin\client\jvm.dll is the double.
class VmHosting : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = java.Path() + "\\jre";
        CreateDirectoryA(runtime.c_str(), nullptr);
        CreateDirectoryA((runtime + "\\bin").c_str(), nullptr);
        CreateDirectoryA((runtime + "\\bin\\client").c_str(), nullptr);
        ASSERT_TRUE(CopyProgram(FakeJvm(), runtime + "\\bin\\client\\jvm.dll")) << FakeJvm();
        ASSERT_TRUE(CopyProgram(KindlingExe(), app / "run.exe"));
        SetEnvironmentVariableA("KINDLING_FAKEJVM_SCRIPT", (java / "world.txt").c_str());
    }
    void TearDown() override { SetEnvironmentVariableA("KINDLING_FAKEJVM_SCRIPT", nullptr); }

    void World(const std::string& script) { WriteFileBytes(java / "world.txt", script + "\n"); }
    std::string Record() { return ReadFileBytes(java / "world.txt.record"); }

    void Ini(const std::string& runtimeKeys, const std::string& more = "",
             const std::string& classPath = "lib\\app.jar") {
        std::string ini = "[Java Runtime Environment]\r\nJRE Path=" + runtime + "\r\nMain Class=com.example.App\r\n" +
                          runtimeKeys + "\r\n";
        if (!classPath.empty()) ini += "[Class Path]\r\nClass Path=" + classPath + "\r\n";
        WriteFileBytes(app / "run.ini", ini + more);
    }

    uidriver::RunResult Launch(const std::string& arguments = "", std::vector<uidriver::Action> replies = {}) {
        DeleteFileA((java / "world.txt.record").c_str());
        return RunProgram(app / "run.exe", "run.exe" + arguments, app.Path(), std::move(replies));
    }

    TempFolder app;
    TempFolder java;
    std::string runtime;
};

TEST_F(VmHosting, TypicalLaunchRunsMainWithTheArgumentsOnItsOwnThread) {
    World("class com/example/App\nmain=out started|return");
    Ini("");
    auto result = Launch(" doc.txt");
    ASSERT_FALSE(result.timedOut) << uidriver::Describe(result);
    EXPECT_EQ(result.exitCode, 0u) << uidriver::Describe(result);
    EXPECT_EQ(FindDialog(result), nullptr) << uidriver::Describe(result);
    std::string record = Record();
    EXPECT_EQ(RecordValues(record, "option"), std::vector<std::string>{"-Djava.class.path=lib\\app.jar"});
    EXPECT_EQ(RecordValues(record, "arg"), std::vector<std::string>{"doc.txt"});
    EXPECT_EQ(RecordValue(record, "create.version"), "0x00010002") << record;
    EXPECT_EQ(RecordValue(record, "create.primaryThread"), "0");
    EXPECT_EQ(RecordValue(record, "env.KP_JVM_PATH"), runtime + "\\bin\\client\\jvm.dll");
    EXPECT_EQ(RecordValue(record, "env.KP_JVM_HOME"), runtime);
    auto classes = RecordValues(record, "findclass");
    EXPECT_NE(std::find(classes.begin(), classes.end(), "com/example/App"), classes.end()) << record;
    EXPECT_NE(RecordValue(record, "detach"), "(none)") << record;
    EXPECT_NE(RecordValue(record, "destroy"), "(none)") << record;
}

TEST_F(VmHosting, EveryExitPathWithItsBoxAndCode) {
    struct Case { const char* name; std::string world; std::string keys; std::string classPath; const char* box;
                  unsigned long exitCode; };
    const std::string app = "class com/example/App\nmain=return";
    const Case cases[] = {
        {"main returns", app, "", "lib\\app.jar", nullptr, 0},
        {"System.exit(7)", "class com/example/App\nmain=exit 7", "", "lib\\app.jar", nullptr, 7},
        {"main throws, Failure Check off", "class com/example/App\nmain=throw java/lang/IllegalStateException boom",
         "", "lib\\app.jar", nullptr, 0},
        {"class missing", "", "", "lib\\app.jar", "Could not find the main class com/example/App.\n", kExitMinusOne},
        {"no main method", "class com/example/App", "", "lib\\app.jar", nullptr, kExitMinusOne},
        {"no class path", app, "", "", "Java Class Path was not specified in INI file.", kExitMinusOne},
        {"unknown VM option", app, "Virtual Machine Parameters=-Xbogus", "lib\\app.jar",
         "JNI exception: failed to create the Java VM\nReason: unknown.\n", kExitMinusOne},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World(c.world);
        Ini(c.keys, "", c.classPath);
        auto result = Launch();
        ASSERT_FALSE(result.timedOut) << uidriver::Describe(result);
        EXPECT_EQ(result.exitCode, c.exitCode) << uidriver::Describe(result);
        const auto* box = FindDialog(result);
        if (c.box) {
            ASSERT_NE(box, nullptr) << uidriver::Describe(result);
            EXPECT_EQ(box->MessageText(), c.box);
        } else {
            EXPECT_EQ(box, nullptr) << uidriver::Describe(result);
        }
    }
}

TEST_F(VmHosting, CreationFailuresShowTheirReason) {
    struct Case { int result; const char* reason; };
    const Case cases[] = {{-1, "unknown"}, {-2, "thread detached from VM"}, {-3, "JNI version error"},
                          {-4, "not enought memory"}, {-5, "VM already created"}, {-6, "invalid arguments"}, {-7, ""}};
    Ini("");
    for (const Case& c : cases) {
        World("create=" + std::to_string(c.result) + "\nclass com/example/App\nmain=return");
        auto result = Launch();
        const auto* box = FindDialog(result);
        ASSERT_NE(box, nullptr) << c.result << uidriver::Describe(result);
        EXPECT_EQ(box->MessageText(),
                  std::string("JNI exception: failed to create the Java VM\nReason: ") + c.reason + ".\n");
        EXPECT_EQ(result.exitCode, kExitMinusOne);
    }
}

// A real jvm.dll needs DLLs of its runtime's bin folder, which loading it by
// its full path alone would not find.
TEST_F(VmHosting, LibraryFindsItsDependenciesInTheRuntimesBinFolder) {
    std::string exe = ThisExe();
    std::string built = exe.substr(0, exe.rfind('\\')) + "\\fakejvm-dep\\";
    ASSERT_TRUE(CopyProgram(built + "jvm.dll", runtime + "\\bin\\client\\jvm.dll"));
    ASSERT_TRUE(CopyProgram(built + "rtdep.dll", runtime + "\\bin\\rtdep.dll"));
    World("class com/example/App\nmain=return");
    Ini("");
    auto result = Launch();
    EXPECT_EQ(result.exitCode, 0u) << uidriver::Describe(result);
    EXPECT_EQ(FindDialog(result), nullptr) << uidriver::Describe(result);
}

TEST_F(VmHosting, LibraryWithoutTheEntryPointsShowsBox202With212) {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_TRUE(CopyProgram(std::string(system) + "\\version.dll", runtime + "\\bin\\client\\jvm.dll"));
    World("");
    Ini("");
    auto result = Launch();
    const auto* box = FindDialog(result);
    ASSERT_NE(box, nullptr) << uidriver::Describe(result);
    EXPECT_EQ(box->MessageText().rfind("Windows exception: cannot find CreateJavaVM JNI (errno = ", 0), 0u)
        << box->MessageText();
    EXPECT_EQ(result.exitCode, kExitMinusOne);
}

TEST_F(VmHosting, FullConfigurationGivesTheOptionsInOrder) {
    MEMORYSTATUS memory = {sizeof memory};
    GlobalMemoryStatus(&memory);
    unsigned totalKb = static_cast<unsigned>(memory.dwTotalPhys >> 10);
    unsigned heapKb = static_cast<unsigned>(0.25 * totalKb);
    SetEnvironmentVariableA("KINDLING_TEST_DIR", "C:\\from env");
    World("class com/example/App\nmain=return");
    Ini("Library Path=native\r\nSystem Path=C:\\tools\r\n"
        "Virtual Machine Parameters=-Xmx25p -Xss4m \"-Dtitle=My App\" -Ddir=%KINDLING_TEST_DIR%",
        "", "%KINDLING_TEST_DIR%\\app.jar");
    char path[32768];
    GetEnvironmentVariableA("Path", path, sizeof path);
    auto result = Launch();
    SetEnvironmentVariableA("KINDLING_TEST_DIR", nullptr);
    ASSERT_EQ(result.exitCode, 0u) << uidriver::Describe(result);
    std::string record = Record();
    std::vector<std::string> expected = {
        "-Djava.library.path=native;" + app.Path() + "\\;.;" + path + ";" + runtime + "\\lib",
        "-Djava.class.path=C:\\from env\\app.jar",
        "-Xmx" + std::to_string(heapKb) + "K",
        "-Xss4m",
        "-Dtitle=My App",
        "-Ddir=C:\\from env",
    };
    EXPECT_EQ(RecordValues(record, "option"), expected);
    EXPECT_EQ(RecordValue(record, "env.Path"), std::string(path) + ";C:\\tools");
    // The main thread's stack holds what -Xss asks for (the executable's default is 2 MiB).
    EXPECT_GE(std::stoul(RecordValue(record, "create.stack")), 4194304ul) << record;
}

TEST_F(VmHosting, ProcessLivesOnUntilTheApplicationsThreadsHaveEnded) {
    World("class com/example/App\nmain=thread 1500|return");
    Ini("");
    DWORD start = GetTickCount();
    auto result = Launch();
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(result.exitCode, 0u) << uidriver::Describe(result);
    EXPECT_GE(elapsed, 1500u);
    std::string record = Record();
    size_t threadEnd = record.find("worldthread.end=");
    size_t destroyed = record.find("destroy=0");
    ASSERT_NE(threadEnd, std::string::npos) << record;
    ASSERT_NE(destroyed, std::string::npos) << record;
    EXPECT_LT(threadEnd, destroyed) << record;
}

TEST_F(VmHosting, StreamsGoToTheirFilesEmptiedAtEachStart) {
    World("class com/example/App\nmain=out to out|err to err|return");
    WriteFileBytes(app / "err.txt", "left from the last start\r\n");
    Ini("", "[Application]\r\nOutput File=logs\\out.txt\r\nError File=" + app / "err.txt" +
                "\r\nOverride WorkingDir=Yes\r\n");
    CreateDirectoryA((app / "logs").c_str(), nullptr);
    auto result = RunProgram(app / "run.exe", "run.exe", java.Path());  // relative to the executable's folder
    ASSERT_EQ(result.exitCode, 0u) << uidriver::Describe(result);
    EXPECT_EQ(ReadFileBytes(app / "logs\\out.txt"), "to out\r\n");
    EXPECT_EQ(ReadFileBytes(app / "err.txt"), "to err\r\n");
}

TEST_F(VmHosting, AMissingFolderLeavesThatStreamAndStillRedirectsTheOther) {
    World("class com/example/App\nmain=out to out|err to err|return");
    Ini("", "[Application]\r\nOutput File=" + app / "missing\\out.txt" + "\r\nError File=" + app / "err.txt" + "\r\n");
    auto result = Launch();
    ASSERT_EQ(result.exitCode, 0u) << uidriver::Describe(result);
    std::string errors = ReadFileBytes(app / "err.txt");
    EXPECT_NE(errors.find("to err"), std::string::npos) << errors;
    EXPECT_EQ(GetFileAttributesA((app / "missing\\out.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(RecordValue(Record(), "describe"), "(none)");
}

TEST_F(VmHosting, UncaughtExceptionReportEndsAsTheUserChooses) {
    struct Case { const char* name; uidriver::Action reply; unsigned long exitCode; };
    uidriver::Action ignore{uidriver::Reply::PressButton, IDOK};
    uidriver::Action stop{uidriver::Reply::PressButton, IDCANCEL};
    uidriver::Action escape{uidriver::Reply::Escape, 0};
    uidriver::Action close{uidriver::Reply::CloseBox, 0};
    const Case cases[] = {{"Ignore", ignore, 0}, {"Stop", stop, kExitMinusOne}, {"Escape", escape, kExitMinusOne},
                          {"close box", close, kExitMinusOne}};
    World("class com/example/App\nmain=throw java/lang/IllegalStateException boom \xc3\xa9\xe4\xb8\xad");
    Ini("", "[Application]\r\nFailure Check=yes\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = Launch("", {c.reply});
        ASSERT_FALSE(result.timedOut) << uidriver::Describe(result);
        EXPECT_EQ(result.exitCode, c.exitCode) << uidriver::Describe(result);
        const auto* dialog = FindDialog(result, "Java Exception");
        ASSERT_NE(dialog, nullptr) << uidriver::Describe(result);
        const auto* trace = dialog->FindControl(208);
        ASSERT_NE(trace, nullptr);
        // The characters themselves, not their modified UTF-8 bytes.
        EXPECT_EQ(trace->textUtf8.rfind("java.lang.IllegalStateException: boom \xc3\xa9\xe4\xb8\xad", 0), 0u)
            << trace->textUtf8;
        EXPECT_FALSE(trace->style & ES_AUTOHSCROLL);
        EXPECT_EQ(dialog->ButtonTexts(), (std::vector<std::string>{"Ignore", "Stop"}));
        EXPECT_EQ(dialog->FindControl(210)->text, "The java process has thrown the following uncaught exception:");
    }
}

TEST_F(VmHosting, ExceptionDialogKeepsItsLayoutWhenResizedAndNeverShrinks) {
    World("class com/example/App\nmain=throw java/lang/IllegalStateException boom");
    Ini("", "[Application]\r\nFailure Check=Yes\r\n");
    struct Seen { RECT dialog, group, trace, ignore, warning; };
    Seen before{}, grown{}, shrunk{};
    auto measure = [](HWND dialog, Seen& seen) {
        GetWindowRect(dialog, &seen.dialog);
        GetWindowRect(GetDlgItem(dialog, 209), &seen.group);
        GetWindowRect(GetDlgItem(dialog, 208), &seen.trace);
        GetWindowRect(GetDlgItem(dialog, IDOK), &seen.ignore);
        GetWindowRect(GetDlgItem(dialog, 212), &seen.warning);
    };
    uidriver::RunOptions options;
    options.program = app / "run.exe";
    options.commandLine = "run.exe";
    options.workingDir = app.Path();
    options.onWindow = [&](HWND window, const uidriver::SeenWindow& seen, size_t) {
        uidriver::Action ignore{uidriver::Reply::PressButton, IDOK};
        if (seen.caption != "Java Exception") return ignore;
        measure(window, before);
        int width = before.dialog.right - before.dialog.left, height = before.dialog.bottom - before.dialog.top;
        SetWindowPos(window, nullptr, 0, 0, width + 100, height + 60, SWP_NOMOVE | SWP_NOZORDER);
        Sleep(300);
        measure(window, grown);
        SetWindowPos(window, nullptr, 0, 0, width - 80, height - 50, SWP_NOMOVE | SWP_NOZORDER);
        Sleep(300);
        measure(window, shrunk);
        return ignore;
    };
    DeleteFileA((java / "world.txt.record").c_str());
    auto result = uidriver::Run(options);
    ASSERT_EQ(result.exitCode, 0u) << uidriver::Describe(result);
    ASSERT_GT(before.dialog.right, before.dialog.left) << "the dialog was never measured";
    auto width = [](const RECT& r) { return r.right - r.left; };
    auto height = [](const RECT& r) { return r.bottom - r.top; };
    EXPECT_EQ(width(grown.group) - width(before.group), 100);
    EXPECT_EQ(height(grown.group) - height(before.group), 60);
    EXPECT_EQ(width(grown.trace) - width(before.trace), 100);
    EXPECT_EQ(height(grown.trace) - height(before.trace), 60);
    // Buttons keep their distance to the bottom-right corner, the warning to the bottom.
    EXPECT_EQ(grown.ignore.right - grown.dialog.right, before.ignore.right - before.dialog.right);
    EXPECT_EQ(grown.ignore.bottom - grown.dialog.bottom, before.ignore.bottom - before.dialog.bottom);
    EXPECT_EQ(grown.warning.bottom - grown.dialog.bottom, before.warning.bottom - before.dialog.bottom);
    EXPECT_EQ(height(grown.ignore), height(before.ignore));
    // Never smaller than it opened.
    EXPECT_EQ(width(shrunk.dialog), width(before.dialog));
    EXPECT_EQ(height(shrunk.dialog), height(before.dialog));
}

TEST_F(VmHosting, NonAsciiArgumentArrivesAsItsCharacters) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252, has " << GetACP();
    World("class com/example/App\nmain=return");
    Ini("");
    auto result = Launch(" caf\xe9");
    ASSERT_EQ(result.exitCode, 0u) << uidriver::Describe(result);
    EXPECT_EQ(RecordValues(Record(), "arg"), std::vector<std::string>{"caf\xc3\xa9"});
}

class CodePage932Vm : public VmHosting {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "run this group with LC_ALL=ja_JP.UTF-8";
        VmHosting::SetUp();
    }
};

TEST_F(CodePage932Vm, DoubleByteArgumentAndWorkingDirectoryArriveIntact) {
    TempFolder folder("\x95\x5C");
    ASSERT_TRUE(CopyProgram(KindlingExe(), folder / "run.exe"));
    World("class com/example/App\nmain=return");
    WriteFileBytes(folder / "run.ini", "[Java Runtime Environment]\r\nJRE Path=" + runtime +
                                           "\r\nMain Class=com.example.App\r\n[Class Path]\r\nClass Path=app.jar\r\n"
                                           "[Application]\r\nOverride WorkingDir=Yes\r\n");
    DeleteFileA((java / "world.txt.record").c_str());
    auto result = RunProgram(folder / "run.exe", "run.exe \x95\x5C", java.Path());
    ASSERT_EQ(result.exitCode, 0u) << uidriver::Describe(result);
    std::string record = Record();
    EXPECT_EQ(RecordValues(record, "arg"), std::vector<std::string>{"\xe8\xa1\xa8"});  // U+8868
    // The folder as UTF-8: the double records what the process sees, decoded from 932.
    wchar_t wide[MAX_PATH];
    int n = MultiByteToWideChar(932, 0, folder.Path().c_str(), -1, wide, MAX_PATH);
    char utf8[MAX_PATH * 3];
    WideCharToMultiByte(CP_UTF8, 0, wide, n, utf8, sizeof utf8, nullptr, nullptr);
    EXPECT_EQ(RecordValue(record, "create.cwd"), utf8) << record;
}

}  // namespace
