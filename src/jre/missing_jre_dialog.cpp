#include "jre/missing_jre_dialog.h"

#include "jre/java_version.h"
#include "jre/runtime_search.h"
#include "launcher/launcher.h"
#include "launcher/messages.h"

String RequiredVersionText(const Launcher& launcher) {
    const JavaVersion& minimum = launcher.minimumVersion;
    const JavaVersion& maximum = launcher.maximumVersion;
    bool minimumOpen = IsOpenVersionBound(minimum);
    bool maximumOpen = IsOpenVersionBound(maximum);
    String low = FormatJavaVersion(minimum);
    String high = FormatJavaVersion(maximum);
    if (minimumOpen && maximumOpen) return LoadTextResource(IDS_VERSION_LATEST);
    if (minimumOpen) {
        FormatArg args[] = {high};
        return FormatTextResource(IDS_VERSION_MAX, args, 1);
    }
    if (maximumOpen) {
        FormatArg args[] = {low};
        return FormatTextResource(IDS_VERSION_MIN, args, 1);
    }
    if (JavaVersionsEqual(minimum, maximum)) {
        FormatArg args[] = {low};
        return FormatTextResource(IDS_VERSION_EXACT, args, 1);
    }
    FormatArg args[] = {low, high};
    return FormatTextResource(IDS_VERSION_RANGE, args, 2);
}

bool MissingJreDialog::AcceptPickedFolder(const String& folder) {
    chosenFolder = folder;
    if (!chosenFolder.IsEmpty() && chosenFolder.ReverseFind('\\') != chosenFolder.Length() - 1) {
        chosenFolder += '\\';
    }
    jvmLibraryPath = FindJvmLibrary(chosenFolder, jvmType);
    return !jvmLibraryPath.IsEmpty();
}
