#include "framework/format.h"

#include <string>

#include "support/fake_platform.h"

namespace {

class FormatTest : public WithFakeSystem {};

TEST_F(FormatTest, PlaceholdersAsTheLauncherUsesThem) {
    struct Case { const char* format; std::vector<FormatArg> args; const char* expected; };
    const Case cases[] = {
        {"Windows exception: %s (errno = %d).\n", {"failed to get the module path", 5},
         "Windows exception: failed to get the module path (errno = 5).\n"},
        {"COM error: %s (errno = %d).\n", {"failed to initialize module", -2147024882},
         "COM error: failed to initialize module (errno = -2147024882).\n"},
        {"JNI exception: %s\nReason: %s.\n", {"failed to create the Java VM", ""},
         "JNI exception: failed to create the Java VM\nReason: .\n"},
        {"%d|%u|%x|%X|%#x", {-1, -1, 255, 255, 255}, "-1|4294967295|ff|FF|0xff"},
        {"[%5d][%-5d][%05d][%.3d]", {42, 42, -42, 7}, "[   42][42   ][-0042][007]"},
        {"[%.2s][%4s][%-4s]", {"abc", "ab", "ab"}, "[ab][  ab][ab  ]"},
        {"100%% %c", {'x'}, "100% x"},
        {"%ld %lu %hd", {-3, 3, 4}, "-3 3 4"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(FormatText(c.format, c.args.data(), static_cast<int>(c.args.size())).c_str(), c.expected)
            << c.format;
    }
}

TEST_F(FormatTest, UserTextIsNeverTakenAsAFormat) {
    FormatArg args[] = {"C:\\100%s\\%d\\jvm.dll", 2};
    EXPECT_STREQ(FormatText("load %s (errno = %d)", args, 2).c_str(), "load C:\\100%s\\%d\\jvm.dll (errno = 2)");
}

TEST_F(FormatTest, MissingOrMismatchedArgumentsWriteNothing) {
    FormatArg number[] = {7};
    EXPECT_STREQ(FormatText("a%sb%dc%s", number, 1).c_str(), "abc");
    FormatArg text[] = {"t"};
    EXPECT_STREQ(FormatText("<%d>", text, 1).c_str(), "<>");
    EXPECT_STREQ(FormatText("end%", nullptr, 0).c_str(), "end");
}

TEST_F(FormatTest, ResultIsCutTo1023Characters) {
    std::string longPath(2000, 'p');
    FormatArg args[] = {longPath.c_str(), 126};
    String text = FormatText("Failed to load Java VM library: %s (errno = %d).\n", args, 2);
    ASSERT_EQ(text.Length(), kMaxFormattedLength);
    EXPECT_EQ(text.Left(32), "Failed to load Java VM library: ");
    EXPECT_EQ(text[1022], 'p');

    std::string exact(1023 - 2, 'q');
    FormatArg fits[] = {exact.c_str()};
    EXPECT_EQ(FormatText("<%s>", fits, 1).Length(), 1023);
    EXPECT_EQ(FormatText("<%s>", fits, 1)[1022], '>');
}

}  // namespace
