// The launcher's JNI code against the real Java VM: each case is one launch
// in a child process (a process hosts one VM, and exits and hangs must not
// take the test run with them).
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Launch {
    int exitCode = -1;
    bool timedOut = false;
    std::string out, err;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

class Scratch {
public:
    Scratch() {
        char pattern[] = "/tmp/kindling-jni-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~Scratch() { (void)system(("rm -rf '" + path_ + "'").c_str()); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs this program in scenario mode: main class, settings, then arguments.
Launch Start(const std::string& mainClass, std::vector<std::string> settings, std::vector<std::string> arguments = {},
           int timeoutSeconds = 30) {
    Scratch scratch;
    std::vector<std::string> argv = {"/proc/self/exe", "--scenario", getenv("KINDLING_LIBJVM"),
                                     getenv("KINDLING_JNI_CLASSES"), mainClass};
    argv.insert(argv.end(), settings.begin(), settings.end());
    argv.push_back("--");
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::string out = scratch / "out", err = scratch / "err";
    pid_t child = fork();
    if (child == 0) {
        if (!freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr)) _exit(95);
        std::vector<char*> raw;
        for (std::string& a : argv) raw.push_back(&a[0]);
        raw.push_back(nullptr);
        execv("/proc/self/exe", raw.data());
        _exit(96);
    }
    Launch launch;
    int status = 0;
    for (int waited = 0;; waited += 50) {
        if (waitpid(child, &status, WNOHANG) == child) break;
        if (waited >= timeoutSeconds * 1000) {
            launch.timedOut = true;
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        usleep(50 * 1000);
    }
    if (WIFEXITED(status)) launch.exitCode = WEXITSTATUS(status);
    launch.out = ReadAll(out);
    launch.err = ReadAll(err);
    return launch;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(RealJvm, MainReceivesTheArgumentsDecodedFromTheAnsiCodePage) {
    Scratch files;
    // "caf\xe9" is café in Latin-1, the fake platform's code page: the VM must get U+00E9.
    auto launch = Start("fixtures/App", {"out=" + files / "out.txt", "err=" + files / "err.txt"},
                      {"a b", "", "caf\xe9", "-nosplash"});
    ASSERT_FALSE(launch.timedOut);
    EXPECT_TRUE(Has(launch.out, "thread=0\n")) << launch.out << launch.err;
    EXPECT_TRUE(Has(launch.out, "destroyed\n"));
    EXPECT_EQ(ReadAll(files / "out.txt"), "args=4 [61,20,62,] [] [63,61,66,e9,] [2d,6e,6f,73,70,6c,61,73,68,]\n");
    EXPECT_EQ(ReadAll(files / "err.txt"), "to-stderr\n");
}

TEST(RealJvm, NoArgumentsGiveAnEmptyArray) {
    Scratch files;
    auto launch = Start("fixtures/App", {"out=" + files / "out.txt"});
    EXPECT_TRUE(Has(launch.out, "thread=0\n")) << launch.out << launch.err;
    EXPECT_EQ(ReadAll(files / "out.txt"), "args=0\n");
}

TEST(RealJvm, StreamFilesAreEmptiedAndAMissingFolderLeavesOnlyThatStream) {
    Scratch files;
    {
        std::ofstream old(files / "err.txt");
        old << "old content that must go\n";
    }
    auto launch = Start("fixtures/App", {"out=" + files / "missing/out.txt", "err=" + files / "err.txt"});
    EXPECT_TRUE(Has(launch.out, "thread=0\n")) << launch.out << launch.err;
    EXPECT_TRUE(Has(launch.err, "java.io.FileNotFoundException")) << launch.err;
    EXPECT_TRUE(Has(launch.out, "args=0\n"));  // System.out stayed the process's own
    EXPECT_EQ(ReadAll(files / "err.txt"), "to-stderr\n");
}

TEST(RealJvm, FailuresBeforeMainEndTheThreadWithOneAndStillDetach) {
    struct Case { const char* mainClass; std::vector<std::string> settings; const char* box; const char* trace; };
    const Case cases[] = {
        {"fixtures/Missing", {}, "box=Could not find the main class fixtures/Missing.\n|", "NoClassDefFoundError"},
        {"fixtures/NoMain", {}, nullptr, "NoSuchMethodError"},
        {"fixtures/App", {"option=-Xbogus"}, "box=JNI exception: failed to create the Java VM\nReason: unknown.\n|",
         nullptr},
    };
    for (const Case& c : cases) {
        // A thread that ended attached would make DestroyJavaVM wait forever.
        auto launch = Start(c.mainClass, c.settings, {}, 20);
        ASSERT_FALSE(launch.timedOut) << c.mainClass;
        EXPECT_TRUE(Has(launch.out, "thread=1\n")) << launch.out;
        EXPECT_TRUE(Has(launch.out, "destroyed\n")) << c.mainClass;
        if (c.box) {
            EXPECT_TRUE(Has(launch.out, c.box)) << launch.out;
        } else {
            EXPECT_FALSE(Has(launch.out, "box=")) << launch.out;
        }
        if (c.trace) EXPECT_TRUE(Has(launch.err, c.trace)) << launch.err;
    }
}

TEST(RealJvm, UncaughtExceptionIsReportedWithItsTraceAndStopExits) {
    const std::string report = "report=java.lang.IllegalStateException: boom \u00e9\u4e2d\n\tat fixtures.Thrower.main(";
    struct Case { std::vector<std::string> settings; int exitCode; bool reported; };
    const Case cases[] = {
        {{}, 0, false},                             // Failure Check off: only the trace
        {{"failureCheck=1", "dialog=1"}, 0, true},  // Ignore
        {{"failureCheck=1", "dialog=2"}, 255, false},   // Stop: System.exit(-1) before anything else
        {{"failureCheck=1", "dialog=-1"}, 255, false},  // a dialog that cannot be shown counts as Stop
    };
    for (const Case& c : cases) {
        auto launch = Start("fixtures/Thrower", c.settings);
        ASSERT_FALSE(launch.timedOut);
        EXPECT_EQ(launch.exitCode, c.exitCode) << launch.out;
        EXPECT_TRUE(Has(launch.err, "Exception in thread \"main\" java.lang.IllegalStateException")) << launch.err;
        EXPECT_EQ(Has(launch.out, report), c.reported) << launch.out;
        EXPECT_EQ(Has(launch.out, "thread=0\n"), c.exitCode == 0) << launch.out;
    }
}

// The double copies this: the trace goes to the current System.err, only the
// "Exception in thread" prefix to the VM's own error stream.
TEST(RealJvm, DescribedTraceGoesToTheRedirectedErrorFile) {
    Scratch files;
    auto launch = Start("fixtures/Thrower", {"err=" + files / "err.txt"});
    ASSERT_FALSE(launch.timedOut);
    EXPECT_EQ(ReadAll(files / "err.txt").rfind("java.lang.IllegalStateException: boom", 0), 0u)
        << ReadAll(files / "err.txt");
    EXPECT_EQ(launch.err, "Exception in thread \"main\" ");
}

TEST(RealJvm, SystemExitEndsTheProcessWithItsCode) {
    auto launch = Start("fixtures/Exiter", {});
    ASSERT_FALSE(launch.timedOut);
    EXPECT_EQ(launch.exitCode, 7);
    EXPECT_FALSE(Has(launch.out, "thread="));
}

TEST(RealJvm, DestroyWaitsForNonDaemonThreads) {
    Scratch files;
    auto launch = Start("fixtures/Lingering", {}, {"700", files / "done.txt"});
    ASSERT_FALSE(launch.timedOut);
    EXPECT_TRUE(Has(launch.out, "thread=0\n")) << launch.out << launch.err;
    EXPECT_TRUE(Has(launch.out, "destroyed\n"));
    EXPECT_EQ(ReadAll(files / "done.txt"), "done");
}

TEST(RealJvm, DefaultStackSizeComesFromTheJni11Record) {
    auto launch = Start("fixtures/App", {});
    unsigned size = 0;
    ASSERT_EQ(sscanf(launch.out.c_str(), "stack=%u", &size), 1) << launch.out;
    EXPECT_GE(size, 64u * 1024);
    EXPECT_EQ(size % 1024, 0u);
}

// Why the launcher detaches on every path: the VM waits for that thread forever.
TEST(RealJvm, DestroyNeverReturnsWhenTheCreatingThreadEndedAttached) {
    auto launch = Start("fixtures/App", {"nodetach=1"}, {}, 8);
    EXPECT_TRUE(launch.timedOut) << launch.out;
    EXPECT_FALSE(Has(launch.out, "destroyed"));
}

TEST(RealJvm, SecondThreadAttachesAndCallsAStaticMethod) {
    auto launch = Start("fixtures/Secondary", {"attach=1"});
    ASSERT_FALSE(launch.timedOut);
    EXPECT_TRUE(Has(launch.out, "secondary=42\n")) << launch.out << launch.err;
}

}  // namespace
