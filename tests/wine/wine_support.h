// Shared pieces of the suites that run under Wine: where the product is,
// scratch folders, and runs of a program through the UI driver.
#pragma once

#include <string>
#include <vector>

#include "uidriver.h"

constexpr unsigned long kExitMinusOne = 0xFFFFFFFFUL;

// Windows path of the kindling.exe under test (from KINDLING_DIST).
std::string KindlingExe();
// Windows path of this test program, which doubles as a probe (wine_main.cpp).
std::string ThisExe();

// A fresh folder under the temporary folder, removed with its content.
class TempFolder {
public:
    explicit TempFolder(const std::string& nameSuffix = "");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void WriteFileBytes(const std::string& path, const std::string& content);
std::string ReadFileBytes(const std::string& path);
bool CopyProgram(const std::string& from, const std::string& to);

uidriver::RunResult RunProgram(const std::string& exe, const std::string& commandLine,
                               const std::string& workingDir = "",
                               std::vector<uidriver::Action> replies = {});

// The probe: this program started in one of its probe modes, its report read back.
std::string RunProbe(const std::string& exe, const std::string& mode, const std::string& commandLine,
                     const std::string& workingDir, uidriver::RunResult* result = nullptr);
