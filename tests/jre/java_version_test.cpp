#include "jre/java_version.h"

#include <string>
#include <vector>

#include "support/fake_platform.h"

namespace {

class JavaVersionTest : public WithFakeSystem {};

TEST_F(JavaVersionTest, ParsesRunsOfDigits) {
    struct Case { const char* text; int fill; JavaVersion expected; bool ok; };
    const Case cases[] = {
        {"1.6", 0, {{1, 6, 0, 0}, 2}, true},
        {"1.5.0_06", 0, {{1, 5, 0, 6}, 4}, true},
        {"1.6.0_10-rc", 0, {{1, 6, 0, 10}, 4}, true},
        {"jdk1.4.2", 0, {{1, 4, 2, 0}, 3}, true},
        {"1.5", 65535, {{1, 5, 65535, 65535}, 2}, true},
        {"1.6.0.10.2", 0, {{1, 6, 0, 10}, 4}, true},
        {"", 65535, {{0, 0, 0, 0}, 0}, false},
        {"latest", 65535, {{0, 0, 0, 0}, 0}, false},
    };
    for (const Case& c : cases) {
        JavaVersion v;
        EXPECT_EQ(ParseJavaVersion(c.text, c.fill, v), c.ok) << c.text;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(v.parts[i], c.expected.parts[i]) << c.text << " part " << i;
        EXPECT_EQ(v.partCount, c.expected.partCount) << c.text;
    }
}

TEST_F(JavaVersionTest, SplitsPreferredVersionsKeepingEmptyPieces) {
    struct Case { const char* text; std::vector<std::string> expected; };
    const Case cases[] = {
        {"", {""}}, {"1.6", {"1.6"}}, {"1.6;1.5", {"1.6", "1.5"}}, {";1.5;", {"", "1.5", ""}},
        {"1.6;;1.5", {"1.6", "", "1.5"}}, {" 1.6 ; 1.5", {" 1.6 ", " 1.5"}},
    };
    for (const Case& c : cases) {
        StringList list;
        list.Append("stale");
        SplitPreferredVersions(c.text, ';', list);
        std::vector<std::string> got;
        for (int i = 0; i < list.Count(); ++i) got.push_back(list[i].c_str());
        EXPECT_EQ(got, c.expected) << c.text;
    }
}

}  // namespace

namespace {

JavaVersion Parsed(const char* text, int fill = 0) {
    JavaVersion v;
    ParseJavaVersion(text, fill, v);
    return v;
}

TEST_F(JavaVersionTest, ComparesFourPartsIgnoringTheirCount) {
    struct Case { const char* a; const char* b; int order; };
    const Case cases[] = {
        {"1.6", "1.6.0", 0}, {"1.5.0_06", "1.5.0_07", -1}, {"1.6", "1.5.0_99", 1}, {"2", "10", -1}, {"", "0.0", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareJavaVersions(Parsed(c.a), Parsed(c.b)), c.order) << c.a << " vs " << c.b;
        EXPECT_EQ(CompareJavaVersions(Parsed(c.b), Parsed(c.a)), -c.order) << c.b << " vs " << c.a;
        EXPECT_EQ(JavaVersionsEqual(Parsed(c.a), Parsed(c.b)), c.order == 0) << c.a << " vs " << c.b;
    }
}

TEST_F(JavaVersionTest, MatchesPreferredEntries) {
    struct Case { const char* preferred; const char* installed; bool match; };
    const Case cases[] = {
        {"1.5", "1.5.0_06", true}, {"1.5", "1.5", true},        {"1.5.0", "1.5", true},
        {"1.5.0_06", "1.5.0_07", false}, {"1.5.1", "1.5", false}, {"1.6", "1.5.0_06", false},
        {"", "1.6", false},        {"", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesPreferredVersion(Parsed(c.installed), Parsed(c.preferred)), c.match)
            << c.preferred << " for " << c.installed;
    }
}

TEST_F(JavaVersionTest, OpenBoundsAndDottedText) {
    struct Case { JavaVersion v; bool open; const char* text; };
    const Case cases[] = {
        {{{1, 5, 0, 0}, 2}, false, "1.5"},
        {{{1, 5, 65535, 65535}, 2}, false, "1.5"},
        {{{1, 6, 0, 10}, 4}, false, "1.6.0.10"},
        {{{1, 0, 0, 0}, 1}, false, "1"},
        {{{1, 65535, 2, 0}, 3}, false, "1.65535.2"},
        {{{0, 0, 0, 0}, 0}, true, "0.0.0.0"},
        {{{65535, 65535, 65535, 65535}, 4}, true, "0.0.0.0"},
        {{{0, 0, 0, 65535}, 4}, false, "0.0.0.0"},
        {{{-2, 7, 0, 0}, 2}, false, "-2.7"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsOpenVersionBound(c.v), c.open) << c.text;
        EXPECT_STREQ(FormatJavaVersion(c.v).c_str(), c.text);
    }
}

}  // namespace
