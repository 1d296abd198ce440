#include "splash/splash.h"

#include "config/configuration.h"
#include "launcher/launcher.h"

bool StartSplash(Launcher& launcher) {
    String path;
    if (!GetIniPath(launcher, path)) return false;
    launcher.splashImage = ReadIniValue(path, ini::kDisplaySection, ini::kSplashScreen);
    launcher.splashShadow = ReadIniValue(path, ini::kDisplaySection, ini::kSplashScreenShadow);
    // Not built yet: the splash window. The splash is optional, so the launch
    // goes on without one.
    return true;
}

void CloseSplash(Launcher& launcher) {
    if (!launcher.splashWindow) return;
    // Not built yet: no splash window is ever created.
}
