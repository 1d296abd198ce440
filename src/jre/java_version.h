// Java version numbers as they appear in the configuration and the registry.
#pragma once

#include "framework/kstring.h"
#include "framework/string_list.h"

struct JavaVersion {
    int parts[4] = {0, 0, 0, 0};
    int partCount = 0;  // how many parts the text itself supplied
};

// Reads up to four runs of decimal digits; parts the text does not give take
// `fill`. Fails, leaving all zero, when the text holds no digit.
bool ParseJavaVersion(const String& text, int fill, JavaVersion& version);

// -1, 0 or +1 over the four parts; partCount plays no part.
int CompareJavaVersions(const JavaVersion& a, const JavaVersion& b);
bool JavaVersionsEqual(const JavaVersion& a, const JavaVersion& b);
// Whether an installed runtime satisfies one preferred entry: equal, or equal
// over the parts the entry wrote out.
bool MatchesPreferredVersion(const JavaVersion& installed, const JavaVersion& preferred);
// All parts 0 or all parts 65535: a bound that admits everything on its side.
bool IsOpenVersionBound(const JavaVersion& version);
// Dotted text for messages; parts 0 and 65535 at the end are left out.
String FormatJavaVersion(const JavaVersion& version);

// Replaces target with the pieces of text between separators, empty ones included.
void SplitPreferredVersions(const String& text, char separator, StringList& target);
