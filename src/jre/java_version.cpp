#include "jre/java_version.h"

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool ParseJavaVersion(const String& text, int fill, JavaVersion& version) {
    version = JavaVersion();
    int length = text.Length();
    int i = 0;
    while (i < length && !IsDigit(text[i])) ++i;
    if (i == length) return false;
    int count = 0;
    while (i < length && count < 4) {
        int part = 0;
        // Wraps like the 32-bit arithmetic it stands for; no version comes near it.
        for (; i < length && IsDigit(text[i]); ++i) {
            part = static_cast<int>(static_cast<unsigned>(part) * 10u + static_cast<unsigned>(text[i] - '0'));
        }
        version.parts[count++] = part;
        while (i < length && !IsDigit(text[i])) ++i;
    }
    version.partCount = count;
    for (int j = count; j < 4; ++j) version.parts[j] = fill;
    return true;
}

void SplitPreferredVersions(const String& text, char separator, StringList& target) {
    target.Clear();
    int start = 0;
    for (int found = text.Find(separator); found >= 0; found = text.Find(separator, start)) {
        target.Append(text.Mid(start, found - start));
        start = found + 1;
    }
    target.Append(text.Mid(start));
}
