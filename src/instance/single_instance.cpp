#include "instance/single_instance.h"

#include "config/configuration.h"
#include "launcher/launcher.h"

bool SetUpSingleInstance(Launcher& launcher) {
    String path;
    if (!GetIniPath(launcher, path)) return false;
    if (ReadIniValue(path, ini::kApplicationSection, ini::kApplicationType) == "service") return true;
    launcher.singleInstance = ReadIniValue(path, ini::kApplicationSection, ini::kSingleInstance) == "yes";
    // Not built yet: the shared block and its listener. Until they are, the
    // coordination is dropped the way a failed set-up drops it, and every
    // start runs as a first instance.
    launcher.singleInstance = false;
    return true;
}

int AwaitInstanceAnswer(Launcher&) {
    // Not built yet; unreachable while SetUpSingleInstance never makes a later start.
    return -1;
}

void StopInstanceListener(Launcher& launcher) {
    if (!launcher.singleInstance) return;
    // Not built yet: nothing is ever started to be stopped here.
}
