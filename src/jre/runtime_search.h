// Where a Java runtime and its jvm.dll are found.
#pragma once

#include "framework/kstring.h"

class Launcher;
enum class JvmType : int;

// Full path of a jvm.dll below home for the JVM type, or empty.
String FindJvmLibrary(const String& home, JvmType type);
// A runtime next to the executable; home may be empty (the current directory is tried).
bool FindAdjacentRuntime(const Launcher& launcher, String& home);
// The best registered runtime within the configured bounds.
bool FindRegisteredRuntime(const Launcher& launcher, String& home);
