// System.out and System.err sent to the configured files.
#pragma once

#include "framework/kstring.h"

class Launcher;

// Output File and Error File, each independently; failures only trace.
void RedirectStandardStreams(Launcher& launcher);
// setter: "setOut" or "setErr". The file is created or emptied.
bool RedirectStream(Launcher& launcher, const String& fileName, const char* setter);
