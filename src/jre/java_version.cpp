#include "jre/java_version.h"

namespace {
constexpr int kOpenUpperPart = 65535;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsInsignificant(int part) { return part == 0 || part == kOpenUpperPart; }

void AppendNumber(String& text, int number) {
    char digits[12];
    int count = 0;
    unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (number < 0) text += '-';
    while (count > 0) text += digits[--count];
}
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

int CompareJavaVersions(const JavaVersion& a, const JavaVersion& b) {
    for (int i = 0; i < 4; ++i) {
        if (a.parts[i] < b.parts[i]) return -1;
        if (a.parts[i] > b.parts[i]) return 1;
    }
    return 0;
}

bool JavaVersionsEqual(const JavaVersion& a, const JavaVersion& b) { return CompareJavaVersions(a, b) == 0; }

bool MatchesPreferredVersion(const JavaVersion& installed, const JavaVersion& preferred) {
    if (JavaVersionsEqual(installed, preferred)) return true;
    if (preferred.partCount == 0 || preferred.partCount > installed.partCount) return false;
    for (int i = 0; i < preferred.partCount; ++i) {
        if (installed.parts[i] != preferred.parts[i]) return false;
    }
    return true;
}

bool IsOpenVersionBound(const JavaVersion& version) {
    bool allZero = true;
    bool allOpenUpper = true;
    for (int part : version.parts) {
        allZero = allZero && part == 0;
        allOpenUpper = allOpenUpper && part == kOpenUpperPart;
    }
    return allZero || allOpenUpper;
}

String FormatJavaVersion(const JavaVersion& version) {
    int last = 3;
    while (last >= 0 && IsInsignificant(version.parts[last])) --last;
    if (last < 0) return "0.0.0.0";
    String text;
    for (int i = 0; i <= last; ++i) {
        if (i) text += '.';
        AppendNumber(text, version.parts[i]);
    }
    return text;
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
