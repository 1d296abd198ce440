#include "launcher/command_line.h"

#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "support/fake_platform.h"

namespace {

class CommandLineTest : public WithFakeSystem {};

std::vector<std::string> Arguments(const char* commandLine) {
    Fake().commandLine = commandLine;
    Launcher launcher;
    ReadCommandLine(launcher);
    std::vector<std::string> result;
    for (int i = 0; i < launcher.arguments.Count(); ++i) result.push_back(launcher.arguments[i].c_str());
    return result;
}

TEST_F(CommandLineTest, SplitsByTheLaunchersOwnRules) {
    struct Case { const char* line; std::vector<std::string> expected; };
    const Case cases[] = {
        {"run.exe", {}},
        {"run.exe a b", {"a", "b"}},
        {"run.exe a   b   ", {"a", "b"}},
        {"\"C:\\Program Files\\App\\run.exe\" -nosplash x", {"-nosplash", "x"}},
        {"run.exe \"a b\" c", {"a b", "c"}},
        {"run.exe \"a b", {"a b"}},
        {"run.exe \"\"", {""}},
        {"run.exe \"", {""}},
        {"run.exe \"a\"b", {"a", "b"}},
        {"run.exe a\"b c\"", {"a\"b", "c\""}},
        {"run.exe a\\\"b c", {"a\\\"b", "c"}},
        {"run.exe a\tb", {"a\tb"}},
        {"run.exe C:\\dir\\", {"C:\\dir\\"}},
        {"\"run.exe\"-x", {"-x"}},
        {"  \t run.exe a \t ", {"a"}},
        {"run.exe \"\" \"\" x", {"", "", "x"}},
        {"", {}},
        {"   ", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Arguments(c.line), c.expected) << '[' << c.line << ']';
}

TEST_F(CommandLineTest, QuoteSearchStepsOverDoubleByteCharacters) {
    fake.codePage932 = true;
    // "\x81\x22" would hold a quote byte only if the trail byte were taken alone;
    // 0x22 is no trail byte in 932, so here the quote is real and the "\x95\x5C" one is kept.
    EXPECT_EQ(Arguments("run.exe \"\x95\x5C x\" y"), (std::vector<std::string>{"\x95\x5C x", "y"}));
}

TEST_F(CommandLineTest, FindArgumentMatchesWholeExactArguments) {
    StringList list;
    for (const char* s : {"-NoSplash", "-nosplash=1", "x", "-nosplash", "/nosplash"}) list.Append(s);
    EXPECT_EQ(FindArgument(list, "-nosplash"), 3);
    EXPECT_EQ(FindArgument(list, "/nosplash"), 4);
    EXPECT_EQ(FindArgument(list, "-NOSPLASH"), -1);
    EXPECT_EQ(FindArgument(StringList(), "-nosplash"), -1);
}

}  // namespace
