// The VM options, the library search list and the Path extension, from the
// configuration; PrepareSearchPaths and AssembleVmOptions are in jvm.h.
#pragma once

#include "framework/array.h"
#include "framework/kstring.h"
#include "framework/string_list.h"

class Launcher;

// Replaces %NAME% references in place; the text stays as it is when the
// expansion fails.
void ExpandEnvironment(String& text);
// The runtime folder, with its "\", of a jvm.dll below bin\<variant>\.
String RuntimeHomeOf(const String& jvmLibraryPath);

// Appends the space-separated tokens of value, each processed, to list.
void SplitVmParameters(Launcher& launcher, const String& value, StringList& list);
// Index of the space that ends the token starting at start, or the length;
// spaces between double quotes do not end it.
int FindOptionEnd(const String& text, int start);
// Drops the double quotes that delimit quoted sections; a lone quote stays.
void RemoveQuotes(String& token);
// Unquotes, resolves a percent size, takes an -Xss stack size, then appends.
void ProcessVmParameter(Launcher& launcher, String token, StringList& list);

// -Xms, -Xmx or -Xss ending in "p" or "P": a size in percent of physical memory.
bool IsPercentMemoryOption(const String& token);
// prefix percent[:minimumMb[:maximumMb]]p becomes prefix<size>K.
void ResolvePercentMemoryOption(String& token);
// The numbers after the first digit or ":", separated by ":"; the last
// character is never read. prefixLength is where the numbers start.
void ParseNumberList(const String& text, Array<unsigned int>& numbers, int& prefixLength);
// value is what follows "-Xss"; sets mainThreadStackSize only when it parses.
void ParseThreadStackSize(Launcher& launcher, const String& value);
