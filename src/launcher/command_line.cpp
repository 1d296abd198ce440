#include "launcher/command_line.h"

#include "launcher/launcher.h"
#include "platform/platform.h"

namespace {

int SkipBlanks(const String& text, int position) {
    while (position < text.Length() && text[position] == ' ') ++position;
    return position;
}

}  // namespace

void ReadCommandLine(Launcher& launcher) {
    String line(os::CommandLine());
    line.Trim();
    SplitCommandLine(line, launcher.arguments);
    if (launcher.arguments.Count() > 0) launcher.arguments.RemoveAt(0);
}

void SplitCommandLine(const String& text, StringList& target) {
    int length = text.Length();
    int position = 0;
    while (position < length) {
        int end;
        if (text[position] == '"') {
            end = text.Find('"', position + 1);
            if (end < 0) {
                target.Append(text.Mid(position + 1));
                return;
            }
            target.Append(text.Mid(position + 1, end - position - 1));
            ++end;  // past the closing quote; what follows starts the next argument
        } else {
            end = text.Find(' ', position);
            if (end < 0) {
                target.Append(text.Mid(position));
                return;
            }
            target.Append(text.Mid(position, end - position));
        }
        position = SkipBlanks(text, end);
    }
}

int FindArgument(const StringList& list, const String& text) { return list.Find(text); }
