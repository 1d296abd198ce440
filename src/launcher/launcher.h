// The state of one launch, and the order of its steps.
#pragma once

#include "framework/kstring.h"
#include "framework/string_list.h"
#include "jre/java_version.h"
#include "platform/platform.h"

struct JavaVM_;
struct JNIEnv_;
class SplashWindow;
struct InstanceBlock;

enum class JvmType : int { Default = 0, Server = 1, FavorServer = 2 };

class Launcher {
public:
    Launcher() = default;
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;
    ~Launcher();  // the teardown

    bool Prepare();
    int Run();

    os::Handle splashThread = nullptr;
    unsigned long splashThreadId = 0;
    String splashImage;
    String splashShadow;
    JvmType jvmType = JvmType::Default;
    String jvmLibraryPath;
    JavaVM_* javaVm = nullptr;
    JNIEnv_* jniEnv = nullptr;
    String mainClass;
    JavaVersion minimumVersion;
    JavaVersion maximumVersion;
    StringList arguments;
    SplashWindow* splashWindow = nullptr;
    os::Handle ownerWindow = nullptr;
    bool jdkPreferred = false;
    bool jrePreferred = false;
    bool otherKindAllowed = true;
    StringList vmOptions;
    StringList preferredVersions;
    String configuredJrePath;
    String libraryPath;
    InstanceBlock* instanceBlock = nullptr;
    os::Handle instanceMapping = nullptr;
    os::Handle instanceListener = nullptr;
    bool isFirstInstance = false;
    bool singleInstance = false;
    String outputFile;
    String errorFile;
    String systemPath;
    bool failureCheck = false;
    bool overrideWorkingDir = false;
    unsigned int mainThreadStackSize = 0;
    void* createJavaVmEntry = nullptr;
    void* defaultInitArgsEntry = nullptr;
};

// Framework start-up; on failure it has shown its message.
bool StartFramework(os::Handle module);

// The whole life of the process after start-up: returns the exit code.
int RunLauncher(os::Handle module);

void ApplyWorkingDirOverride(Launcher& launcher);
bool LocateRuntime(Launcher& launcher);
