// The Win32 side of the seam against the real profile and resource functions.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "config/configuration.h"
#include "framework/win32/app_module.h"
#include "launcher/messages.h"
#include "wine_support.h"

namespace {

TEST(ProfileValues, AreReadWholeWhateverTheirLength) {
    TempFolder folder;
    std::string path = folder / "long.ini";
    for (size_t length : {1u, 254u, 255u, 256u, 511u, 1000u, 70000u}) {
        std::string value(length, 'v');
        value.back() = 'Z';
        WriteFileBytes(path, "[Class Path]\r\nClass Path=" + value + "\r\n");
        String read = ReadIniValue(path.c_str(), ini::kClassPathSection, ini::kClassPath);
        EXPECT_EQ(static_cast<size_t>(read.Length()), length);
        EXPECT_EQ(std::string(read.c_str()), value) << length;
    }
    EXPECT_TRUE(ReadIniValue(path.c_str(), ini::kClassPathSection, "Missing").IsEmpty());
    EXPECT_TRUE(ReadIniValue((folder / "none.ini").c_str(), ini::kClassPathSection, ini::kClassPath).IsEmpty());
}

// The texts of the product's string table, loaded the way the launcher loads them.
class StringTable : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExA(KindlingExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << KindlingExe();
        ASSERT_EQ(appModule.Init(module), S_OK);
    }
    void TearDown() override {
        appModule.Term();
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
};

TEST_F(StringTable, TextsKeepTheirLineFeedsBlanksAndSpelling) {
    struct Case { unsigned id; const char* text; };
    const Case cases[] = {
        {202, "Windows exception: %s (errno = %d).\n"},
        {203, "JNI exception: %s\nReason: %s.\n"},
        {206, "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE with a "
              "server JVM (%s) from:"},
        {210, "Main class was not specified in INI file."},
        {228, "not enought memory"},
        {230, "invalid arguments"},
    };
    for (const Case& c : cases) EXPECT_STREQ(LoadTextResource(c.id).c_str(), c.text) << c.id;
    for (unsigned id = 202; id <= 230; ++id) EXPECT_FALSE(LoadTextResource(id).IsEmpty()) << id;
    EXPECT_TRUE(LoadTextResource(231).IsEmpty());
}

TEST_F(StringTable, TextsAreUsEnglish) {
    // Strings live in blocks of 16: texts 192-207 are block 13, 208-223 block 14, 224-239 block 15.
    for (WORD block : {13, 14, 15}) {
        EXPECT_NE(FindResourceExA(module, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(block), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
                  nullptr)
            << block;
    }
}

}  // namespace
