// A stand-in for a Java runtime's jvm.dll, for running the real launcher
// under Wine against a small scripted Java world. It answers like HotSpot 17
// where a launcher depends on the answer, and records what it was given.
//
// The script: the file named by KINDLING_FAKEJVM_SCRIPT (no variable: an
// empty world, nothing recorded). UTF-8, one item a line; blank lines and
// lines starting with '#' are skipped. Settings come first:
//   create=<n>     JNI_CreateJavaVM's result once the options pass (default 0)
//   stack=<bytes>  javaStackSize JNI_GetDefaultJavaVMInitArgs writes (1048576)
//   record=<path>  the record file (default: the script's path + ".record")
// then classes, each followed by its static methods:
//   class com/example/App                 (dots are taken as slashes)
//   main=<steps>            main([Ljava/lang/String;)V, or ...)I when a step is returnint
//   count ()I=<steps>       any name, with a signature after a space
// Steps, separated by '|', run in order until one ends the method:
//   out <text> / err <text>   println to the current System.out / System.err
//   thread <ms> / daemon <ms> start a (non-)daemon Java thread living <ms>
//   sleep <ms>                the method waits
//   throw <class> [message]   leaves the exception pending and returns
//   exit <n>                  System.exit(n): the exit hook, then ExitProcess
//   return / returnint <n>    returns (an int method returns 0 by default)
// A class named in a throw step exists from then on (a subclass of
// RuntimeException, or of Error when its name ends in "Error").
//
// The record: "key=value" lines appended in order, each on disk at once.
//   defaultargs=<version> <result>     JNI_GetDefaultJavaVMInitArgs
//   create.version, create.ignoreUnrecognized, option=<string> (each),
//   create.rejected=<option>, create.primaryThread=1|0, create.stack=<bytes
//   reserved for the creating thread>, create.cwd, env.<NAME>=<value> for
//   KP_JVM_PATH, KP_JVM_HOME and Path when set, create.result=<code>
//   findclass=<name>, methodid=[static ]<class>.<name><signature>,
//   call=<class>.<name><signature> (every method run), args.length=<n> and
//   arg=<UTF-8> (String[] parameters; control characters as \xHH),
//   pending=<exception>, describe=<exception>, worldthread.start/end=<n>,
//   exit=<code>, attach=<result> <name>, detach=<result>[ (why)],
//   destroy=begin, destroy.waiting=<why>, destroy=<result>,
//   jniwarning=<misuse HotSpot tolerates>, and before an abort
//   unexpected=JNI call <slot>, fatal=<misuse>, scripterror=<problem>.
#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "fakejvm.h"
#include "world.h"

using namespace fakejvm;

namespace {

bool SupportedVersion(jint version) {
    return version == JNI_VERSION_1_2 || version == JNI_VERSION_1_4 || version == JNI_VERSION_1_6 ||
           version == JNI_VERSION_1_8 || version == JNI_VERSION_9 || version == JNI_VERSION_10;
}

std::string VersionText(jint version) {
    char text[16];
    snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(version));
    return text;
}

// ---- options, as HotSpot's argument parser sees them ----------------------

bool StartsWith(const char* text, const char* prefix) { return strncmp(text, prefix, strlen(prefix)) == 0; }

// Digits with an optional k/m/g/t unit, as -Xmx and friends take them.
bool IsSize(const char* text) {
    if (!*text) return false;
    const char* p = text;
    while (*p >= '0' && *p <= '9') ++p;
    if (p == text) return false;
    if (*p && strchr("kKmMgGtT", *p)) ++p;
    return *p == '\0';
}

struct Verdict {
    jint result;
    std::string message;  // what HotSpot prints to its error stream
};

