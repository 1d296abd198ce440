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
// The Java main thread: creates the VM, runs main; 0 for success, 1 for failure.
unsigned long MainThreadBody(Launcher& launcher);
// The stack size the VM reports for Java threads, or 0.
unsigned DefaultJavaStackSize(const Launcher& launcher);
// Creates the VM with vmOptions and redirects the standard streams; false after its message.
bool CreateVm(Launcher& launcher);
// Finds the main class and calls main with the arguments, then detaches.
bool InvokeMain(Launcher& launcher);
// System.exit(-1): the VM ends the process.
void CallSystemExit(Launcher& launcher);
// Waits for the Java program's non-daemon threads, then destroys the VM.
void DestroyVm(Launcher& launcher);
