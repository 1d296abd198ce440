// Where a Java runtime and its jvm.dll are found: a java home is a folder
// ending in "\" with bin\java.dll and one of four jvm.dll variants below it.
#pragma once

#include "framework/array.h"
#include "framework/kstring.h"
#include "jre/java_version.h"

class Launcher;
enum class JvmType : int;

// The two registry keys under HKEY_LOCAL_MACHINE, one subkey per version.
constexpr const char* kJdkRegistryKey = "Software\\JavaSoft\\Java Development Kit\\";
constexpr const char* kJreRegistryKey = "Software\\JavaSoft\\Java Runtime Environment\\";

// One registered installation that passed every check.
struct RuntimeCandidate {
    JavaVersion version;
    String javaHome;
    bool hasServerVm = false;
    bool isPreferredKind = false;
};

// Full path of a jvm.dll below home for the JVM type, or empty; hasServerVm
// tells whether it is the server one.
String FindJvmLibrary(const String& home, JvmType type, bool* hasServerVm = nullptr);
// The executable's folder with its trailing "\".
bool ExecutableFolder(const Launcher& launcher, String& folder);
// A runtime the executable sits in, or beside as "jre\". Succeeds with an
// empty home when there is none: the variants are then tried relative to the
// current directory.
bool FindAdjacentRuntime(const Launcher& launcher, String& home);
// The best registered runtime within the configured bounds.
bool FindRegisteredRuntime(const Launcher& launcher, String& home);

void CollectRegistryCandidates(const Launcher& launcher, const char* keyPath, Array<RuntimeCandidate>& candidates);
bool ProbeRegistryInstallation(const Launcher& launcher, const char* keyPath, const String& name, String& home,
                               bool& hasServerVm);
void OrderCandidates(const Launcher& launcher, Array<RuntimeCandidate>& candidates);
// The java home of the first candidate matching the earliest preferred entry,
// else of the first candidate. The list must not be empty.
String ChooseCandidate(const Launcher& launcher, const Array<RuntimeCandidate>& candidates);
