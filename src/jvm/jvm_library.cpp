#include "jvm/jvm.h"

#include "launcher/launcher.h"
#include "launcher/messages.h"
#include "platform/platform.h"

bool LoadJvmLibrary(Launcher& launcher) {
    unsigned long error = 0;
    // The runtime's own DLLs (its C runtime among them) lie in its bin folder.
    String binFolder = StripPathComponents(launcher.jvmLibraryPath, 2);
    os::Handle library = os::LoadDynamicLibrary(launcher.jvmLibraryPath.c_str(), binFolder.c_str(), error);
    if (!library) {
        ShowErrorFormat2(launcher.ownerWindow, LoadTextResource(IDS_VM_LIBRARY_LOAD_FAILED), launcher.jvmLibraryPath,
                         static_cast<int>(error));
        return false;
    }
    // The library stays loaded until the process ends.
    launcher.createJavaVmEntry = os::FindExport(library, "JNI_CreateJavaVM", error);
    if (launcher.createJavaVmEntry) {
        launcher.defaultInitArgsEntry = os::FindExport(library, "JNI_GetDefaultJavaVMInitArgs", error);
    }
    if (!launcher.createJavaVmEntry || !launcher.defaultInitArgsEntry) {
        ShowErrorCode(launcher.ownerWindow, IDS_WINDOWS_EXCEPTION, IDS_NO_CREATE_JAVA_VM, static_cast<int>(error));
        return false;
    }
    PublishRuntimeLocation(launcher);
    return true;
}

void PublishRuntimeLocation(const Launcher& launcher) {
    os::SetEnvironment("KP_JVM_PATH", launcher.jvmLibraryPath.c_str());
    os::SetEnvironment("KP_JVM_HOME", StripPathComponents(launcher.jvmLibraryPath, 3).c_str());
}

String StripPathComponents(const String& path, int count) {
    String result = path;
    for (int i = 0; i < count; ++i) {
        int separator = result.ReverseFind('\\');
        if (separator >= 0) result = result.Left(separator);
    }
    return result;
}
