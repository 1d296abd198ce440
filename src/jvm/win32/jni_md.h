/* The machine-dependent JNI types and calling convention of Windows, for the
   JDK's own jni.h. */
#ifndef KINDLING_JNI_MD_H
#define KINDLING_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
