#include "jre/runtime_search.h"

#include "launcher/launcher.h"

// Not built yet: the runtime search. Every source reports "nothing found", so
// the launch reaches the missing-runtime dialog.

String FindJvmLibrary(const String&, JvmType) { return String(); }

bool FindAdjacentRuntime(const Launcher&, String&) { return false; }

bool FindRegisteredRuntime(const Launcher&, String&) { return false; }
