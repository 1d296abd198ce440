// printf-style formatting with the platform's wvsprintf rules, over typed
// arguments: a placeholder never reads an argument of another kind, and a
// missing argument yields nothing instead of reading the stack.
#pragma once

#include "framework/kstring.h"

struct FormatArg {
    enum Kind { kText, kNumber };
    FormatArg(const String& text) : kind(kText), text(text.c_str()) {}  // NOLINT
    // It keeps only a pointer: a temporary string would be gone before use.
    FormatArg(String&& text) = delete;
    FormatArg(const char* text) : kind(kText), text(text ? text : "") {}  // NOLINT
    FormatArg(int number) : kind(kNumber), number(number) {}  // NOLINT
    Kind kind;
    const char* text = "";
    int number = 0;
};

// The formatted text holds at most this many characters; the rest is cut,
// as wvsprintf does with its 1,024-character buffer.
constexpr int kMaxFormattedLength = 1023;

String FormatText(const char* format, const FormatArg* args, int count);
