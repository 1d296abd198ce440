// One launch per process against a real libjvm: the launcher's JNI code with
// the fake platform around it, reporting what it saw on standard output.
#pragma once

// Runs the named scenario and returns the process exit code to use.
int RunScenario(int argc, char** argv);
