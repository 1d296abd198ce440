#include <string.h>

#include "jvm/exception_report.h"
#include "jvm/java_strings.h"
#include "jvm/jni_api.h"
#include "jvm/jvm.h"
#include "launcher/launcher.h"
#include "launcher/messages.h"
#include "platform/platform.h"
#include "splash/splash.h"

namespace {

constexpr const char* kMainSignature = "([Ljava/lang/String;)V";

unsigned long MainThreadRoutine(void* launcher) { return MainThreadBody(*static_cast<Launcher*>(launcher)); }

// Everything from the class name to the end of main; the caller detaches.
bool RunMainClass(Launcher& launcher) {
    JNIEnv* env = launcher.jniEnv;
    jstring name = NewJavaString(env, launcher.mainClass);
    if (!name) {
        ShowErrorFormat1(launcher.ownerWindow, LoadTextResource(IDS_MAIN_CLASS_LOAD_FAILED), launcher.mainClass);
        return false;
    }
    const char* utf = env->GetStringUTFChars(name, nullptr);
    if (!utf) {
        env->ExceptionDescribe();
        return false;
    }
    jclass mainClass = env->FindClass(utf);
    String slashedName(utf);
    env->ReleaseStringUTFChars(name, utf);
    if (!mainClass) {
        env->ExceptionDescribe();
        ShowErrorFormat1(launcher.ownerWindow, LoadTextResource(IDS_MAIN_CLASS_NOT_FOUND), slashedName);
        return false;
    }
    jmethodID main = env->GetStaticMethodID(mainClass, "main", kMainSignature);
    if (!main) {
        if (env->ExceptionOccurred()) {
            env->ExceptionDescribe();
        } else {
            ShowErrorText(LoadTextResource(IDS_NO_MAIN_METHOD), launcher.ownerWindow);
        }
        return false;
    }
    jobjectArray args = NewJavaStringArray(env, launcher.arguments);
    if (!args) {
        env->ExceptionDescribe();
        return false;
    }
    env->CallStaticVoidMethod(mainClass, main, args);
    jthrowable thrown = env->ExceptionOccurred();
    if (thrown) {
        env->ExceptionDescribe();
        // The report must not hide behind the splash window.
        CloseSplash(launcher);
        if (launcher.failureCheck && ReportUncaughtException(launcher, thrown, env)) CallSystemExit(launcher);
    }
    return true;
}

}  // namespace

int StartMainThread(Launcher& launcher) {
    if (launcher.mainThreadStackSize == 0) launcher.mainThreadStackSize = DefaultJavaStackSize(launcher);
    os::Handle thread = os::StartThread(launcher.mainThreadStackSize, MainThreadRoutine, &launcher);
    if (!thread) return static_cast<int>(MainThreadBody(launcher));
    return static_cast<int>(os::JoinThread(thread));
}

unsigned DefaultJavaStackSize(const Launcher& launcher) {
    JavaVm11InitArgs args;
    memset(&args, 0, sizeof args);
    args.version = JNI_VERSION_1_1;
    // HotSpot answers JNI_ERR for version 1.1 but fills in the size all the same.
    reinterpret_cast<DefaultInitArgsFunction>(launcher.defaultInitArgsEntry)(&args);
    return args.javaStackSize > 0 ? static_cast<unsigned>(args.javaStackSize) : 0;
}

unsigned long MainThreadBody(Launcher& launcher) {
    if (!CreateVm(launcher)) return 1;
    return InvokeMain(launcher) ? 0 : 1;
}

bool InvokeMain(Launcher& launcher) {
    bool ran = RunMainClass(launcher);
    // Detach on every path: a creating thread that ends attached makes
    // DestroyJavaVM wait forever in the teardown.
    bool detached = launcher.javaVm->DetachCurrentThread() == JNI_OK;
    return ran && detached;
}

void CallSystemExit(Launcher& launcher) {
    JNIEnv* env = launcher.jniEnv;
    jclass system = env->FindClass("java/lang/System");
    jmethodID exit = system ? env->GetStaticMethodID(system, "exit", "(I)V") : nullptr;
    if (!exit) return;
    env->CallStaticVoidMethod(system, exit, static_cast<jint>(-1));
    // Only a refused exit comes back here.
    if (env->ExceptionOccurred()) env->ExceptionDescribe();
}
