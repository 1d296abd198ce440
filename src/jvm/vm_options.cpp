#include "jvm/vm_options.h"

#include "config/configuration.h"
#include "framework/format.h"
#include "jre/runtime_search.h"
#include "jvm/jvm.h"
#include "launcher/launcher.h"
#include "launcher/messages.h"
#include "platform/platform.h"

namespace {

constexpr unsigned int kKilobyte = 1024;
constexpr unsigned int kMegabyte = 1024 * 1024;
constexpr unsigned int kGigabyte = 1024 * 1024 * 1024;

// Where the character starting at index ends, in whole characters of the
// code page, so that a trail byte is never read as "p", "k" or a digit.
int CharEnd(const String& text, int index) {
    int step = os::CharSize(text.c_str() + index);
    if (step < 1) step = 1;
    return index + step < text.Length() ? index + step : text.Length();
}

// Start of the last character, or -1 when there is none.
int LastCharStart(const String& text) {
    int last = -1;
    for (int i = 0; i < text.Length(); i = CharEnd(text, i)) last = i;
    return last;
}

// The single-byte last character, or 0 when it is double-byte or missing.
char LastChar(const String& text) {
    int last = LastCharStart(text);
    return last >= 0 && CharEnd(text, last) == last + 1 ? text[last] : '\0';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The numbers of text, read up to walkEnd; the first digit or ":" may lie
// anywhere in text.
void ParseNumbers(const String& text, int walkEnd, Array<unsigned int>& numbers, int& prefixLength) {
    numbers.Clear();
    prefixLength = text.Length();
    for (int i = 0; i < text.Length(); i = CharEnd(text, i)) {
        if (IsDigit(text[i]) || text[i] == ':') {
            prefixLength = i;
            break;
        }
    }
    if (prefixLength == text.Length() || !numbers.Append(0)) return;
    for (int i = prefixLength; i < walkEnd; i = CharEnd(text, i)) {
        unsigned int& current = numbers[numbers.Count() - 1];
        if (IsDigit(text[i])) {
            current = current * 10 + static_cast<unsigned int>(text[i] - '0');
        } else if (text[i] == ':' && !numbers.Append(0)) {
            return;
        }
    }
}

unsigned int NumberAt(const Array<unsigned int>& numbers, int index) {
    return index < numbers.Count() ? numbers[index] : 0;
}

}  // namespace

void ExpandEnvironment(String& text) {
    String expanded;
    if (os::ExpandEnvironmentText(text.c_str(), expanded)) text = expanded;
}

String RuntimeHomeOf(const String& jvmLibraryPath) {
    String folder = StripPathComponents(jvmLibraryPath, 2);
    return folder.Left(folder.ReverseFind('\\') + 1);
}

void PrepareSearchPaths(Launcher& launcher) {
    if (!launcher.libraryPath.IsEmpty()) {
        // Its failure has been shown; the list then goes on without the folder.
        String folder;
        ExecutableFolder(launcher, folder);
        String list = launcher.libraryPath;
        list += ";";
        list += folder;
        list += ";.;%Path%;";
        list += RuntimeHomeOf(launcher.jvmLibraryPath);
        list += "lib";
        // %Path% is taken before the System Path below changes it.
        ExpandEnvironment(list);
        launcher.vmOptions.Append(String("-Djava.library.path=") + list);
    }
    if (!launcher.systemPath.IsEmpty()) {
        String path = String("%Path%;") + launcher.systemPath;
        ExpandEnvironment(path);
        os::SetEnvironment("Path", path.c_str());
    }
}

bool AssembleVmOptions(Launcher& launcher) {
    String iniPath;
    if (!GetIniPath(launcher, iniPath)) return false;
    String classPath = ReadIniValue(iniPath, ini::kClassPathSection, ini::kClassPath);
    if (classPath.IsEmpty()) {
        ShowErrorText(LoadTextResource(IDS_NO_CLASS_PATH), launcher.ownerWindow);
        return false;
    }
    StringList options;
    options.Append(String("-Djava.class.path=") + classPath);
    SplitVmParameters(launcher, ReadIniValue(iniPath, ini::kRuntimeSection, ini::kVmParameters), options);
    // Expanded only now, so that a value with spaces stays inside its option.
    for (int i = 0; i < options.Count(); ++i) {
        String option = options[i];
        ExpandEnvironment(option);
        launcher.vmOptions.Append(option);
    }
    launcher.outputFile = ReadIniValue(iniPath, ini::kApplicationSection, ini::kOutputFile);
    launcher.errorFile = ReadIniValue(iniPath, ini::kApplicationSection, ini::kErrorFile);
    return true;
}

void SplitVmParameters(Launcher& launcher, const String& value, StringList& list) {
    int length = value.Length();
    // Leading spaces too: an empty option would make the VM refuse to start.
    int start = 0;
    while (start < length && value[start] == ' ') ++start;
    while (start < length) {
        int end = FindOptionEnd(value, start);
        ProcessVmParameter(launcher, value.Mid(start, end - start), list);
        start = end;
        while (start < length && value[start] == ' ') ++start;
    }
}

int FindOptionEnd(const String& text, int start) {
    int space = text.Find(' ', start);
    int quote = text.Find('"', start);
    while (quote >= 0) {
        if (space < 0) return text.Length();
        if (space < quote) return space;
        int close = text.Find('"', quote + 1);
        if (close < 0) return space;  // an unmatched quote protects nothing
        if (text[close + 1] == '"') ++close;
        quote = text.Find('"', close + 1);
        space = text.Find(' ', close + 1);
    }
    return space >= 0 ? space : text.Length();
}

void RemoveQuotes(String& token) {
    int open = token.Find('"');
    while (open >= 0) {
        int close = token.Find('"', open + 1);
        if (close < 0) return;
        // Of a doubled quote the first stays as a literal, the second closes.
        if (token[close + 1] == '"') ++close;
        int inner = close - open - 1;
        String unquoted = token.Left(open);
        unquoted += token.Mid(open + 1, inner);
        unquoted += token.Mid(close + 1);
        token = unquoted;
        open = token.Find('"', open + inner);
    }
}

void ProcessVmParameter(Launcher& launcher, String token, StringList& list) {
    RemoveQuotes(token);
    if (IsPercentMemoryOption(token)) ResolvePercentMemoryOption(token);
    // The option still goes to the VM, which sizes its own threads with it.
    if (token.Left(4) == "-Xss") ParseThreadStackSize(launcher, token.Mid(4));
    list.Append(token);
}

bool IsPercentMemoryOption(const String& token) {
    String option = token.Left(4);
    if (option != "-Xms" && option != "-Xmx" && option != "-Xss") return false;
    char last = LastChar(token);
    return last == 'p' || last == 'P';
}

void ParseNumberList(const String& text, Array<unsigned int>& numbers, int& prefixLength) {
    ParseNumbers(text, LastCharStart(text), numbers, prefixLength);
}

void ResolvePercentMemoryOption(String& token) {
    Array<unsigned int> numbers;
    int prefixLength = 0;
    ParseNumberList(token, numbers, prefixLength);
    unsigned int percent = NumberAt(numbers, 0);
    unsigned int minimumMb = NumberAt(numbers, 1);
    unsigned int maximumMb = NumberAt(numbers, 2);
    unsigned int totalKb = static_cast<unsigned int>(os::TotalPhysicalMemory() >> 10);
    // Each step rounded to a double: x87 code would otherwise keep extra bits
    // and truncate some sizes to the next kilobyte up.
    volatile double fraction = percent * 0.01;
    volatile double size = fraction * totalKb;
    // At most 2^32 * 2^32 / 100, well inside a 64-bit integer; the low 32 bits count.
    unsigned int sizeKb = static_cast<unsigned int>(static_cast<long long>(size));
    if (maximumMb != 0 && sizeKb > maximumMb * kKilobyte) sizeKb = maximumMb * kKilobyte;
    if (minimumMb * kKilobyte > sizeKb) sizeKb = minimumMb * kKilobyte;
    // Appended rather than formatted whole, so a long prefix is never cut.
    String resolved = token.Left(prefixLength);
    FormatArg number[] = {static_cast<int>(sizeKb)};
    resolved += FormatText("%dK", number, 1);
    token = resolved;
}

void ParseThreadStackSize(Launcher& launcher, const String& value) {
    unsigned int unit = 1;
    switch (LastChar(value)) {
        case 'G': case 'g': unit = kGigabyte; break;
        case 'K': case 'k': unit = kKilobyte; break;
        case 'M': case 'm': unit = kMegabyte; break;
        default: break;
    }
    String digits = unit == 1 ? value : value.Left(LastCharStart(value));
    Array<unsigned int> numbers;
    int prefixLength = 0;
    ParseNumbers(digits, digits.Length(), numbers, prefixLength);
    if (prefixLength == 0 && numbers.Count() == 1) launcher.mainThreadStackSize = numbers[0] * unit;
}
