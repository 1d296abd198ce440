// Hosting the Java VM: search paths, the JVM library, options, the main thread.
#pragma once

#include "framework/kstring.h"

class Launcher;

void PrepareSearchPaths(Launcher& launcher);
// False after its message: the library cannot be loaded or lacks its exports.
bool LoadJvmLibrary(Launcher& launcher);
// KP_JVM_PATH and KP_JVM_HOME for the Java program and the processes it starts.
void PublishRuntimeLocation(const Launcher& launcher);
// The path without up to `count` trailing components.
String StripPathComponents(const String& path, int count);
// False after its message, or without one when the configuration path cannot be formed.
bool AssembleVmOptions(Launcher& launcher);
// Runs the Java program on its own thread; returns that thread's exit code.
int StartMainThread(Launcher& launcher);
// Waits for the Java program's non-daemon threads, then destroys the VM.
void DestroyVm(Launcher& launcher);
