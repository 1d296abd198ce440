#include "launcher/messages.h"

namespace {
constexpr unsigned kErrorBoxStyle = 0x10;  // MB_ICONERROR | MB_OK
constexpr int kTextChunk = 256;
}  // namespace

String LoadTextResource(unsigned id) {
    String text;
    for (int size = kTextChunk;; size += kTextChunk) {
        char* buffer = text.GetBuffer(size);
        if (!buffer) return String();
        int length = os::LoadResourceText(id, buffer, size);
        if (length < 0) length = 0;
        text.ReleaseBuffer(length);
        // A text that fills the buffer may have been cut: try a bigger one.
        if (size - length >= 3) return text;
    }
}

void ShowErrorText(const String& text, os::Handle owner) {
    os::ShowMessageBox(owner, text.c_str(), nullptr, kErrorBoxStyle);
}

void ShowErrorFormat1(os::Handle owner, const String& format, const String& argument) {
    FormatArg args[] = {argument};
    ShowErrorText(FormatText(format.c_str(), args, 1), owner);
}

void ShowErrorFormat2(os::Handle owner, const String& format, const FormatArg& first,
                      const FormatArg& second) {
    FormatArg args[] = {first, second};
    ShowErrorText(FormatText(format.c_str(), args, 2), owner);
}

void ShowErrorCode(os::Handle owner, unsigned frameId, unsigned descriptionId, int code) {
    String description = LoadTextResource(descriptionId);
    ShowErrorFormat2(owner, LoadTextResource(frameId), description, code);
}

String FormatTextResource(unsigned id, const FormatArg* args, int count) {
    return FormatText(LoadTextResource(id).c_str(), args, count);
}
