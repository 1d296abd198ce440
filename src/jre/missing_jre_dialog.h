// The "JRE Not Found" dialog, shown when no runtime source yields a jvm.dll.
#pragma once

#include "framework/kstring.h"
#include "platform/platform.h"

class Launcher;
enum class JvmType : int;

// The required-version phrase of the missing-runtime message.
String RequiredVersionText(const Launcher& launcher);

// Shows the dialog modally; returns 1 (OK) with the chosen folder, ending in
// "\", and the jvm.dll found in it, or another value when left without OK.
int ShowMissingJreDialog(os::Handle owner, const String& message, JvmType type,
                         String& chosenFolder, String& jvmLibraryPath);
