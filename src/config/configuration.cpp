#include "config/configuration.h"

#include "launcher/launcher.h"
#include "launcher/messages.h"
#include "platform/platform.h"

namespace {

constexpr int kOpenLowerPart = 0;
constexpr int kOpenUpperPart = 65535;

JavaVersion ReadVersionBound(const String& value, int fill) {
    JavaVersion version;
    if (value == "any") {
        for (int& part : version.parts) part = fill;
        version.partCount = 4;
    } else {
        // A failed parse stands too: an unparsable maximum admits no registered runtime.
        ParseJavaVersion(value, fill, version);
    }
    return version;
}

JvmType JvmTypeFromText(const String& value) {
    if (value == "server") return JvmType::Server;
    if (value == "favor_server") return JvmType::FavorServer;
    return JvmType::Default;
}

void ApplyJvmSource(Launcher& launcher, const String& value) {
    launcher.otherKindAllowed = value.IsEmpty() || value == "favor_JRE" || value == "favor_JDK";
    launcher.jdkPreferred = value == "favor_JDK" || value == "only_JDK";
    launcher.jrePreferred = value == "favor_JRE" || value == "only_JRE";
}

}  // namespace

bool GetModulePath(const Launcher& launcher, String& path) {
    unsigned long error = 0;
    if (os::ModuleFileName(path, error)) return true;
    ShowErrorCode(launcher.ownerWindow, IDS_WINDOWS_EXCEPTION, IDS_MODULE_PATH_FAILED, static_cast<int>(error));
    return false;
}

String IniPathFor(const String& modulePath) {
    int backslash = modulePath.ReverseFind('\\');
    int slash = modulePath.ReverseFind('/');
    int nameStart = (backslash > slash ? backslash : slash) + 1;
    int dot = modulePath.ReverseFind('.');
    if (dot >= nameStart) return modulePath.Left(dot + 1) + "ini";
    return modulePath + ".ini";
}

bool GetIniPath(const Launcher& launcher, String& path) {
    String modulePath;
    if (!GetModulePath(launcher, modulePath)) return false;
    path = IniPathFor(modulePath);
    return true;
}

String ReadIniValue(const String& path, const char* section, const char* key) {
    String value;
    for (unsigned long size = 256;; size *= 2) {
        char* buffer = value.GetBuffer(static_cast<int>(size));
        if (!buffer) return String();
        unsigned long length = os::ReadProfileValue(section, key, buffer, size, path.c_str());
        value.ReleaseBuffer(static_cast<int>(length < size ? length : size - 1));
        // A full buffer may hold a cut value: read again with twice the room.
        if (length != size - 1) return value;
    }
}

bool ReadConfiguration(Launcher& launcher) {
    String path;
    if (!GetIniPath(launcher, path)) return false;
    const char* runtime = ini::kRuntimeSection;
    launcher.minimumVersion = ReadVersionBound(ReadIniValue(path, runtime, ini::kMinimumVersion), kOpenLowerPart);
    launcher.maximumVersion = ReadVersionBound(ReadIniValue(path, runtime, ini::kMaximumVersion), kOpenUpperPart);
    SplitPreferredVersions(ReadIniValue(path, runtime, ini::kPreferredVersions), ';',
                           launcher.preferredVersions);
    launcher.configuredJrePath = ReadIniValue(path, runtime, ini::kJrePath);
    launcher.jvmType = JvmTypeFromText(ReadIniValue(path, runtime, ini::kJvmType));
    ApplyJvmSource(launcher, ReadIniValue(path, runtime, ini::kJvmSource));

    launcher.mainClass = ReadIniValue(path, runtime, ini::kMainClass);
    if (launcher.mainClass.IsEmpty()) {
        ShowErrorText(LoadTextResource(IDS_NO_MAIN_CLASS), launcher.ownerWindow);
        return false;
    }
    launcher.mainClass.Replace('.', '/');

    const char* application = ini::kApplicationSection;
    launcher.failureCheck = ReadIniValue(path, application, ini::kFailureCheck).EqualsNoCase("Yes");
    launcher.overrideWorkingDir = ReadIniValue(path, application, ini::kOverrideWorkingDir).EqualsNoCase("Yes");
    launcher.systemPath = ReadIniValue(path, runtime, ini::kSystemPath);
    launcher.libraryPath = ReadIniValue(path, runtime, ini::kLibraryPath);
    return true;
}