Verdict CheckOption(const JavaVMOption& option) {
    const char* text = option.optionString;
    const std::string quoted = text;
    const Verdict ok{JNI_OK, ""};
    const Verdict unrecognized{JNI_ERR, "Unrecognized option: " + quoted + "\n"};
    World& world = TheWorld();
    if (StartsWith(text, "-D")) {
        const char* equals = strchr(text, '=');
        std::string name = equals ? std::string(text + 2, equals) : std::string(text + 2);
        world.properties[name] = equals ? equals + 1 : "";
        return ok;
    }
    // Hooks are passed in extraInfo.
    if (!strcmp(text, "exit")) {
        world.exitHook = reinterpret_cast<ExitHook>(option.extraInfo);
        return ok;
    }
    if (!strcmp(text, "vfprintf")) {
        world.vfprintfHook = reinterpret_cast<VfprintfHook>(option.extraInfo);
        return ok;
    }
    if (!strcmp(text, "abort")) return ok;
    const struct {
        const char* prefix;
        const char* what;
    } sizes[] = {{"-Xmx", "maximum heap size"},
                 {"-Xms", "initial heap size"},
                 {"-Xss", "thread stack size"},
                 {"-Xmn", "new generation size"},
                 {"-Xmaxjitcodesize", "code cache size"}};
    for (const auto& size : sizes) {
        if (StartsWith(text, size.prefix)) {
            if (IsSize(text + strlen(size.prefix))) return ok;
            return {JNI_EINVAL, std::string("Invalid ") + size.what + ": " + quoted + "\n"};
        }
    }
    static const char* const exact[] = {
        "-Xint", "-Xmixed", "-Xcomp", "-Xrs", "-Xcheck:jni", "-Xbatch", "-Xnoclassgc", "-Xdebug", "-Xnoagent",
        "-Xusealtsigs", "-Xinternalversion", "-Xshare:auto", "-Xshare:on", "-Xshare:off", "-Xshare:dump",
        "-Xverify", "-Xverify:all", "-Xverify:none", "-Xverify:remote", "-Xlog", "-esa", "-dsa",
        "-enablesystemassertions", "-disablesystemassertions",
    };
    for (const char* known : exact) {
        if (!strcmp(text, known)) return ok;
    }
    static const char* const prefixes[] = {
        "-Xlog:", "-Xloggc:", "-Xbootclasspath/a:", "-Xrun", "-agentlib:", "-agentpath:", "-javaagent:",
        "-verbose", "--add-reads=", "--add-exports=", "--add-opens=", "--add-modules=", "--limit-modules=",
        "--module-path=", "--upgrade-module-path=", "--patch-module=", "--illegal-access=",
        "--enable-native-access=",
    };
    for (const char* known : prefixes) {
        if (StartsWith(text, known)) return ok;
    }
    // -ea and -da, alone or with ":<package or class>".
    static const char* const assertions[] = {"-ea", "-da", "-enableassertions", "-disableassertions"};
    for (const char* known : assertions) {
        size_t length = strlen(known);
        if (!strncmp(text, known, length) && (text[length] == '\0' || text[length] == ':')) return ok;
    }
    if (StartsWith(text, "-Xbootclasspath/p:")) {
        return {JNI_EINVAL, "-Xbootclasspath/p is no longer a supported option.\n"};
    }
    if (StartsWith(text, "-XX:")) {
        // Any well-formed flag passes: the double knows no flag list.
        const char* flag = text + 4;
        const char* name = (*flag == '+' || *flag == '-') ? flag + 1 : flag;
        size_t nameLength = strcspn(name, "=");
        bool wellFormed = nameLength > 0 && (name != flag ? name[nameLength] == '\0' : name[nameLength] == '=');
        if (wellFormed) return ok;
        return {JNI_EINVAL, "Unrecognized VM option '" + std::string(flag) + "'\n"};
    }
    return unrecognized;
}

// ---- facts about the creating thread --------------------------------------

// The process's first thread: the one created earliest.
DWORD PrimaryThreadId() {
    DWORD primary = TheWorld().loaderThread;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return primary;
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    ULONGLONG earliest = ~0ULL;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId()) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;
        FILETIME created, exited, kernel, user;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            ULONGLONG time = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
            if (time != 0 && time < earliest) {
                earliest = time;
                primary = entry.th32ThreadID;
            }
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return primary;
}

// From the reserved base of this thread's stack to its top.
unsigned long long ReservedStack() {
    using Limits = VOID(WINAPI*)(PULONG_PTR, PULONG_PTR);
    Limits limits = reinterpret_cast<Limits>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetCurrentThreadStackLimits")));
    ULONG_PTR low = 0, high = 0;
    if (limits) {
        limits(&low, &high);
    } else {
        MEMORY_BASIC_INFORMATION region;
        VirtualQuery(&region, &region, sizeof region);
        low = reinterpret_cast<ULONG_PTR>(region.AllocationBase);
        high = reinterpret_cast<ULONG_PTR>(region.BaseAddress) + region.RegionSize;
    }
    return high - low;
}

