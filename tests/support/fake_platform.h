// An in-memory operating system for the portable core: INI files, a string
// table, a module path, and a record of every box and directory change.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

struct ShownBox {
    os::Handle owner;
    std::string text;
    bool hasCaption;
    unsigned style;
};

struct ProfileWrite {
    std::string section, key, value, file;
};

struct FakeSystem {
    FakeSystem();  // with the product's string table
    bool codePage932 = false;  // lead bytes 0x81-0x9F and 0xE0-0xFC
    std::string commandLine = "run.exe";
    std::string modulePath = "C:\\Apps\\Tool\\run.exe";
    unsigned long modulePathError = 0;  // non-zero: the module path cannot be had
    // file -> section -> key -> value
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> iniFiles;
    std::map<unsigned, std::string> texts;  // the string table; tests may change it
    int moduleInitResult = 0;
    os::Handle activeWindow = nullptr;

    // The missing-runtime dialog: the folder the user picks (none when empty)
    // and how the dialog ends.
    std::string dialogPick;
    int dialogResult = 2;
    std::vector<std::string> dialogMessages;
    os::Handle dialogOwner = nullptr;
    // The uncaught-exception report: its texts and how it ends.
    std::vector<std::u16string> exceptionReports;
    int exceptionDialogResult = 1;

    std::set<std::string> files;  // every path PathExists knows, folders included
    struct RegistryKey {
        std::vector<std::string> subkeys;  // in enumeration order
        std::map<std::string, std::string> values;
    };
    std::map<std::string, RegistryKey> registry;  // key path below HKEY_LOCAL_MACHINE
    struct Library {
        unsigned long loadError = 0;  // non-zero: the load fails with it
        std::set<std::string> exports;
    };
    std::map<std::string, Library> libraries;
    std::map<std::string, std::string> environment;  // also what %NAME% expands to
    unsigned long long totalPhysicalMemory = 2147483648ULL;
    bool threadStartFails = false;
    std::vector<unsigned> threadStackSizes;
    std::vector<std::string> loadedLibraries;
    std::vector<std::string> dependencyFolders;

    std::vector<ShownBox> boxes;
    std::vector<std::string> currentDirChanges;
    std::vector<ProfileWrite> profileWrites;
    std::vector<std::string> profileReads;  // "section/key" in call order, one per call
    std::vector<unsigned long> profileReadSizes;
    bool userInterfacePrepared = false;
    bool moduleTerminated = false;

    // Registers an installation: subkey `version` under `key`, with JavaHome.
    void Register(const std::string& key, const std::string& version, const std::string& javaHome);
    // The INI file the launcher at modulePath reads.
    std::map<std::string, std::map<std::string, std::string>>& Ini();
};

// The fake every os:: call goes to; reset before each test.
FakeSystem& Fake();
void ResetFake();

#include <gtest/gtest.h>

// Base of every test that runs portable code against the fake.
class WithFakeSystem : public ::testing::Test {
protected:
    void SetUp() override { ResetFake(); }
    FakeSystem& fake = Fake();
};
