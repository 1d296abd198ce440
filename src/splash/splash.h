// The splash picture shown from the start of the run until main has ended.
#pragma once

class Launcher;

// False only when the configuration path cannot be formed.
bool StartSplash(Launcher& launcher);
// Returns once the splash thread has ended; nothing happens without a splash.
void CloseSplash(Launcher& launcher);
