#include "jvm/jvm.h"

#include "launcher/launcher.h"

// Not built yet: VM hosting. Loading fails, so every launch that gets this far
// ends with -1; no VM is ever created.

void PrepareSearchPaths(Launcher&) {}

bool LoadJvmLibrary(Launcher&) { return false; }

bool AssembleVmOptions(Launcher&) { return false; }

int StartMainThread(Launcher&) { return 1; }

void DestroyVm(Launcher& launcher) {
    if (!launcher.javaVm) return;
}
