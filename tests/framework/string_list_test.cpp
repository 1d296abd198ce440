#include "framework/string_list.h"

#include "support/fake_platform.h"

namespace {

class StringListTest : public WithFakeSystem {};

TEST_F(StringListTest, GrowsKeepsOrderAndFindsExactly) {
    StringList list;
    for (int i = 0; i < 100; ++i) {
        String item("item");
        item += static_cast<char>('0' + i % 10);
        item += static_cast<char>('0' + i / 10);
        ASSERT_TRUE(list.Append(item));
    }
    EXPECT_EQ(list.Count(), 100);
    EXPECT_EQ(list[37], "item73");
    EXPECT_EQ(list.Find("item73"), 37);
    EXPECT_EQ(list.Find("ITEM73"), -1);
    EXPECT_EQ(list.Find("item7"), -1);
}

TEST_F(StringListTest, RemoveAtMovesLaterElementsDown) {
    StringList list;
    for (const char* s : {"a", "b", "c", "d"}) list.Append(s);
    list.RemoveAt(1);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0], "a");
    EXPECT_EQ(list[1], "c");
    EXPECT_EQ(list[2], "d");
    list.RemoveAt(2);
    list.RemoveAt(0);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], "c");
}

TEST_F(StringListTest, FindReturnsTheFirstOfEqualElements) {
    StringList list;
    for (const char* s : {"", "x", "x"}) list.Append(s);
    EXPECT_EQ(list.Find("x"), 1);
    EXPECT_EQ(list.Find(""), 0);
}

TEST_F(StringListTest, CopyIsIndependent) {
    StringList list;
    list.Append("a");
    StringList copy = list;
    copy[0] += "b";
    copy.Append("c");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], "a");
    EXPECT_EQ(copy[0], "ab");
}

}  // namespace
