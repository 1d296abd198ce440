// The launcher's own command-line rules: only a double quote at the start of
// an argument groups, there are no escapes, and only the blank separates.
#pragma once

#include "framework/kstring.h"
#include "framework/string_list.h"

class Launcher;

// Fills launcher.arguments from the process's command line, without the program name.
void ReadCommandLine(Launcher& launcher);
// Appends the arguments of text to target.
void SplitCommandLine(const String& text, StringList& target);
// Index of the first element equal to text (exact, case-sensitive), or -1.
int FindArgument(const StringList& list, const String& text);
