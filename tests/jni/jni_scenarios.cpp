#include "jni_scenarios.h"

#include <dlfcn.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "jvm/exception_report.h"
#include "jvm/java_strings.h"
#include "jvm/jni_api.h"
#include "jvm/jvm.h"
#include "launcher/launcher.h"
#include "support/fake_platform.h"
#include "support/utf8.h"

namespace {

void Report() {
    for (const ShownBox& box : Fake().boxes) printf("box=%s|\n", box.text.c_str());
    for (const auto& trace : Fake().exceptionReports) printf("report=%s|\n", EncodeUtf8(trace).c_str());
    fflush(stdout);
}

void* MainThread(void* launcher) {
    unsigned long code = MainThreadBody(*static_cast<Launcher*>(launcher));
    return reinterpret_cast<void*>(static_cast<uintptr_t>(code));
}

// Runs the Java main thread on a thread of its own, as the launcher does.
unsigned long RunMainThread(Launcher& launcher) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 8 << 20);
    pthread_t thread;
    pthread_create(&thread, &attributes, MainThread, &launcher);
    void* result = nullptr;
    pthread_join(thread, &result);
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(result));
}

void* CreateOnly(void* launcher) {
    CreateVm(*static_cast<Launcher*>(launcher));
    return nullptr;  // ends still attached
}

void* AttachedCall(void* launcher) {
    auto& l = *static_cast<Launcher*>(launcher);
    JNIEnv* env = nullptr;
    if (l.javaVm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return nullptr;
    StringList arguments;
    arguments.Append("a");
    arguments.Append("b");
    jclass type = env->FindClass("fixtures/Secondary");
    jmethodID method = type ? env->GetStaticMethodID(type, "secondaryMain", "([Ljava/lang/String;)I") : nullptr;
    jobjectArray array = NewJavaStringArray(env, arguments);
    int answer = method && array ? env->CallStaticIntMethod(type, method, array) : -1;
    printf("secondary=%d\n", answer);
    l.javaVm->DetachCurrentThread();
    return nullptr;
}

}  // namespace

// argv: --scenario LIBJVM CLASSPATH MAINCLASS [key=value...] [-- arguments...]
// keys: option=<vm option> (repeatable), out=<file>, err=<file>, failureCheck=1,
// dialog=<end code>, attach=1 (a second thread calls Secondary.secondaryMain),
// nodetach=1 (the VM is created on a thread that ends without detaching).
int RunScenario(int argc, char** argv) {
    if (argc < 5) return 90;
    void* jvm = dlopen(argv[2], RTLD_NOW | RTLD_GLOBAL);
    if (!jvm) {
        fprintf(stderr, "%s\n", dlerror());
        return 91;
    }
    ResetFake();
    Launcher launcher;
    launcher.createJavaVmEntry = dlsym(jvm, "JNI_CreateJavaVM");
    launcher.defaultInitArgsEntry = dlsym(jvm, "JNI_GetDefaultJavaVMInitArgs");
    launcher.vmOptions.Append((std::string("-Djava.class.path=") + argv[3]).c_str());
    launcher.vmOptions.Append("-Xcheck:jni");
    launcher.mainClass = argv[4];
    bool attach = false;
    bool noDetach = false;
    int i = 5;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        std::string setting = argv[i];
        std::string key = setting.substr(0, setting.find('='));
        std::string value = setting.substr(setting.find('=') + 1);
        if (key == "option") launcher.vmOptions.Append(value.c_str());
        if (key == "out") launcher.outputFile = value.c_str();
        if (key == "err") launcher.errorFile = value.c_str();
        if (key == "failureCheck") launcher.failureCheck = true;
        if (key == "dialog") Fake().exceptionDialogResult = atoi(value.c_str());
        if (key == "attach") attach = true;
        if (key == "nodetach") noDetach = true;
    }
    for (++i; i < argc; ++i) launcher.arguments.Append(argv[i]);

    printf("stack=%u\n", DefaultJavaStackSize(launcher));
    unsigned long code;
    if (noDetach) {
        // What the launcher must never do: the creating thread ends attached.
        pthread_t thread;
        pthread_create(&thread, nullptr, CreateOnly, &launcher);
        pthread_join(thread, nullptr);
        code = 99;
    } else if (attach) {
        code = RunMainThread(launcher);
        pthread_t thread;
        pthread_create(&thread, nullptr, AttachedCall, &launcher);
        pthread_join(thread, nullptr);
    } else {
        code = RunMainThread(launcher);
    }
    printf("thread=%lu\n", code);
    Report();
    DestroyVm(launcher);
    printf("destroyed\n");
    fflush(stdout);
    return 0;
}
