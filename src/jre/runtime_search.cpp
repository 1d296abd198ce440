#include "jre/runtime_search.h"

#include "config/configuration.h"
#include "framework/string_list.h"
#include "launcher/launcher.h"
#include "platform/platform.h"

namespace {

constexpr const char* kServerVm = "bin\\server\\jvm.dll";
constexpr const char* kOtherVms[] = {"bin\\client\\jvm.dll", "bin\\classic\\jvm.dll", "bin\\hotspot\\jvm.dll"};

String WithTrailingBackslash(const String& path) {
    if (path.ReverseFind('\\') == path.Length() - 1) return path;
    return path + "\\";
}

bool Exists(const String& home, const char* variant, String& path) {
    path = home + variant;
    return os::PathExists(path.c_str());
}

// Whether a must come before b.
bool ComesFirst(const Launcher& launcher, const RuntimeCandidate& a, const RuntimeCandidate& b) {
    if (launcher.otherKindAllowed && a.isPreferredKind != b.isPreferredKind) return a.isPreferredKind;
    if (launcher.jvmType == JvmType::FavorServer && a.hasServerVm != b.hasServerVm) return a.hasServerVm;
    return CompareJavaVersions(a.version, b.version) > 0;
}

}  // namespace

String FindJvmLibrary(const String& home, JvmType type, bool* hasServerVm) {
    String path;
    bool server = false;
    if ((type == JvmType::Server || type == JvmType::FavorServer) && Exists(home, kServerVm, path)) {
        server = true;
    } else if (type == JvmType::Server) {
        return String();
    } else {
        bool found = false;
        for (const char* variant : kOtherVms) {
            if ((found = Exists(home, variant, path))) break;
        }
        if (!found) {
            if (!Exists(home, kServerVm, path)) return String();
            server = true;
        }
    }
    if (hasServerVm) *hasServerVm = server;
    return path;
}

bool ExecutableFolder(const Launcher& launcher, String& folder) {
    String path;
    if (!GetModulePath(launcher, path)) return false;
    folder = path.Left(path.ReverseFind('\\') + 1);
    return true;
}

bool FindAdjacentRuntime(const Launcher& launcher, String& home) {
    String folder;
    if (!ExecutableFolder(launcher, folder)) return false;
    home.Empty();
    if (folder.IsEmpty()) return true;
    if (os::PathExists((folder + "bin\\java.dll").c_str())) {
        home = folder;
    } else if (os::PathExists((folder + "jre\\bin\\java.dll").c_str())) {
        home = folder + "jre\\";
    }
    return true;
}

bool ProbeRegistryInstallation(const Launcher& launcher, const char* keyPath, const String& name, String& home,
                               bool& hasServerVm) {
    String value;
    if (!os::ReadRegistryString((String(keyPath) + name).c_str(), "JavaHome", value)) return false;
    bool jdk = String(keyPath) == kJdkRegistryKey;
    home = WithTrailingBackslash(value);
    if (jdk) home += "jre\\";
    // Under the JRE key a server preference does not reorder the lookup.
    JvmType lookup = launcher.jvmType;
    if (!jdk && lookup == JvmType::FavorServer) lookup = JvmType::Default;
    return !FindJvmLibrary(home, lookup, &hasServerVm).IsEmpty();
}

void CollectRegistryCandidates(const Launcher& launcher, const char* keyPath, Array<RuntimeCandidate>& candidates) {
    StringList names;
    os::ListRegistrySubkeys(keyPath, names);
    bool jdk = String(keyPath) == kJdkRegistryKey;
    for (int i = 0; i < names.Count(); ++i) {
        RuntimeCandidate candidate;
        ParseJavaVersion(names[i], 0, candidate.version);
        if (CompareJavaVersions(candidate.version, launcher.maximumVersion) > 0) continue;
        if (CompareJavaVersions(candidate.version, launcher.minimumVersion) < 0) continue;
        if (!ProbeRegistryInstallation(launcher, keyPath, names[i], candidate.javaHome, candidate.hasServerVm)) {
            continue;
        }
        candidate.isPreferredKind = jdk ? launcher.jdkPreferred : launcher.jrePreferred;
        candidates.Append(candidate);
    }
}

void OrderCandidates(const Launcher& launcher, Array<RuntimeCandidate>& candidates) {
    // Insertion sort: stable, and the lists are a handful of installations.
    for (int i = 1; i < candidates.Count(); ++i) {
        for (int j = i; j > 0 && ComesFirst(launcher, candidates[j], candidates[j - 1]); --j) {
            RuntimeCandidate earlier = candidates[j - 1];
            candidates[j - 1] = candidates[j];
            candidates[j] = earlier;
        }
    }
}

String ChooseCandidate(const Launcher& launcher, const Array<RuntimeCandidate>& candidates) {
    for (int entry = 0; entry < launcher.preferredVersions.Count(); ++entry) {
        JavaVersion preferred;
        ParseJavaVersion(launcher.preferredVersions[entry], 0, preferred);
        for (int i = 0; i < candidates.Count(); ++i) {
            if (MatchesPreferredVersion(candidates[i].version, preferred)) return candidates[i].javaHome;
        }
    }
    return candidates[0].javaHome;
}

bool FindRegisteredRuntime(const Launcher& launcher, String& home) {
    Array<RuntimeCandidate> candidates;
    if (launcher.otherKindAllowed || launcher.jdkPreferred) CollectRegistryCandidates(launcher, kJdkRegistryKey, candidates);
    if (launcher.otherKindAllowed || launcher.jrePreferred) CollectRegistryCandidates(launcher, kJreRegistryKey, candidates);
    if (candidates.IsEmpty()) return false;
    OrderCandidates(launcher, candidates);
    home = ChooseCandidate(launcher, candidates);
    return true;
}
