#include <stdlib.h>

#include "jvm/jni_api.h"
#include "jvm/jvm.h"
#include "jvm/streams.h"
#include "launcher/launcher.h"
#include "launcher/messages.h"

namespace {

// The reason text for a failed creation: -1 to -6 have one, others none.
String CreationFailureReason(jint result) {
    if (result >= JNI_EINVAL && result <= JNI_ERR) return LoadTextResource(IDS_JNI_ERR_BASE - result);
    return String();
}

}  // namespace

bool CreateVm(Launcher& launcher) {
    int count = launcher.vmOptions.Count();
    auto* options = static_cast<JavaVMOption*>(malloc(sizeof(JavaVMOption) * static_cast<size_t>(count + 1)));
    if (!options) return false;
    for (int i = 0; i < count; ++i) {
        options[i].optionString = const_cast<char*>(launcher.vmOptions[i].c_str());
        options[i].extraInfo = nullptr;
    }
    JavaVMInitArgs args;
    args.version = JNI_VERSION_1_2;
    args.nOptions = count;
    args.options = options;
    args.ignoreUnrecognized = JNI_FALSE;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    auto create = reinterpret_cast<CreateJavaVmFunction>(launcher.createJavaVmEntry);
    jint result = create(&vm, reinterpret_cast<void**>(&env), &args);
    free(options);
    if (result != JNI_OK) {
        String what = LoadTextResource(IDS_CREATE_VM_FAILED);
        String reason = CreationFailureReason(result);
        ShowErrorFormat2(launcher.ownerWindow, LoadTextResource(IDS_JNI_EXCEPTION_REASON), what, reason);
        return false;
    }
    launcher.javaVm = vm;
    launcher.jniEnv = env;
    RedirectStandardStreams(launcher);
    return true;
}

void DestroyVm(Launcher& launcher) {
    if (launcher.javaVm) launcher.javaVm->DestroyJavaVM();
}
