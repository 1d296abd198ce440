// The JVM double (tests/wine/fakejvm) driven the way a launcher drives a
// runtime's jvm.dll. A process hosts one VM, so every scenario runs in a
// child: fakejvm_driver.exe, given the script of a small Java world.
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fakejvm/fakejvm.h"
#include "wine_support.h"

namespace {

std::string ExeFolder() {
    std::string exe = ThisExe();
    return exe.substr(0, exe.rfind('\\'));
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return L"";
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], size);
    return out;
}

// Quoted so CommandLineToArgvW gives the argument back unchanged.
std::wstring Quote(const std::wstring& argument) {
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        out += c;
        backslashes = 0;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

std::vector<std::string> ValuesOf(const std::vector<std::string>& lines, const std::string& key) {
    std::vector<std::string> values;
    for (const std::string& line : lines) {
        if (line.compare(0, key.size() + 1, key + "=") == 0) values.push_back(line.substr(key.size() + 1));
    }
    return values;
}

// Position of the first line equal to `line`, or -1.
long IndexOf(const std::vector<std::string>& lines, const std::string& line) {
    auto found = std::find(lines.begin(), lines.end(), line);
    return found == lines.end() ? -1 : static_cast<long>(found - lines.begin());
}

struct Outcome {
    bool started = false;
    bool timedOut = false;
    unsigned long exitCode = 0;
    std::vector<std::string> report;  // the driver's
    std::vector<std::string> record;  // the double's
    std::string out, err;             // the child's standard output and error

    std::vector<std::string> Report(const std::string& key) const { return ValuesOf(report, key); }
    std::vector<std::string> Record(const std::string& key) const { return ValuesOf(record, key); }
    std::string Describe() const {
        std::string text = "exit " + std::to_string(exitCode) + (timedOut ? " (killed)" : "") + "\n-- report:\n";
        for (const std::string& line : report) text += line + "\n";
        text += "-- record:\n";
        for (const std::string& line : record) text += line + "\n";
        return text + "-- stdout:\n" + out + "\n-- stderr:\n" + err;
    }
};

struct Variable {
    const char* name;
    const char* value;  // nullptr: removed
};

class FakeJvm : public ::testing::Test {
protected:
    TempFolder folder;
    int runs_ = 0;

    std::string Script() const { return folder / "world.txt"; }

    // Runs the driver on `script` (nullptr: no script at all) with the commands.
    Outcome Run(const char* script, const std::vector<std::string>& commands, unsigned long timeoutMs = 30000,
                std::vector<Variable> variables = {}) {
        Outcome outcome;
        // Fresh names each run: nothing of an earlier child can show up.
        const std::string run = std::to_string(++runs_);
        std::string report = folder / ("report" + run + ".txt");
        std::string out = folder / ("stdout" + run + ".txt");
        std::string err = folder / ("stderr" + run + ".txt");
        const std::string scriptPath = Script();
        DeleteFileA(report.c_str());
        DeleteFileA((scriptPath + ".record").c_str());
        if (script) {
            WriteFileBytes(scriptPath, script);
            variables.push_back({FAKEJVM_SCRIPT_VARIABLE, scriptPath.c_str()});
        } else {
            variables.push_back({FAKEJVM_SCRIPT_VARIABLE, nullptr});
        }
        std::wstring commandLine = Quote(Wide(ExeFolder() + "\\fakejvm_driver.exe")) + L" " +
                                   Quote(Wide(ExeFolder() + "\\fakejvm\\jvm.dll")) + L" " + Quote(Wide(report));
        for (const std::string& command : commands) commandLine += L" " + Quote(Wide(command));

        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE outFile = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        HANDLE errFile = CreateFileA(err.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(outFile, INVALID_HANDLE_VALUE);
        EXPECT_NE(errFile, INVALID_HANDLE_VALUE);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = outFile;
        startup.hStdError = errFile;
        std::vector<std::pair<std::string, std::string>> saved;
        for (const Variable& variable : variables) {
            char old[32768];
            DWORD length = GetEnvironmentVariableA(variable.name, old, sizeof old);
            saved.emplace_back(variable.name, length ? std::string(old, length) : std::string("\x01"));
            SetEnvironmentVariableA(variable.name, variable.value);
        }
        PROCESS_INFORMATION process{};
        std::wstring workingDir = Wide(folder.Path());
        outcome.started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                         workingDir.c_str(), &startup, &process) != FALSE;
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            SetEnvironmentVariableA(it->first.c_str(), it->second == "\x01" ? nullptr : it->second.c_str());
        }
        CloseHandle(outFile);
        CloseHandle(errFile);
        if (outcome.started) {
            if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_TIMEOUT) {
                outcome.timedOut = true;
                TerminateProcess(process.hProcess, 0xDEAD);
                WaitForSingleObject(process.hProcess, INFINITE);
            }
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            outcome.exitCode = code;
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        outcome.report = Lines(ReadFileBytes(report));
        outcome.record = Lines(ReadFileBytes(Script() + ".record"));
        outcome.out = ReadFileBytes(out);
        outcome.err = ReadFileBytes(err);
        return outcome;
    }

    // A run expected to end normally after its last command.
    Outcome RunToEnd(const char* script, const std::vector<std::string>& commands, std::vector<Variable> variables = {}) {
        Outcome outcome = Run(script, commands, 30000, std::move(variables));
        EXPECT_TRUE(outcome.started);
        EXPECT_EQ(outcome.exitCode, 0u) << outcome.Describe();
        EXPECT_EQ(outcome.Report("end"), std::vector<std::string>{"returned"}) << outcome.Describe();
        return outcome;
    }
};

