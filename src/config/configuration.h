// The INI file beside the executable: where it is, how a value is read, and
// the keys the prepare phase takes into the launcher.
#pragma once

#include "framework/kstring.h"

class Launcher;

// Sections and keys, spelled as in the file.
namespace ini {
constexpr const char* kRuntimeSection = "Java Runtime Environment";
constexpr const char* kApplicationSection = "Application";
constexpr const char* kDisplaySection = "Display";
constexpr const char* kClassPathSection = "Class Path";

constexpr const char* kMinimumVersion = "Minimum Version";
constexpr const char* kMaximumVersion = "Maximum Version";
constexpr const char* kPreferredVersions = "Preferred versions";
constexpr const char* kJrePath = "JRE Path";
constexpr const char* kJvmType = "JVM Type";
constexpr const char* kJvmSource = "JVM Source";
constexpr const char* kMainClass = "Main Class";
constexpr const char* kSystemPath = "System Path";
constexpr const char* kLibraryPath = "Library Path";
constexpr const char* kVmParameters = "Virtual Machine Parameters";
constexpr const char* kClassPath = "Class Path";
constexpr const char* kApplicationType = "Application Type";
constexpr const char* kSingleInstance = "Single Instance";
constexpr const char* kFailureCheck = "Failure Check";
constexpr const char* kOverrideWorkingDir = "Override WorkingDir";
constexpr const char* kOutputFile = "Output File";
constexpr const char* kErrorFile = "Error File";
constexpr const char* kSplashScreen = "Splash Screen";
constexpr const char* kSplashScreenShadow = "Splash Screen Shadow";
}  // namespace ini

// Full path of the executable; on failure box 202 with 208 has been shown.
bool GetModulePath(const Launcher& launcher, String& path);
// The configuration file's path: the executable's with its extension replaced
// by "ini", or ".ini" appended when the file name has none.
bool GetIniPath(const Launcher& launcher, String& path);
String IniPathFor(const String& modulePath);
// A value of any length; empty when the file, section or key is missing.
String ReadIniValue(const String& path, const char* section, const char* key);
// Fills the launcher's configuration fields; false ends the launch.
bool ReadConfiguration(Launcher& launcher);
