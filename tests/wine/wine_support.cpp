#include "wine_support.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdlib.h>

namespace {

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

}  // namespace

std::string KindlingExe() {
    const char* dist = getenv("KINDLING_DIST");
    std::string path = dist ? dist : "";
    // A Unix path reaches Wine programs through drive Z:.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path + "\\kindling.exe";
}

std::string ThisExe() {
    char buffer[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return buffer;
}

TempFolder::TempFolder(const std::string& nameSuffix) {
    static int counter = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::ostringstream name;
    name << temp << "kt" << GetCurrentProcessId() << "_" << ++counter << nameSuffix;
    path_ = name.str();
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void WriteFileBytes(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool CopyProgram(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

uidriver::RunResult RunProgram(const std::string& exe, const std::string& commandLine,
                               const std::string& workingDir, std::vector<uidriver::Action> replies) {
    uidriver::RunOptions options;
    options.program = exe;
    options.commandLine = commandLine;
    options.workingDir = workingDir;
    options.replies = std::move(replies);
    options.timeoutMs = 30000;
    return uidriver::Run(options);
}

std::string RunProbe(const std::string& exe, const std::string& mode, const std::string& commandLine,
                     const std::string& workingDir, uidriver::RunResult* result) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::ostringstream out;
    out << temp << "probe" << GetCurrentProcessId() << ".out";
    DeleteFileA(out.str().c_str());
    SetEnvironmentVariableA("KINDLING_PROBE", mode.c_str());
    SetEnvironmentVariableA("KINDLING_PROBE_OUT", out.str().c_str());
    uidriver::RunResult run = RunProgram(exe, commandLine, workingDir);
    SetEnvironmentVariableA("KINDLING_PROBE", nullptr);
    SetEnvironmentVariableA("KINDLING_PROBE_OUT", nullptr);
    if (result) *result = run;
    std::string report = ReadFileBytes(out.str());
    DeleteFileA(out.str().c_str());
    return report;
}
