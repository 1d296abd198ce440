#include "jvm/jvm.h"

#include "launcher/launcher.h"

// Not built yet: the search paths, the VM options and the Java main thread.
// Assembling the options fails, so a launch that has loaded its JVM library
// ends with -1; no VM is ever created.

void PrepareSearchPaths(Launcher&) {}

bool AssembleVmOptions(Launcher&) { return false; }

int StartMainThread(Launcher&) { return 1; }

void DestroyVm(Launcher& launcher) {
    if (!launcher.javaVm) return;
}
