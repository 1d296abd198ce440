#include "jvm/java_strings.h"

#include <stdlib.h>

#include "platform/platform.h"

jstring NewJavaString(JNIEnv* env, const String& text) {
    int length = text.Length();
    jchar* chars = static_cast<jchar*>(malloc(sizeof(jchar) * static_cast<size_t>(length + 1)));
    if (!chars) return nullptr;
    int count = os::DecodeAnsi(text.c_str(), length, chars, length);
    jstring result = (count > 0 || length == 0) ? env->NewString(chars, count) : nullptr;
    free(chars);
    return result;
}

jobjectArray NewJavaStringArray(JNIEnv* env, const StringList& list) {
    jclass stringClass = env->FindClass("java/lang/String");
    if (!stringClass) return nullptr;
    jobjectArray array = env->NewObjectArray(list.Count(), stringClass, nullptr);
    if (!array) return nullptr;
    for (int i = 0; i < list.Count(); ++i) {
        jstring element = NewJavaString(env, list[i]);
        if (!element) return nullptr;
        env->SetObjectArrayElement(array, i, element);
        env->DeleteLocalRef(element);
    }
    return array;
}
