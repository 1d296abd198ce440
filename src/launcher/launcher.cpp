#include "launcher/launcher.h"

#include "config/configuration.h"
#include "instance/single_instance.h"
#include "jre/missing_jre_dialog.h"
#include "jre/runtime_search.h"
#include "jvm/jvm.h"
#include "launcher/command_line.h"
#include "launcher/messages.h"
#include "splash/splash.h"

namespace {

bool IsLaterStart(const Launcher& launcher) {
    return launcher.singleInstance && !launcher.isFirstInstance;
}

// Tries one runtime home; true when it holds a usable jvm.dll.
bool TryRuntimeHome(Launcher& launcher, const String& home) {
    launcher.jvmLibraryPath = FindJvmLibrary(home, launcher.jvmType);
    return !launcher.jvmLibraryPath.IsEmpty();
}

bool AskUserForRuntime(Launcher& launcher) {
    String requirement = RequiredVersionText(launcher);
    FormatArg phrase[] = {requirement};
    unsigned frame = launcher.jvmType == JvmType::Server ? IDS_JRE_NOT_FOUND_SERVER : IDS_JRE_NOT_FOUND;
    String message = FormatTextResource(frame, phrase, 1);
    MissingJreDialog dialog(message, launcher.jvmType);
    if (dialog.ShowModal(os::ActiveWindow()) != MissingJreDialog::kOk) return false;
    launcher.jvmLibraryPath = dialog.jvmLibraryPath;
    // Remembered so the next start finds the runtime first; a failed write costs nothing now.
    String iniPath;
    if (GetIniPath(launcher, iniPath)) {
        os::WriteProfileValue(ini::kRuntimeSection, ini::kJrePath, dialog.chosenFolder.c_str(), iniPath.c_str());
    }
    return true;
}

}  // namespace

bool StartFramework(os::Handle module) {
    os::PrepareUserInterface();
    int result = os::InitializeModule(module);
    if (result < 0) {
        ShowErrorCode(nullptr, IDS_COM_ERROR, IDS_MODULE_INIT_FAILED, result);
        return false;
    }
    return true;
}

int RunLauncher(os::Handle module) {
    int runResult = -1;
    {
        Launcher launcher;
        if (StartFramework(module) && launcher.Prepare()) runResult = launcher.Run();
    }
    os::TerminateModule();
    return runResult;
}

bool Launcher::Prepare() {
    ReadCommandLine(*this);
    if (!SetUpSingleInstance(*this)) return false;
    if (IsLaterStart(*this)) return true;
    if (!ReadConfiguration(*this)) return false;
    if (overrideWorkingDir) ApplyWorkingDirOverride(*this);
    return LocateRuntime(*this);
}

int Launcher::Run() {
    if (IsLaterStart(*this)) return AwaitInstanceAnswer(*this);
    if (FindArgument(arguments, "-nosplash") < 0 && FindArgument(arguments, "/nosplash") < 0) {
        if (!StartSplash(*this)) return 0;
    }
    PrepareSearchPaths(*this);
    if (!LoadJvmLibrary(*this)) return -1;
    if (!AssembleVmOptions(*this)) return -1;
    return StartMainThread(*this) == 0 ? 0 : -1;
}

Launcher::~Launcher() {
    CloseSplash(*this);
    DestroyVm(*this);
    StopInstanceListener(*this);
}

void ApplyWorkingDirOverride(Launcher& launcher) {
    String path;
    if (!GetModulePath(launcher, path)) return;
    int lastSeparator = path.ReverseFind('\\');
    if (lastSeparator >= 1) os::SetCurrentDir(path.Left(lastSeparator).c_str());
}

bool LocateRuntime(Launcher& launcher) {
    if (!launcher.configuredJrePath.IsEmpty()) {
        String home = launcher.configuredJrePath;
        if (home.ReverseFind('\\') != home.Length() - 1) home += '\\';
        if (TryRuntimeHome(launcher, home)) return true;
    }
    String home;
    if (FindAdjacentRuntime(launcher, home) && TryRuntimeHome(launcher, home)) return true;
    home.Empty();
    if (FindRegisteredRuntime(launcher, home) && TryRuntimeHome(launcher, home)) return true;
    return AskUserForRuntime(launcher);
}
