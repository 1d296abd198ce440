// Every failure reaches the user as a modal error box with a text of the
// executable's string table.
#pragma once

#include "framework/format.h"
#include "framework/kstring.h"
#include "platform/platform.h"
#include "resource.h"

// The text of that number, whatever its length; empty when there is none.
String LoadTextResource(unsigned id);

// The error box: error icon, one OK button, the platform's default caption.
void ShowErrorText(const String& text, os::Handle owner);
void ShowErrorFormat1(os::Handle owner, const String& format, const String& argument);
void ShowErrorFormat2(os::Handle owner, const String& format, const FormatArg& first,
                      const FormatArg& second);

// A frame text filled with a description text and an error or result code,
// as in "Windows exception: %s (errno = %d).\n".
void ShowErrorCode(os::Handle owner, unsigned frameId, unsigned descriptionId, int code);

// A string-table text with its placeholders filled.
String FormatTextResource(unsigned id, const FormatArg* args, int count);
