#include "jvm/streams.h"

#include "jvm/java_strings.h"
#include "jvm/jni_api.h"
#include "launcher/launcher.h"

namespace {

void RedirectOrTrace(Launcher& launcher, const String& fileName, const char* setter) {
    if (fileName.IsEmpty()) return;
    if (!RedirectStream(launcher, fileName, setter) && launcher.jniEnv->ExceptionOccurred()) {
        launcher.jniEnv->ExceptionDescribe();
    }
}

}  // namespace

void RedirectStandardStreams(Launcher& launcher) {
    RedirectOrTrace(launcher, launcher.outputFile, "setOut");
    RedirectOrTrace(launcher, launcher.errorFile, "setErr");
}

bool RedirectStream(Launcher& launcher, const String& fileName, const char* setter) {
    JNIEnv* env = launcher.jniEnv;
    jstring name = NewJavaString(env, fileName);
    if (!name) return false;
    jclass fileClass = env->FindClass("java/io/FileOutputStream");
    jmethodID fileInit = fileClass ? env->GetMethodID(fileClass, "<init>", "(Ljava/lang/String;)V") : nullptr;
    jobject fileStream = fileInit ? env->NewObject(fileClass, fileInit, name) : nullptr;
    if (!fileStream) return false;
    jclass printClass = env->FindClass("java/io/PrintStream");
    jmethodID printInit = printClass ? env->GetMethodID(printClass, "<init>", "(Ljava/io/OutputStream;)V") : nullptr;
    jobject printStream = printInit ? env->NewObject(printClass, printInit, fileStream) : nullptr;
    if (!printStream) return false;
    jclass system = env->FindClass("java/lang/System");
    jmethodID set = system ? env->GetStaticMethodID(system, setter, "(Ljava/io/PrintStream;)V") : nullptr;
    if (!set) return false;
    env->CallStaticVoidMethod(system, set, printStream);
    if (env->ExceptionOccurred()) {
        env->ExceptionDescribe();
        return false;
    }
    return true;
}
