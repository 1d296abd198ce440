// Launcher strings handed to Java.
#pragma once

#include "framework/kstring.h"
#include "framework/string_list.h"
#include "jvm/jni_api.h"

// A Java string with the text's characters, decoded from the ANSI code page
// here rather than by the VM's default charset (UTF-8 since Java 18, which
// would corrupt every non-ASCII byte). Null on failure.
jstring NewJavaString(JNIEnv* env, const String& text);
// A String[] with one element per entry; an empty list gives length 0. Null on failure.
jobjectArray NewJavaStringArray(JNIEnv* env, const StringList& list);
