// The Wine suites' entry. Started with KINDLING_PROBE set, the program is a
// probe instead: it runs one piece of the launcher in a process of its own,
// with an exact command line or from a chosen folder, and writes what it saw.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include <gtest/gtest.h>

#include "config/configuration.h"
#include "launcher/command_line.h"
#include "launcher/launcher.h"

namespace {

// Each argument followed by a NUL.
std::string ProbeArguments() {
    Launcher launcher;
    ReadCommandLine(launcher);
    std::string report;
    for (int i = 0; i < launcher.arguments.Count(); ++i) {
        report.append(launcher.arguments[i].c_str(), static_cast<size_t>(launcher.arguments[i].Length()));
        report.push_back('\0');
    }
    return report;
}

// The configuration as read, and the current directory after the override.
std::string ProbeConfiguration() {
    Launcher launcher;
    String iniPath;
    GetIniPath(launcher, iniPath);
    bool read = ReadConfiguration(launcher);
    if (read && launcher.overrideWorkingDir) ApplyWorkingDirOverride(launcher);
    char directory[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    return std::string("read=") + (read ? "1" : "0") + "\nini=" + iniPath.c_str() + "\nmain=" +
           launcher.mainClass.c_str() + "\ncwd=" + directory + "\n";
}

int RunProbeMode(const char* mode) {
    std::string report;
    if (std::string(mode) == "arguments") {
        report = ProbeArguments();
    } else if (std::string(mode) == "configuration") {
        report = ProbeConfiguration();
    } else {
        return 2;
    }
    const char* out = getenv("KINDLING_PROBE_OUT");
    FILE* file = out ? fopen(out, "wb") : nullptr;
    if (!file) return 3;
    fwrite(report.data(), 1, report.size(), file);
    fclose(file);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* mode = getenv("KINDLING_PROBE")) return RunProbeMode(mode);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
