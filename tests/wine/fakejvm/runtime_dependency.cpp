// A DLL of the runtime's own that the double can depend on, as a real jvm.dll
// depends on the C runtime in the runtime's bin folder.
#include <windows.h>

extern "C" __declspec(dllexport) int RuntimeDependencyVersion() { return 1; }