void RecordCreation() {
    Record("create.primaryThread", GetCurrentThreadId() == PrimaryThreadId() ? "1" : "0");
    Record("create.stack", std::to_string(ReservedStack()));
    wchar_t directory[MAX_PATH * 4] = {};
    GetCurrentDirectoryW(MAX_PATH * 4, directory);
    Record("create.cwd", NarrowPath(directory));
    for (const wchar_t* name : {L"KP_JVM_PATH", L"KP_JVM_HOME", L"Path"}) {
        std::vector<wchar_t> value(32768);
        SetLastError(0);
        DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) continue;
        Record("env." + NarrowPath(name), NarrowPath(value.data()));
    }
}

// ---- the invocation interface ---------------------------------------------

JavaVM* TheVm();

jint Attach(void** penv, void* args, bool daemon, const char* function) {
    Locked locked;
    World& world = TheWorld();
    if (!world.created) {
        Record("attach", std::to_string(JNI_ERR) + " (no VM)");
        return JNI_ERR;
    }
    Thread* current = CurrentThread();
    if (current && current->attached) {
        *penv = &current->env;
        return JNI_OK;
    }
    const JavaVMAttachArgs* attachArgs = static_cast<const JavaVMAttachArgs*>(args);
    std::string name = "Thread-" + std::to_string(world.threads.size());
    if (attachArgs && SupportedVersion(attachArgs->version) && attachArgs->name) name = attachArgs->name;
    Thread* thread = AttachCurrent(name, daemon);
    Record("attach", std::string("0 ") + name + (daemon ? " daemon" : "") + " (" + function + ")");
    *penv = &thread->env;
    return JNI_OK;
}

jint JNICALL AttachCurrentThread(JavaVM*, void** penv, void* args) {
    return Attach(penv, args, false, "AttachCurrentThread");
}

jint JNICALL AttachCurrentThreadAsDaemon(JavaVM*, void** penv, void* args) {
    return Attach(penv, args, true, "AttachCurrentThreadAsDaemon");
}

// HotSpot: no VM is an error; a thread not attached detaches as a no-op.
jint JNICALL DetachCurrentThread(JavaVM*) {
    Locked locked;
    if (!TheWorld().created) {
        Record("detach", std::to_string(JNI_ERR) + " (no VM)");
        return JNI_ERR;
    }
    Thread* thread = CurrentThread();
    if (!thread || !thread->attached) {
        Record("detach", "0 (not attached)");
        return JNI_OK;
    }
    if (thread->javaDepth > 0) {
        Record("detach", std::to_string(JNI_ERR) + " (running Java)");
        return JNI_ERR;
    }
    DetachCurrent(thread);
    Record("detach", "0");
    return JNI_OK;
}

jint JNICALL GetEnv(JavaVM*, void** penv, jint version) {
    Locked locked;
    Thread* thread = CurrentThread();
    if (!TheWorld().created || !thread || !thread->attached) {
        *penv = nullptr;
        return JNI_EDETACHED;
    }
    if (version != JNI_VERSION_1_1 && !SupportedVersion(version)) {
        *penv = nullptr;
        return JNI_EVERSION;
    }
    *penv = &thread->env;
    return JNI_OK;
}

// HotSpot waits until the caller is the last non-daemon thread. A thread
// that ended while attached never leaves, so the wait never ends.
jint JNICALL DestroyJavaVM(JavaVM*) {
    Locked locked;
    World& world = TheWorld();
    Record("destroy", "begin");
    if (!world.created) {
        Record("destroy", std::to_string(JNI_ERR) + " (no VM)");
        return JNI_ERR;
    }
    Thread* self = AttachCurrent("DestroyJavaVM", false);
    std::vector<Thread*> reported;
    for (;;) {
        bool waiting = false;
        for (Thread* thread : world.threads) {
            if (thread == self || !thread->attached || thread->daemon) continue;
            waiting = true;
            if (thread->Ended() && std::find(reported.begin(), reported.end(), thread) == reported.end()) {
                reported.push_back(thread);
                Record("destroy.waiting", "forever: thread \"" + thread->name + "\" (" + std::to_string(thread->id) +
                                              ") ended without DetachCurrentThread");
            }
        }
        for (const WorldThread& thread : world.worldThreads) {
            if (!thread.daemon && WaitForSingleObject(thread.handle, 0) == WAIT_TIMEOUT) waiting = true;
        }
        if (!waiting) break;
        Unlocked unlocked;
        Sleep(10);
    }
    for (Thread* thread : world.threads) DetachCurrent(thread);
    world.created = false;
    Record("destroy", "0");
    return JNI_OK;
}

