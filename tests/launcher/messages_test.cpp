#include "launcher/messages.h"

#include <string>

#include "support/fake_platform.h"

namespace {

class MessagesTest : public WithFakeSystem {};

TEST_F(MessagesTest, LoadsTextsOfAnyLengthWhole) {
    for (size_t length : {0u, 1u, 252u, 253u, 254u, 255u, 256u, 509u, 510u, 1000u, 5000u}) {
        std::string text(length, 't');
        if (length) text.back() = 'E';
        fake.texts[300] = text;
        EXPECT_EQ(std::string(LoadTextResource(300).c_str()), text) << length;
    }
    EXPECT_TRUE(LoadTextResource(999).IsEmpty());
}

TEST_F(MessagesTest, ErrorBoxHasErrorIconOkButtonNoCaptionAndTheGivenOwner) {
    os::Handle owner = reinterpret_cast<os::Handle>(0x1234);
    ShowErrorText("text", owner);
    ShowErrorFormat1(nullptr, "Could not find the main class %s.\n", "com/example/App");
    ShowErrorFormat2(owner, "Failed to load Java VM library: %s (errno = %d).\n", "C:\\jre\\jvm.dll", 126);
    ASSERT_EQ(fake.boxes.size(), 3u);
    for (const ShownBox& box : fake.boxes) {
        EXPECT_EQ(box.style, 0x10u);
        EXPECT_FALSE(box.hasCaption);
    }
    EXPECT_EQ(fake.boxes[0].owner, owner);
    EXPECT_EQ(fake.boxes[1].owner, nullptr);
    EXPECT_EQ(fake.boxes[1].text, "Could not find the main class com/example/App.\n");
    EXPECT_EQ(fake.boxes[2].text, "Failed to load Java VM library: C:\\jre\\jvm.dll (errno = 126).\n");
}

TEST_F(MessagesTest, MissingTextStillShowsAnEmptyBox) {
    ShowErrorText(LoadTextResource(231), nullptr);  // no such text
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "");
}

TEST_F(MessagesTest, FormatTextResourceFillsTheTextOfThatNumber) {
    FormatArg args[] = {"1.4", "1.5"};
    EXPECT_STREQ(FormatTextResource(221, args, 2).c_str(), "version between 1.4 and 1.5");
}

}  // namespace
