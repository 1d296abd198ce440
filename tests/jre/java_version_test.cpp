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
