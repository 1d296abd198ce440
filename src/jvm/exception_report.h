// The "Java Exception" report of an uncaught exception of main.
#pragma once

#include "framework/array.h"
#include "jvm/jni_api.h"
#include "platform/platform.h"

class Launcher;

// What printStackTrace writes, as UTF-16; false (and empty) on any failure.
bool StackTraceText(JNIEnv* env, jthrowable throwable, Array<jchar>& text);

// True when the application is to be stopped: anything but Ignore.
bool ReportUncaughtException(Launcher& launcher, jthrowable throwable, JNIEnv* env);

class JavaExceptionDialog {
public:
    static constexpr int kIgnore = 1;
    static constexpr int kStop = 2;

    JavaExceptionDialog(const jchar* text, int length) : reportText(text), reportLength(length) {}
    // The dialog's end code; a dialog that cannot be shown gives another value.
    int ShowModal(os::Handle owner);

    const jchar* reportText;
    int reportLength;
};
