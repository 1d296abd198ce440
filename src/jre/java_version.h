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

// Replaces target with the pieces of text between separators, empty ones included.
void SplitPreferredVersions(const String& text, char separator, StringList& target);
