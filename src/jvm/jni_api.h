// The JNI as the launcher uses it: the JDK's jni.h, plus the JNI 1.1
// initialisation record that newer jni.h files no longer declare.
#pragma once

#include <jni.h>
#include <stdarg.h>
#include <stdio.h>

// Declared field by field: its layout differs between 32- and 64-bit builds.
struct JavaVm11InitArgs {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
    jint minHeapSize;
    jint maxHeapSize;
    jint verifyMode;
    char* classpath;
    jint(JNICALL* vfprintf)(FILE* fp, const char* format, va_list args);
    void(JNICALL* exit)(jint code);
    void(JNICALL* abort)(void);
    jint enableClassGC;
    jint enableVerboseGC;
    jint disableAsyncGC;
    jint verbose;
    jboolean debugging;
    jint debugPort;
};

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM** vm, void** env, void* args);
using DefaultInitArgsFunction = jint(JNICALL*)(void* args);