const char* const kApp =
    "class com/example/App\n"
    "main=out hello|err oops\n";

// ---- the exported entry points --------------------------------------------

TEST_F(FakeJvm, DefaultInitArgsAnswerEachVersionLikeHotSpot) {
    struct Case {
        const char* name;
        const char* script;
        std::vector<std::string> versions;
        std::vector<std::string> expected;  // version asked, result, version after, javaStackSize
    };
    const Case cases[] = {
        {"scripted stack", "stack=2097152\n",
         {"0x10001", "0x10002", "0x10008", "0xa0000", "0x90000", "0x10003", "0x130000"},
         {"0x10001 -1 0x00010002 2097152", "0x10002 0 0x00010002 12345", "0x10008 0 0x00010008 12345",
          "0xa0000 0 0x000a0000 12345", "0x90000 0 0x00090000 12345", "0x10003 -1 0x00010003 12345",
          "0x130000 -1 0x00130000 12345"}},
        {"no script: 1 MiB", nullptr, {"0x10001"}, {"0x10001 -1 0x00010002 1048576"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> commands;
        for (const std::string& version : c.versions) commands.push_back("defaults:" + version);
        Outcome outcome = RunToEnd(c.script, commands);
        EXPECT_EQ(outcome.Report("defaults"), c.expected) << outcome.Describe();
    }
}

TEST_F(FakeJvm, TheRecordGoesWhereTheScriptSays) {
    const std::string elsewhere = folder / "elsewhere.txt";
    WriteFileBytes(elsewhere, "kept=1\n");
    Outcome outcome = RunToEnd(("record=" + elsewhere + "\nstack=65536\n").c_str(), {"defaults:0x10001"});
    EXPECT_TRUE(outcome.record.empty());
    EXPECT_EQ(ReadFileBytes(elsewhere), "kept=1\ndefaultargs=0x00010001 -1\n");
    EXPECT_EQ(outcome.Report("defaults"), std::vector<std::string>{"0x10001 -1 0x00010002 65536"});
}

TEST_F(FakeJvm, CreateAcceptsTheOptionsHotSpotKnowsAndRecordsThemInOrder) {
    const std::vector<std::string> accepted = {
        "-Dname=value", "-Dempty", "-Djava.class.path=C:\\app\\a.jar;C:\\app\\b b.jar", "-Xmx512m", "-Xms64M",
        "-Xss4m", "-Xmn10m", "-Xmx1073741824", "-Xint", "-Xrs", "-Xcheck:jni", "-Xshare:auto", "-Xlog:gc",
        "-Xbootclasspath/a:C:\\x.jar", "-XX:+UseG1GC", "-XX:-UsePerfData", "-XX:MaxRAMPercentage=50", "-ea",
        "-ea:com.example...", "-da:com.example.App", "-esa", "-dsa", "-enableassertions", "-verbose",
        "-verbose:gc", "--add-opens=java.base/java.lang=ALL-UNNAMED", "-javaagent:agent.jar",
    };
    std::vector<std::string> commands;
    for (const std::string& option : accepted) commands.push_back("option:" + option);
    commands.insert(commands.end(), {"hook:exit", "hook:vfprintf", "create", "created", "create", "property:name",
                                     "property:empty", "property:java.class.path", "property:missing"});
    Outcome outcome = RunToEnd(nullptr, commands);
    // Without a script nothing is recorded; the same run with one records.
    EXPECT_TRUE(outcome.record.empty());
    EXPECT_EQ(outcome.Report("create"), (std::vector<std::string>{"0", "-5"})) << outcome.Describe();
    EXPECT_EQ(outcome.Report("created"), std::vector<std::string>{"1 same"});
    EXPECT_EQ(outcome.Report("property"),
              (std::vector<std::string>{"name value", "empty ", "java.class.path C:\\app\\a.jar;C:\\app\\b b.jar",
                                        "missing null"}));
    EXPECT_EQ(outcome.err, "");

    Outcome recorded = RunToEnd("", commands);
    std::vector<std::string> expected = accepted;
    expected.push_back("exit");
    expected.push_back("vfprintf");
    std::vector<std::string> twice = expected;
    twice.insert(twice.end(), expected.begin(), expected.end());
    EXPECT_EQ(recorded.Record("option"), twice) << recorded.Describe();
    EXPECT_EQ(recorded.Record("create.version"), (std::vector<std::string>{"0x00010002", "0x00010002"}));
    EXPECT_EQ(recorded.Record("create.ignoreUnrecognized"), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(recorded.Record("create.result"), (std::vector<std::string>{"0", "-5"}));
}

TEST_F(FakeJvm, CreateRejectsWhatHotSpotRejectsAndAllowsAnotherTry) {
    struct Case {
        const char* option;
        const char* result;
        const char* message;  // HotSpot's line on its error stream
    };
    const Case cases[] = {
        {"-Xbogus", "-1", "Unrecognized option: -Xbogus"},
        {"bogus", "-1", "Unrecognized option: bogus"},
        {"-client", "-1", "Unrecognized option: -client"},
        {"-ea2", "-1", "Unrecognized option: -ea2"},
        {"--add-opens", "-1", "Unrecognized option: --add-opens"},
        {"-Xmxlots", "-6", "Invalid maximum heap size: -Xmxlots"},
        {"-Xms", "-6", "Invalid initial heap size: -Xms"},
        {"-Xss1q", "-6", "Invalid thread stack size: -Xss1q"},
        {"-XX:Foo", "-6", "Unrecognized VM option 'Foo'"},
        {"-XX:+Foo=1", "-6", "Unrecognized VM option '+Foo=1'"},
        {"-Xbootclasspath/p:x.jar", "-6", "-Xbootclasspath/p is no longer a supported option."},
    };
    std::vector<std::string> commands;
    for (const Case& c : cases) commands.push_back(std::string("option:") + c.option);
    commands.insert(commands.end(), {"each", "clear", "option:-Xmx64m", "create", "created"});
    Outcome outcome = RunToEnd("", commands);

    std::vector<std::string> results, rejected;
    std::string messages;
    for (const Case& c : cases) {
        results.push_back(std::string(c.option) + " " + c.result);
        rejected.push_back(c.option);
        messages += std::string(c.message) + "\r\n";
    }
    EXPECT_EQ(outcome.Report("each"), results) << outcome.Describe();
    EXPECT_EQ(outcome.Record("create.rejected"), rejected);
    EXPECT_EQ(outcome.err, messages);
    EXPECT_EQ(outcome.Report("create"), std::vector<std::string>{"0"});
    EXPECT_EQ(outcome.Report("created"), std::vector<std::string>{"1 same"});
    EXPECT_TRUE(outcome.Report("create.leftovers").empty());
}

TEST_F(FakeJvm, IgnoreUnrecognizedSkipsUnknownOptionsButNotBadSizes) {
    Outcome outcome = RunToEnd("", {"ignore", "option:-Xmxlots", "option:-Xbogus", "each"});
    EXPECT_EQ(outcome.Report("each"), (std::vector<std::string>{"-Xmxlots -6", "-Xbogus 0"})) << outcome.Describe();
    EXPECT_EQ(outcome.Record("create.ignoreUnrecognized"), (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(outcome.err, "Invalid maximum heap size: -Xmxlots\r\n");
}

TEST_F(FakeJvm, CreateReturnsTheScriptedResultAndRefusesUnsupportedVersions) {
    for (const char* code : {"-1", "-2", "-3", "-4", "-6", "1", "7"}) {
        SCOPED_TRACE(code);
        Outcome outcome = RunToEnd((std::string("create=") + code + "\n").c_str(), {"option:-Xmx64m", "create", "created"});
        EXPECT_EQ(outcome.Report("create"), std::vector<std::string>{code}) << outcome.Describe();
        EXPECT_EQ(outcome.Report("created"), std::vector<std::string>{"0"});
        EXPECT_EQ(outcome.Record("create.result"), std::vector<std::string>{code});
    }
    Outcome versions = RunToEnd("", {"version:0x10001", "create", "version:0x130000", "create", "version:0x90000", "create"});
    EXPECT_EQ(versions.Report("create"), (std::vector<std::string>{"-3", "-3", "0"})) << versions.Describe();
}

TEST_F(FakeJvm, CreationRecordsItsThreadStackDirectoryAndEnvironment) {
    // The reservation of the driver's first thread comes from its PE header.
    std::string image = ReadFileBytes(ExeFolder() + "\\fakejvm_driver.exe");
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image.data() + dos->e_lfanew);
    const std::string primaryStack = std::to_string(nt->OptionalHeader.SizeOfStackReserve);

    struct Case {
        const char* name;
        std::vector<std::string> commands;
        const char* primary;
        std::string stack;
    };
    const Case cases[] = {
        {"first thread", {"create"}, "1", primaryStack},
        {"4 MiB thread", {"thread:4194304", "create", "detach", "endthread"}, "0", "4194304"},
        {"16 MiB thread", {"thread:16777216", "create", "detach", "endthread"}, "0", "16777216"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome outcome = RunToEnd("", c.commands,
                                   {{"KP_JVM_PATH", "C:\\jre\\bin\\server\\jvm.dll"}, {"KP_JVM_HOME", nullptr}});
        EXPECT_EQ(outcome.Record("create.primaryThread"), std::vector<std::string>{c.primary}) << outcome.Describe();
        EXPECT_EQ(outcome.Record("create.stack"), std::vector<std::string>{c.stack});
        EXPECT_EQ(outcome.Record("create.cwd"), std::vector<std::string>{folder.Path()});
        EXPECT_EQ(outcome.Record("env.KP_JVM_PATH"), std::vector<std::string>{"C:\\jre\\bin\\server\\jvm.dll"});
        EXPECT_TRUE(outcome.Record("env.KP_JVM_HOME").empty());
        ASSERT_EQ(outcome.Record("env.Path").size(), 1u);
        std::string path = outcome.Record("env.Path")[0];
        std::transform(path.begin(), path.end(), path.begin(), [](char c) { return static_cast<char>(tolower(c)); });
        EXPECT_NE(path.find("system32"), std::string::npos) << path;
    }
}

// ---- the Java world ------------------------------------------------------------

TEST_F(FakeJvm, MainPrintsToRedirectedStreamsAndReceivesItsArguments) {
    const std::string script =
        "# streams and arguments\n"
        "class com.example.App\n"
        "main=out hello | err oops|out \xC3\xBCn\xC3\xAF \xF0\x9F\x98\x80\n";
    for (const char* form : {"", ":V", ":A"}) {
        SCOPED_TRACE(std::string("call form ") + form);
        std::string out = folder / "out.txt", err = folder / "err.txt";
        WriteFileBytes(out, "stale output that must go\r\n");
        WriteFileBytes(err, "stale errors that must go\r\n");
        Outcome outcome = RunToEnd(script.c_str(), {"create", "setout:" + out, "seterr:" + err, "arg:plain",
                                                    "arg:with space", "arg:\xC3\xBCn\xC3\xAF \xF0\x9F\x98\x80",
                                                    "argutf:\xC3\xBCn\xC3\xAF", "arg:",
                                                    std::string("call:com/example/App:main:([Ljava/lang/String;)V") + form});
        EXPECT_EQ(ReadFileBytes(out), "hello\r\n\xC3\xBCn\xC3\xAF \xF0\x9F\x98\x80\r\n") << outcome.Describe();
        EXPECT_EQ(ReadFileBytes(err), "oops\r\n");
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.Report("setout"), std::vector<std::string>{"ok"});
        EXPECT_EQ(outcome.Report("returned"), std::vector<std::string>{"void"});
        EXPECT_EQ(outcome.Report("exception"), std::vector<std::string>{"none"});
        EXPECT_EQ(outcome.Record("args.length"), std::vector<std::string>{"5"});
        EXPECT_EQ(outcome.Record("arg"), (std::vector<std::string>{"plain", "with space", "\xC3\xBCn\xC3\xAF \xF0\x9F\x98\x80",
                                                                   "\xC3\xBCn\xC3\xAF", ""}));
        EXPECT_NE(IndexOf(outcome.record, "findclass=com/example/App"), -1);
        EXPECT_NE(IndexOf(outcome.record, "call=java/lang/System.setOut(Ljava/io/PrintStream;)V"), -1);
        EXPECT_NE(IndexOf(outcome.record, "call=com/example/App.main([Ljava/lang/String;)V"), -1);
        EXPECT_TRUE(outcome.Record("jniwarning").empty()) << outcome.Describe();
    }
}

TEST_F(FakeJvm, WithoutRedirectionMainPrintsToTheStandardHandles) {
    Outcome outcome = RunToEnd(kApp, {"create", "main:com/example/App"});
    EXPECT_EQ(outcome.out, "hello\r\n");
    EXPECT_EQ(outcome.err, "oops\r\n");
}

TEST_F(FakeJvm, OpeningAFileInAMissingFolderLeavesFileNotFoundPending) {
    std::string missing = folder / "missing\\out.txt";
    Outcome outcome = RunToEnd(kApp, {"create", "setout:" + missing, "describe", "main:com/example/App"});
    ASSERT_EQ(outcome.Report("setout").size(), 1u) << outcome.Describe();
    const std::string setout = outcome.Report("setout")[0];
    const std::string expected = "java.io.FileNotFoundException: " + missing + " (";
    EXPECT_EQ(setout.compare(0, expected.size(), expected), 0) << setout;
    EXPECT_EQ(setout.back(), ')');
    EXPECT_EQ(outcome.Report("described"), std::vector<std::string>{"cleared"});
    // The prefix is HotSpot's own; the trace goes to System.err, here the same handle.
    EXPECT_EQ(outcome.err, "Exception in thread \"main\" " + setout + "\r\noops\r\n");
    EXPECT_EQ(outcome.out, "hello\r\n");
    EXPECT_EQ(GetFileAttributesA((folder / "missing").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FakeJvm, ThrowingMainLeavesItsExceptionForTheCaller) {
    struct Case {
        const char* main;
        const char* exception;
        const char* trace;
    };
    const Case cases[] = {
        {"class com/example/App\nmain=out before|throw java/lang/IllegalStateException boom|out after\n",
         "java.lang.IllegalStateException: boom",
         "java.lang.IllegalStateException: boom\\r\\n\\tat com.example.App.main(App.java)\\r\\n"},
        {"class com/example/App\nmain=out before|throw com.example.Custom\n", "com.example.Custom",
         "com.example.Custom\\r\\n\\tat com.example.App.main(App.java)\\r\\n"},
        {"class com/example/App$Inner\nmain=out before|throw com/example/BadError out of luck\n",
         "com.example.BadError: out of luck",
         "com.example.BadError: out of luck\\r\\n\\tat com.example.App$Inner.main(App.java)\\r\\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exception);
        std::string out = folder / "out.txt";
        std::string mainClass = std::string(c.main).find("$Inner") != std::string::npos ? "com/example/App$Inner"
                                                                                          : "com/example/App";
        Outcome outcome = RunToEnd(c.main, {"create", "setout:" + out, "main:" + mainClass, "trace"});
        EXPECT_EQ(ReadFileBytes(out), "before\r\n") << outcome.Describe();
        EXPECT_EQ(outcome.Report("exception"), std::vector<std::string>{c.exception});
        EXPECT_EQ(outcome.Report("check"), std::vector<std::string>{"1"});
        EXPECT_EQ(outcome.Report("check.cleared"), std::vector<std::string>{"0"});
        EXPECT_EQ(outcome.Report("trace"), std::vector<std::string>{c.trace});
    }
}

TEST_F(FakeJvm, ExceptionDescribePrintsThePrefixOnTheVmStreamAndTheTraceOnSystemErr) {
    const std::string trace =
        "java.lang.NoClassDefFoundError: com/example/Missing\r\n"
        "Caused by: java.lang.ClassNotFoundException: com.example.Missing\r\n"
        "\tat java.base/jdk.internal.loader.BuiltinClassLoader.loadClass(BuiltinClassLoader.java:641)\r\n"
        "\tat java.base/jdk.internal.loader.ClassLoaders$AppClassLoader.loadClass(ClassLoaders.java:188)\r\n"
        "\tat java.base/java.lang.ClassLoader.loadClass(ClassLoader.java:520)\r\n";
    const char* const prefix = "Exception in thread \"main\" ";
    for (bool hook : {false, true}) {
        SCOPED_TRACE(hook ? "vfprintf hook" : "no hook");
        std::string err = folder / "err.txt";
        std::vector<std::string> commands = {"create", "seterr:" + err, "main:com/example/Missing", "describe"};
        if (hook) commands.insert(commands.begin(), "hook:vfprintf");
        Outcome outcome = RunToEnd(kApp, commands);
        EXPECT_EQ(ReadFileBytes(err), trace) << outcome.Describe();
        EXPECT_EQ(outcome.err, hook ? "" : prefix);
        EXPECT_EQ(outcome.Report("hook.vfprintf"), hook ? std::vector<std::string>{prefix} : std::vector<std::string>{});
        EXPECT_EQ(outcome.Report("described"), std::vector<std::string>{"cleared"});
        EXPECT_EQ(outcome.Record("describe"), std::vector<std::string>{"java.lang.NoClassDefFoundError: com/example/Missing"});
    }
}

TEST_F(FakeJvm, MissingClassesAndMembersLeaveHotSpotsErrorsPending) {
    const char* const script =
        "class com/example/App\n"
        "main=return\n"
        "class com/example/NoMain\n"
        "helper ()V=return\n";
    Outcome outcome = RunToEnd(script, {"create", "main:com/example/Missing", "exclear", "main:com.example.App", "exclear",
                                        "main:com/example/NoMain", "exclear",
                                        "call:com/example/App:main:([Ljava/lang/String;)I", "exclear",
                                        "call:java/lang/Throwable:printStackTrace:()V", "exclear",
                                        "call:com/example/NoMain:helper:()V"});
    EXPECT_EQ(outcome.Report("findclass"), (std::vector<std::string>{"java.lang.NoClassDefFoundError: com/example/Missing",
                                                                     "java.lang.NoClassDefFoundError: com.example.App"}))
        << outcome.Describe();
    EXPECT_EQ(outcome.Report("methodid"),
              (std::vector<std::string>{"java.lang.NoSuchMethodError: static Lcom/example/NoMain;.main([Ljava/lang/String;)V",
                                        "java.lang.NoSuchMethodError: static Lcom/example/App;.main([Ljava/lang/String;)I",
                                        "java.lang.NoSuchMethodError: static Ljava/lang/Throwable;.printStackTrace()V"}));
    EXPECT_EQ(outcome.Report("returned"), std::vector<std::string>{"void"});
    EXPECT_EQ(outcome.Report("exception"), std::vector<std::string>{"none"});
    EXPECT_TRUE(outcome.Record("jniwarning").empty()) << outcome.Describe();
}

TEST_F(FakeJvm, IntMethodsReturnTheirScriptedValueThroughEveryCallForm) {
    const char* const script =
        "class com/example/App\n"
        "secondaryMain=out counting|returnint 42\n"
        "zero ()I=return\n";
    for (const char* form : {"", ":V", ":A"}) {
        SCOPED_TRACE(std::string("call form ") + form);
        Outcome outcome = RunToEnd(script, {"create", "arg:x", std::string("call:com/example/App:secondaryMain:([Ljava/lang/String;)I") + form,
                                            std::string("call:com/example/App:zero:()I") + form});
        EXPECT_EQ(outcome.Report("returned"), (std::vector<std::string>{"42", "0"})) << outcome.Describe();
        EXPECT_EQ(outcome.out, "counting\r\n");
        EXPECT_EQ(outcome.Record("arg"), std::vector<std::string>{"x"});
    }
}

TEST_F(FakeJvm, SystemExitEndsTheProcessWithItsCodeAfterTheExitHook) {
    struct Case {
        const char* name;
        const char* script;
        bool hook;
        unsigned long code;
    };
    const Case cases[] = {
        {"exit 7", "class com/example/App\nmain=out bye|exit 7|out never\n", false, 7},
        {"exit 7 with hook", "class com/example/App\nmain=out bye|exit 7|out never\n", true, 7},
        {"exit -1", "class com/example/App\nmain=out bye|exit -1\n", false, 0xFFFFFFFFUL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> commands = {"create", "main:com/example/App"};
        if (c.hook) commands.insert(commands.begin(), "hook:exit");
        Outcome outcome = Run(c.script, commands);
        EXPECT_FALSE(outcome.timedOut);
        EXPECT_EQ(outcome.exitCode, c.code) << outcome.Describe();
        EXPECT_EQ(outcome.out, "bye\r\n");
        EXPECT_TRUE(outcome.Report("returned").empty());
        EXPECT_EQ(outcome.Record("exit"), std::vector<std::string>{std::to_string(static_cast<long>(c.code))});
        EXPECT_EQ(outcome.Report("hook.exit"),
                  c.hook ? std::vector<std::string>{"7"} : std::vector<std::string>{});
    }
}

// ---- threads and the end of the VM ------------------------------------------

TEST_F(FakeJvm, DestroyWaitsForNonDaemonThreadsOnly) {
    const char* const script =
        "class com/example/App\n"
        "main=thread 1500|daemon 600000|return\n";
    Outcome outcome = RunToEnd(script, {"create", "main:com/example/App", "destroy"});
    EXPECT_EQ(outcome.Report("destroy"), std::vector<std::string>{"0"}) << outcome.Describe();
    ASSERT_EQ(outcome.Report("destroy.ms").size(), 1u);
    EXPECT_GE(std::stol(outcome.Report("destroy.ms")[0]), 1400);
    long ended = IndexOf(outcome.record, "worldthread.end=1");
    ASSERT_NE(ended, -1) << outcome.Describe();
    EXPECT_LT(IndexOf(outcome.record, "destroy=begin"), ended);
    EXPECT_LT(ended, IndexOf(outcome.record, "destroy=0"));
    EXPECT_TRUE(outcome.Record("worldthread.end").size() == 1u);
    EXPECT_EQ(outcome.Record("worldthread.start"), (std::vector<std::string>{"1", "2 daemon"}));
}

TEST_F(FakeJvm, DestroyNeverReturnsWhenTheCreatingThreadEndedAttached) {
    struct Case {
        const char* name;
        std::vector<std::string> commands;
        bool hangs;
    };
    const Case cases[] = {
        {"creator detached before it ended", {"thread:0", "create", "detach", "endthread", "destroy"}, false},
        {"creator destroys itself", {"create", "destroy"}, false},
        {"creator ended attached", {"thread:0", "create", "endthread", "destroy"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome outcome = Run(kApp, c.commands, 4000);
        EXPECT_EQ(outcome.timedOut, c.hangs) << outcome.Describe();
        EXPECT_EQ(outcome.Report("destroy"), c.hangs ? std::vector<std::string>{} : std::vector<std::string>{"0"});
        EXPECT_EQ(outcome.Record("destroy"),
                  c.hangs ? std::vector<std::string>{"begin"} : (std::vector<std::string>{"begin", "0"}));
        std::vector<std::string> waiting = outcome.Record("destroy.waiting");
        ASSERT_EQ(waiting.size(), c.hangs ? 1u : 0u) << outcome.Describe();
        if (c.hangs) {
            EXPECT_EQ(waiting[0].compare(0, 15, "forever: thread"), 0) << waiting[0];
            EXPECT_NE(waiting[0].find("\"main\""), std::string::npos);
            EXPECT_NE(waiting[0].find("ended without DetachCurrentThread"), std::string::npos);
        }
    }
}

TEST_F(FakeJvm, AttachDetachAndGetEnvAnswerLikeHotSpot) {
    Outcome outcome = RunToEnd(kApp, {"create", "getenv", "getversion", "thread:0", "getenv", "detach", "attach", "getenv",
                                      "getversion", "detach", "getenv", "attachdaemon", "endthread", "destroy", "detach",
                                      "attach", "getenv", "create"});
    EXPECT_EQ(outcome.Report("getenv"), (std::vector<std::string>{"0 same", "-2 null", "0 same", "-2 null", "-2 null"}))
        << outcome.Describe();
    EXPECT_EQ(outcome.Report("getversion"), (std::vector<std::string>{"655360", "655360"}));
    EXPECT_EQ(outcome.Report("detach"), (std::vector<std::string>{"0", "0", "-1"}));
    EXPECT_EQ(outcome.Record("detach"), (std::vector<std::string>{"0 (not attached)", "0", "-1 (no VM)"}));
    EXPECT_EQ(outcome.Report("attach"), (std::vector<std::string>{"0", "-1"}));
    EXPECT_EQ(outcome.Report("attachdaemon"), std::vector<std::string>{"0"});
    // The daemon thread ended attached, and does not hold DestroyJavaVM.
    EXPECT_EQ(outcome.Report("destroy"), std::vector<std::string>{"0"});
    EXPECT_EQ(outcome.Report("create"), (std::vector<std::string>{"0", "-1"}));
    ASSERT_EQ(outcome.Record("attach").size(), 3u);
    EXPECT_EQ(outcome.Record("attach")[0].compare(0, 9, "0 Thread-"), 0) << outcome.Record("attach")[0];
    EXPECT_NE(outcome.Record("attach")[1].find(" daemon (AttachCurrentThreadAsDaemon)"), std::string::npos);
    EXPECT_EQ(outcome.Record("attach")[2], "-1 (no VM)");
}

// ---- strings and arrays ----------------------------------------------------

TEST_F(FakeJvm, StringsConvertLikeHotSpot) {
    struct Case {
        const char* text;
        const char* expected;  // modified UTF-8 + NUL, its length, UTF-16 length, UTF-16LE + NUL
    };
    const Case cases[] = {
        {"A", "4100 1 1 41000000 copy"},
        {"\xC3\xA9", "c3a900 2 1 e9000000 copy"},
        {"\xE2\x82\xAC", "e282ac00 3 1 ac200000 copy"},
        {"\xF0\x9F\x98\x80", "eda0bdedb88000 6 2 3dd800de0000 copy"},
    };
    std::vector<std::string> commands = {"create"};
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        commands.push_back(std::string("utf:") + c.text);
        expected.push_back(c.expected);
    }
    // new String(byte[]) decodes UTF-8, replacing what is malformed.
    const Case bytes[] = {
        {"68c3a9", "6800e900"},       {"e9", "fdff"},       {"f09f9880", "3dd800de"},
        {"e282", "fdff"},             {"eda080", "fdfffdfffdff"}, {"41ff42", "4100fdff4200"},
    };
    std::vector<std::string> decoded;
    for (const Case& c : bytes) {
        commands.push_back(std::string("bytes:") + c.text);
        decoded.push_back(c.expected);
    }
    Outcome outcome = RunToEnd("", commands);
    EXPECT_EQ(outcome.Report("utf"), expected) << outcome.Describe();
    EXPECT_EQ(outcome.Report("bytes"), decoded);
    EXPECT_TRUE(outcome.Record("jniwarning").empty()) << outcome.Describe();
}

TEST_F(FakeJvm, ArrayMisuseLeavesJavasExceptionsPending) {
    Outcome outcome = RunToEnd("", {"create", "arrays"});
    EXPECT_EQ(outcome.Report("arrays.length"), std::vector<std::string>{"3"}) << outcome.Describe();
    EXPECT_EQ(outcome.Report("arrays.filled"), std::vector<std::string>{"1"});
    EXPECT_EQ(outcome.Report("arrays.get3"),
              std::vector<std::string>{"java.lang.ArrayIndexOutOfBoundsException: Index 3 out of bounds for length 3"});
    EXPECT_EQ(outcome.Report("arrays.setminus1"),
              std::vector<std::string>{"java.lang.ArrayIndexOutOfBoundsException: Index -1 out of bounds for length 3"});
    EXPECT_EQ(outcome.Report("arrays.instance"), std::vector<std::string>{"10"});
    EXPECT_EQ(outcome.Report("arrays.store"),
              std::vector<std::string>{"java.lang.ArrayStoreException: type mismatch: can not store [B to index 1 of "
                                       "java.lang.String[3]"});
    EXPECT_EQ(outcome.Report("arrays.negative"), std::vector<std::string>{"java.lang.NegativeArraySizeException: -2"});
    EXPECT_EQ(outcome.Report("arrays.region"),
              std::vector<std::string>{"java.lang.ArrayIndexOutOfBoundsException: Array region 2..5 out of bounds for "
                                       "length 4"});
    EXPECT_EQ(outcome.Report("arrays.bytes"), std::vector<std::string>{"00010203 4"});
}

// ---- what the double refuses -------------------------------------------------

TEST_F(FakeJvm, UnexpectedCallsAndBadReferencesEndTheProcessLoudly) {
    struct Case {
        const char* command;
        const char* key;
        const char* what;
    };
    const Case cases[] = {
        {"unexpected", "unexpected", "JNI call GetStaticFieldID"},
        {"deleted", "fatal", "GetStringLength was given a deleted local reference"},
        {"release2", "fatal", "ReleaseStringUTFChars was given a buffer not handed out or released before"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Outcome outcome = Run("", {"create", c.command});
        EXPECT_EQ(outcome.exitCode, kFakeJvmAbortCode) << outcome.Describe();
        EXPECT_EQ(outcome.Record(c.key), std::vector<std::string>{c.what});
        EXPECT_EQ(outcome.err, std::string("fakejvm: ") + c.key + ": " + c.what + "\n");
        EXPECT_TRUE(outcome.Report("misuse").empty());
    }
}

TEST_F(FakeJvm, MisuseHotSpotToleratesIsNotedAsAWarning) {
    struct Case {
        std::vector<std::string> commands;
        const char* warning;
    };
    const Case cases[] = {
        {{"create", "pendingcall"}, "FindClass called with an exception pending"},
        {{"create", "argutf:\xF0\x9F\x98\x80", "main:com/example/App"},
         "NewStringUTF was given a 4-byte UTF-8 sequence, not modified UTF-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.warning);
        Outcome outcome = RunToEnd(kApp, c.commands);
        EXPECT_EQ(outcome.Record("jniwarning"), std::vector<std::string>{c.warning}) << outcome.Describe();
    }
}

TEST_F(FakeJvm, BrokenScriptsEndTheProcessNamingTheLine) {
    struct Case {
        const char* script;
        const char* what;
    };
    const Case cases[] = {
        {"create=zero\n", "line 1: create needs a number"},
        {"# fine\nclass com/example/App\nmain=out x|jump\n", "line 3: unknown step 'jump'"},
        {"class com/example/App\nmain ([Ljava/lang/String;)V=returnint 3\n",
         "line 2: returnint in a method not returning int"},
        {"class com/example/App\nmain=return\nmain=out again\n", "line 3: method twice"},
        {"class com/example/App\nmain [Ljava/lang/String;=return\n", "line 2: bad signature '[Ljava/lang/String;'"},
        {"class java/lang/String\n", "line 1: java/lang/String exists already"},
        {"class com/example/App\nmain=throw com/example/App\n", "line 2: com/example/App is not a Throwable"},
        {"colour=blue\n", "line 1: unknown setting 'colour'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        Outcome outcome = Run(c.script, {"create"});
        EXPECT_EQ(outcome.exitCode, kFakeJvmAbortCode) << outcome.Describe();
        EXPECT_EQ(outcome.Record("scripterror"), std::vector<std::string>{c.what});
        EXPECT_TRUE(outcome.Report("create").empty());
    }
}

}  // namespace
