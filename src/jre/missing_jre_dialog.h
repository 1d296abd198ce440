// The "JRE Not Found" dialog, shown when no runtime source yields a jvm.dll.
#pragma once

#include "framework/kstring.h"
#include "platform/platform.h"

class Launcher;
enum class JvmType : int;

// The required-version phrase of the missing-runtime message.
String RequiredVersionText(const Launcher& launcher);

class MissingJreDialog {
public:
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    MissingJreDialog(const String& message, JvmType type) : jvmType(type), message(message) {}

    // Shows the dialog modally; kOk, kCancel, or another value when it
    // cannot be shown, which counts as Cancel.
    int ShowModal(os::Handle owner);

    // What a folder picked with Browse does: it becomes chosenFolder (ending
    // in "\") and is searched for a jvm.dll. True when OK is to be enabled.
    bool AcceptPickedFolder(const String& folder);

    JvmType jvmType;
    String message;
    String chosenFolder;
    String jvmLibraryPath;
};