const JNIInvokeInterface_ kInvokeInterface = {
    nullptr, nullptr, nullptr, DestroyJavaVM, AttachCurrentThread, DetachCurrentThread, GetEnv,
    AttachCurrentThreadAsDaemon,
};

JavaVM* TheVm() {
    static JavaVM vm{&kInvokeInterface};
    return &vm;
}

}  // namespace

// ---- exports --------------------------------------------------------------

extern "C" {

#ifdef KINDLING_FAKEJVM_WITH_DEPENDENCY
// Imported, so the loader must find rtdep.dll before the double can load.
extern "C" __declspec(dllimport) int RuntimeDependencyVersion();
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) TheWorld().loaderThread = GetCurrentThreadId();
#ifdef KINDLING_FAKEJVM_WITH_DEPENDENCY
    if (reason == DLL_PROCESS_ATTACH && RuntimeDependencyVersion() != 1) return FALSE;
#endif
    return TRUE;
}

// HotSpot answers 1.1 with an error but still writes the default stack size.
JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* args) {
    Locked locked;
    ReadScriptOnce();
    JavaVm11InitArgs* initArgs = static_cast<JavaVm11InitArgs*>(args);
    jint version = initArgs->version;
    jint result = SupportedVersion(version) ? JNI_OK : JNI_ERR;
    if (version == JNI_VERSION_1_1) {
        initArgs->version = JNI_VERSION_1_2;
        initArgs->javaStackSize = TheWorld().stackSize;
    }
    Record("defaultargs", VersionText(version) + " " + std::to_string(result));
    return result;
}

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** penv, void* args) {
    Locked locked;
    ReadScriptOnce();
    World& world = TheWorld();
    const JavaVMInitArgs* initArgs = static_cast<const JavaVMInitArgs*>(args);
    // HotSpot clears the caller's pointers only when creation itself failed.
    auto finish = [&](jint result, bool clear) {
        Record("create.result", std::to_string(result));
        if (clear) {
            *vm = nullptr;
            *penv = nullptr;
        }
        return result;
    };
    Record("create.version", VersionText(initArgs->version));
    Record("create.ignoreUnrecognized", initArgs->ignoreUnrecognized ? "1" : "0");
    for (jint i = 0; i < initArgs->nOptions; ++i) {
        const char* text = initArgs->options[i].optionString;
        if (!text) Abort("fatal", "option " + std::to_string(i) + " has no string");
        Record("option", Printable(text));
    }
    RecordCreation();
    if (world.created) return finish(JNI_EEXIST, false);
    if (!world.safeToRecreate) return finish(JNI_ERR, false);
    if (!SupportedVersion(initArgs->version)) return finish(JNI_EVERSION, true);
    world.properties.clear();
    world.exitHook = nullptr;
    world.vfprintfHook = nullptr;
    for (jint i = 0; i < initArgs->nOptions; ++i) {
        Verdict verdict = CheckOption(initArgs->options[i]);
        if (verdict.result == JNI_ERR && initArgs->ignoreUnrecognized) continue;
        if (verdict.result != JNI_OK) {
            Record("create.rejected", Printable(initArgs->options[i].optionString));
            WriteVmError(verdict.message);
            return finish(verdict.result, true);
        }
    }
    // A scripted failure stands for one HotSpot allows to be retried.
    if (world.createResult != JNI_OK) return finish(world.createResult, true);
    Thread* creator = AttachCurrent("main", false);
    world.created = true;
    world.safeToRecreate = false;
    *vm = TheVm();
    *penv = &creator->env;
    return finish(JNI_OK, false);
}

JNIEXPORT jint JNICALL JNI_GetCreatedJavaVMs(JavaVM** vms, jsize size, jsize* count) {
    Locked locked;
    bool created = TheWorld().created;
    if (count) *count = created ? 1 : 0;
    if (created && size > 0) vms[0] = TheVm();
    return JNI_OK;
}

}  // extern "C"
