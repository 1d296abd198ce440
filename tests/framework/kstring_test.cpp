#include "framework/kstring.h"

#include "support/fake_platform.h"

namespace {

// "\x95\x5C" is one double-byte character of code page 932 whose trail byte is "\".
constexpr const char* kTrailBackslash = "\x95\x5C";

class StringTest : public WithFakeSystem {};

TEST_F(StringTest, CharacterSearchesStepWholeCharactersInCodePage932) {
    fake.codePage932 = true;
    String path = String("C:\\") + kTrailBackslash + "\\run.exe";  // C:\<dbcs>\run.exe
    EXPECT_EQ(path.Find('\\', 3), 5);
    EXPECT_EQ(path.ReverseFind('\\'), 5);

    String onlyTrail = String("C:") + kTrailBackslash;
    EXPECT_EQ(onlyTrail.ReverseFind('\\'), -1);
    EXPECT_EQ(onlyTrail.Find('\\'), -1);

    // A trail byte equal to "." must not be replaced; the real dot must.
    String name = String("a.b\x81.") ;  // "\x81." is one character in 932
    name.Replace('.', '/');
    EXPECT_STREQ(name.c_str(), "a/b\x81.");
}

TEST_F(StringTest, SingleByteCodePageSeesEveryByte) {
    String path = String("C:") + kTrailBackslash;
    EXPECT_EQ(path.ReverseFind('\\'), 3);
}

TEST_F(StringTest, MidClampsStartAndCount) {
    struct Case { int start, count; const char* expected; };
    const Case cases[] = {
        {0, 3, "abc"}, {2, 100, "cdef"}, {-5, 2, "ab"}, {6, 1, ""}, {10, 1, ""}, {1, -1, ""}, {0, 6, "abcdef"},
    };
    String text("abcdef");
    for (const Case& c : cases) {
        EXPECT_STREQ(text.Mid(c.start, c.count).c_str(), c.expected) << c.start << "," << c.count;
    }
}

TEST_F(StringTest, TrimRemovesWhiteSpaceAtBothEndsOnly) {
    struct Case { const char* input; const char* expected; };
    const Case cases[] = {
        {"  a b  ", "a b"}, {"\t\r\n x\t", "x"}, {"   ", ""}, {"", ""}, {"x", "x"}, {"a\tb", "a\tb"},
    };
    for (const Case& c : cases) {
        String text(c.input);
        text.Trim();
        EXPECT_STREQ(text.c_str(), c.expected) << '"' << c.input << '"';
    }
}

TEST_F(StringTest, CopiesShareUntilOneIsChanged) {
    String original("com.example.App");
    String copy = original;
    copy.Replace('.', '/');
    copy += "!";
    EXPECT_STREQ(original.c_str(), "com.example.App");
    EXPECT_STREQ(copy.c_str(), "com/example/App!");
}

TEST_F(StringTest, AppendingToItselfDoublesTheText) {
    String text("ab");
    for (int i = 0; i < 10; ++i) text.Append(text);
    EXPECT_EQ(text.Length(), 2048);
    EXPECT_EQ(text.Mid(2046), "ab");
}

TEST_F(StringTest, EqualsNoCaseFoldsAsciiLettersOnly) {
    struct Case { const char* value; bool equal; };
    const Case cases[] = {
        {"Yes", true}, {"yes", true}, {"YES", true}, {"yEs", true},
        {"Yes ", false}, {"1", false}, {"true", false}, {"", false}, {"ye", false},
    };
    for (const Case& c : cases) EXPECT_EQ(String(c.value).EqualsNoCase("Yes"), c.equal) << c.value;
}

TEST_F(StringTest, BufferFilledBySystemCallTakesItsLength) {
    String text("old");
    String shared = text;
    char* buffer = text.GetBuffer(300);
    ASSERT_NE(buffer, nullptr);
    for (int i = 0; i < 300; ++i) buffer[i] = 'x';
    buffer[300] = '\0';
    text.ReleaseBuffer();
    EXPECT_EQ(text.Length(), 300);
    EXPECT_EQ(shared, "old");
    text.GetBuffer(10);
    text.ReleaseBuffer(2);
    EXPECT_EQ(text, "xx");
}

}  // namespace
