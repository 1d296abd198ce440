// The program's GUI entry: everything else happens in RunLauncher.
#include <windows.h>

#include "launcher/launcher.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunLauncher(instance); }
