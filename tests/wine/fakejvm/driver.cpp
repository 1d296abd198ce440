// Drives a jvm.dll through the JNI the way a launcher does, one scenario per
// process (a process hosts one VM):
//   fakejvm_driver.exe <jvm.dll> <report file> <command>...
// Commands run in order and append "key=value" lines to the report:
//   defaults:<hex version>       JNI_GetDefaultJavaVMInitArgs (stack preset 12345)
//   version:<hex> ignore option:<text> hook:exit hook:vfprintf   what create passes
//   create / each / clear        create with all options / with each one alone / forget them
//   exclear                      ExceptionClear
//   created                      JNI_GetCreatedJavaVMs
//   thread:<stack bytes> ... endthread   the commands between on a new thread
//   setout:<path> seterr:<path>  FileOutputStream + PrintStream + System.setOut/Err
//   arg:<text> argutf:<text>     a main argument through NewString / NewStringUTF
//   main:<class>                 FindClass, GetStaticMethodID, String[], CallStaticVoidMethod
//   call:<class>:<name>:<signature>[:V|:A]   a static void or int method, any call form
//   trace                        the pending exception through printStackTrace into a
//                                ByteArrayOutputStream, read back with toString
//   describe attach attachdaemon detach getenv getversion destroy sleep:<ms>
//   property:<name> utf:<text> bytes:<hex> arrays     strings, byte and object arrays
//   unexpected deleted release2 pendingcall           misuse the double must catch
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "jvm/jni_api.h"

namespace {

using GetCreatedFunction = jint(JNICALL*)(JavaVM**, jsize, jsize*);

std::wstring reportPath;
CreateJavaVmFunction createVm;
DefaultInitArgsFunction defaultArgs;
GetCreatedFunction getCreated;
JavaVM* vm;
thread_local JNIEnv* env;

std::vector<std::string> options;
std::vector<void*> optionExtras;
jint version = JNI_VERSION_1_2;
bool ignoreUnrecognized = false;

struct MainArgument {
    std::wstring text;
    bool viaUtf;
};
std::vector<MainArgument> arguments;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return "";
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Hex(const void* data, size_t size) {
    std::string out;
    char digits[4];
    for (size_t i = 0; i < size; ++i) {
        snprintf(digits, sizeof digits, "%02x", static_cast<const unsigned char*>(data)[i]);
        out += digits;
    }
    return out;
}

void Report(const std::string& key, const std::string& value) {
    std::string line = key + "=" + value + "\n";
    HANDLE file = CreateFileW(reportPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

void JNICALL OnExit(jint code) { Report("hook.exit", std::to_string(code)); }

jint JNICALL OnVfprintf(FILE*, const char* format, va_list args) {
    char text[2048];
    int length = vsnprintf(text, sizeof text, format, args);
    Report("hook.vfprintf", Escape(text));
    return length;
}

std::string StringText(jstring string) {
    if (!string) return "null";
    const char* chars = env->GetStringUTFChars(string, nullptr);
    std::string text = chars;
    env->ReleaseStringUTFChars(string, chars);
    return text;
}

std::string ObjectText(jobject object) {
    jclass objectClass = env->FindClass("java/lang/Object");
    jmethodID toString = env->GetMethodID(objectClass, "toString", "()Ljava/lang/String;");
    return StringText(static_cast<jstring>(env->CallObjectMethod(object, toString)));
}

// Reports the pending exception and leaves it pending.
void ReportException(const std::string& key) {
    jthrowable thrown = env->ExceptionOccurred();
    if (!thrown) {
        Report(key, "none");
        return;
    }
    env->ExceptionClear();
    Report(key, ObjectText(thrown));
    env->Throw(thrown);
}

jint Create(const std::vector<std::string>& chosen, const std::vector<void*>& extras) {
    std::vector<JavaVMOption> list(chosen.size());
    for (size_t i = 0; i < chosen.size(); ++i) {
        list[i].optionString = const_cast<char*>(chosen[i].c_str());
        list[i].extraInfo = extras[i];
    }
    JavaVMInitArgs args;
    args.version = version;
    args.nOptions = static_cast<jint>(list.size());
    args.options = list.data();
    args.ignoreUnrecognized = ignoreUnrecognized ? JNI_TRUE : JNI_FALSE;
    JavaVM* created = nullptr;
    JNIEnv* createdEnv = nullptr;
    jint result = createVm(&created, reinterpret_cast<void**>(&createdEnv), &args);
    if (result == JNI_OK) {
        vm = created;
        env = createdEnv;
    } else if (created || createdEnv) {
        Report("create.leftovers", "set");
    }
    return result;
}

void Redirect(const std::wstring& path, const char* setter, const std::string& key) {
    jclass fileClass = env->FindClass("java/io/FileOutputStream");
    jmethodID openFile = env->GetMethodID(fileClass, "<init>", "(Ljava/lang/String;)V");
    jstring name = env->NewString(reinterpret_cast<const jchar*>(path.c_str()), static_cast<jsize>(path.size()));
    jobject file = env->NewObject(fileClass, openFile, name);
    if (!file) {
        ReportException(key);
        return;
    }
    jclass printClass = env->FindClass("java/io/PrintStream");
    jmethodID wrap = env->GetMethodID(printClass, "<init>", "(Ljava/io/OutputStream;)V");
    jobject stream = env->NewObject(printClass, wrap, file);
    jclass systemClass = env->FindClass("java/lang/System");
    jmethodID set = env->GetStaticMethodID(systemClass, setter, "(Ljava/io/PrintStream;)V");
    env->CallStaticVoidMethod(systemClass, set, stream);
    Report(key, "ok");
}

jobjectArray MainArguments() {
    jclass stringClass = env->FindClass("java/lang/String");
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(arguments.size()), stringClass, nullptr);
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& text = arguments[i].text;
        jstring element = arguments[i].viaUtf
                              ? env->NewStringUTF(Utf8(text).c_str())
                              : env->NewString(reinterpret_cast<const jchar*>(text.c_str()), static_cast<jsize>(text.size()));
        env->SetObjectArrayElement(array, static_cast<jsize>(i), element);
        env->DeleteLocalRef(element);
    }
    return array;
}

jint CallStaticV(bool returnsInt, jclass cls, jmethodID method, ...) {
    va_list args;
    va_start(args, method);
    jint result = 0;
    if (returnsInt) {
        result = env->CallStaticIntMethodV(cls, method, args);
    } else {
        env->CallStaticVoidMethodV(cls, method, args);
    }
    va_end(args);
    return result;
}

void CallStatic(const std::string& className, const std::string& name, const std::string& signature,
                const std::string& form) {
    jclass cls = env->FindClass(className.c_str());
    if (!cls) {
        ReportException("findclass");
        return;
    }
    jmethodID method = env->GetStaticMethodID(cls, name.c_str(), signature.c_str());
    if (!method) {
        ReportException("methodid");
        return;
    }
    bool takesArguments = signature.compare(0, 21, "([Ljava/lang/String;)") == 0;
    bool returnsInt = signature.back() == 'I';
    jvalue values[1];
    values[0].l = takesArguments ? MainArguments() : nullptr;
    jint result = 0;
    if (form == "V") {
        result = takesArguments ? CallStaticV(returnsInt, cls, method, values[0].l) : CallStaticV(returnsInt, cls, method);
    } else if (form == "A") {
        result = returnsInt ? env->CallStaticIntMethodA(cls, method, values)
                            : (env->CallStaticVoidMethodA(cls, method, values), 0);
    } else if (takesArguments) {
        result = returnsInt ? env->CallStaticIntMethod(cls, method, values[0].l)
                            : (env->CallStaticVoidMethod(cls, method, values[0].l), 0);
    } else {
        result = returnsInt ? env->CallStaticIntMethod(cls, method) : (env->CallStaticVoidMethod(cls, method), 0);
    }
    Report("returned", returnsInt ? std::to_string(result) : "void");
    ReportException("exception");
}

void Trace() {
    Report("check", env->ExceptionCheck() ? "1" : "0");
    jthrowable thrown = env->ExceptionOccurred();
    if (!thrown) {
        Report("trace", "none");
        return;
    }
    env->ExceptionClear();
    Report("check.cleared", env->ExceptionCheck() ? "1" : "0");
    jclass bytesClass = env->FindClass("java/io/ByteArrayOutputStream");
    jobject bytes = env->NewObject(bytesClass, env->GetMethodID(bytesClass, "<init>", "()V"));
    jclass printClass = env->FindClass("java/io/PrintStream");
    jobject stream = env->NewObject(printClass, env->GetMethodID(printClass, "<init>", "(Ljava/io/OutputStream;)V"), bytes);
    jclass throwableClass = env->FindClass("java/lang/Throwable");
    jmethodID print = env->GetMethodID(throwableClass, "printStackTrace", "(Ljava/io/PrintStream;)V");
    env->CallVoidMethod(thrown, print, stream);
    jmethodID toString = env->GetMethodID(bytesClass, "toString", "()Ljava/lang/String;");
    jvalue none[1];
    Report("trace", Escape(StringText(static_cast<jstring>(env->CallObjectMethodA(bytes, toString, none)))));
}

void Property(const std::string& name) {
    jclass systemClass = env->FindClass("java/lang/System");
    jmethodID get = env->GetStaticMethodID(systemClass, "getProperty", "(Ljava/lang/String;)Ljava/lang/String;");
    jobject value = env->CallStaticObjectMethod(systemClass, get, env->NewStringUTF(name.c_str()));
    Report("property", name + " " + StringText(static_cast<jstring>(value)));
}

void Strings(const std::wstring& text) {
    jstring string = env->NewString(reinterpret_cast<const jchar*>(text.c_str()), static_cast<jsize>(text.size()));
    jboolean copied = JNI_FALSE;
    const char* utf = env->GetStringUTFChars(string, &copied);
    jsize utfLength = env->GetStringUTFLength(string);
    std::string utfHex = Hex(utf, static_cast<size_t>(utfLength) + 1);
    env->ReleaseStringUTFChars(string, utf);
    jsize length = env->GetStringLength(string);
    const jchar* chars = env->GetStringChars(string, nullptr);
    std::string charsHex = Hex(chars, (static_cast<size_t>(length) + 1) * sizeof(jchar));
    env->ReleaseStringChars(string, chars);
    Report("utf", utfHex + " " + std::to_string(utfLength) + " " + std::to_string(length) + " " + charsHex +
                      (copied ? " copy" : ""));
}

void Bytes(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(strtol(hex.substr(i, 2).c_str(), nullptr, 16));
    jbyteArray array = env->NewByteArray(static_cast<jsize>(bytes.size()));
    env->SetByteArrayRegion(array, 0, static_cast<jsize>(bytes.size()), reinterpret_cast<const jbyte*>(bytes.data()));
    jclass stringClass = env->FindClass("java/lang/String");
    jstring string = static_cast<jstring>(env->NewObject(stringClass, env->GetMethodID(stringClass, "<init>", "([B)V"), array));
    jsize length = env->GetStringLength(string);
    const jchar* chars = env->GetStringChars(string, nullptr);
    Report("bytes", Hex(chars, static_cast<size_t>(length) * sizeof(jchar)));
    env->ReleaseStringChars(string, chars);
}

// Each array misuse leaves its exception pending; reported, then cleared.
void Arrays() {
    auto outcome = [](const std::string& key) {
        ReportException(key);
        env->ExceptionClear();
    };
    jclass stringClass = env->FindClass("java/lang/String");
    jstring filler = env->NewStringUTF("x");
    jobjectArray strings = env->NewObjectArray(3, stringClass, filler);
    Report("arrays.length", std::to_string(env->GetArrayLength(strings)));
    jobject first = env->GetObjectArrayElement(strings, 0);
    Report("arrays.filled", env->IsSameObject(first, filler) ? "1" : "0");
    env->GetObjectArrayElement(strings, 3);
    outcome("arrays.get3");
    env->SetObjectArrayElement(strings, -1, filler);
    outcome("arrays.setminus1");
    jbyteArray bytes = env->NewByteArray(4);
    Report("arrays.instance", std::string(env->IsInstanceOf(filler, stringClass) ? "1" : "0") +
                                  (env->IsInstanceOf(bytes, stringClass) ? "1" : "0"));
    env->SetObjectArrayElement(strings, 1, bytes);
    outcome("arrays.store");
    env->NewByteArray(-2);
    outcome("arrays.negative");
    jbyte some[4] = {1, 2, 3, 4};
    env->SetByteArrayRegion(bytes, 2, 3, some);
    outcome("arrays.region");
    env->SetByteArrayRegion(bytes, 1, 3, some);
    jbyte back[4] = {};
    env->GetByteArrayRegion(bytes, 0, 4, back);
    Report("arrays.bytes", Hex(back, 4) + " " + std::to_string(env->GetArrayLength(bytes)));
}

void Misuse(const std::string& what) {
    if (what == "unexpected") {
        jclass cls = env->FindClass("java/lang/System");
        env->functions->GetStaticFieldID(env, cls, "out", "Ljava/io/PrintStream;");
    } else if (what == "deleted") {
        jstring string = env->NewStringUTF("gone");
        env->DeleteLocalRef(string);
        env->GetStringLength(string);
    } else if (what == "release2") {
        jstring string = env->NewStringUTF("twice");
        const char* chars = env->GetStringUTFChars(string, nullptr);
        env->ReleaseStringUTFChars(string, chars);
        env->ReleaseStringUTFChars(string, chars);
    } else if (what == "pendingcall") {
        env->ThrowNew(env->FindClass("java/lang/IllegalStateException"), "left pending");
        env->FindClass("java/lang/String");
        env->ExceptionClear();
    }
    Report("misuse", what + " survived");
}

struct ThreadWork {
    std::vector<std::wstring> commands;
};

void Run(const std::vector<std::wstring>& commands);

DWORD WINAPI ThreadMain(void* parameter) {
    ThreadWork* work = static_cast<ThreadWork*>(parameter);
    Run(work->commands);
    return 0;
}

void Run(const std::vector<std::wstring>& commands) {
    for (size_t i = 0; i < commands.size(); ++i) {
        const std::wstring& wide = commands[i];
        size_t colon = wide.find(L':');
        std::string name = Utf8(wide.substr(0, colon));
        std::wstring wideValue = colon == std::wstring::npos ? L"" : wide.substr(colon + 1);
        std::string value = Utf8(wideValue);
        if (name == "defaults") {
            JavaVm11InitArgs args{};
            args.version = strtol(value.c_str(), nullptr, 16);
            args.javaStackSize = 12345;
            jint result = defaultArgs(&args);
            char versionText[16];
            snprintf(versionText, sizeof versionText, "0x%08lx", static_cast<unsigned long>(args.version));
            Report("defaults", value + " " + std::to_string(result) + " " + versionText + " " +
                                   std::to_string(args.javaStackSize));
        } else if (name == "version") {
            version = strtol(value.c_str(), nullptr, 16);
        } else if (name == "ignore") {
            ignoreUnrecognized = true;
        } else if (name == "option") {
            options.push_back(value);
            optionExtras.push_back(nullptr);
        } else if (name == "hook") {
            options.push_back(value);
            optionExtras.push_back(value == "exit" ? reinterpret_cast<void*>(&OnExit) : reinterpret_cast<void*>(&OnVfprintf));
        } else if (name == "clear") {
            options.clear();
            optionExtras.clear();
        } else if (name == "exclear") {
            env->ExceptionClear();
        } else if (name == "create") {
            Report("create", std::to_string(Create(options, optionExtras)));
        } else if (name == "each") {
            for (size_t k = 0; k < options.size(); ++k) {
                Report("each", options[k] + " " + std::to_string(Create({options[k]}, {optionExtras[k]})));
            }
        } else if (name == "created") {
            JavaVM* found[2] = {};
            jsize count = -1;
            getCreated(found, 2, &count);
            Report("created", std::to_string(count) + (count > 0 && found[0] == vm ? " same" : ""));
        } else if (name == "thread") {
            ThreadWork* work = new ThreadWork;
            while (++i < commands.size() && commands[i] != L"endthread") work->commands.push_back(commands[i]);
            DWORD stack = static_cast<DWORD>(strtoul(value.c_str(), nullptr, 10));
            HANDLE thread = CreateThread(nullptr, stack, ThreadMain, work, stack ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0,
                                         nullptr);
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
            Report("thread", "ended");
        } else if (name == "setout" || name == "seterr") {
            Redirect(wideValue, name == "setout" ? "setOut" : "setErr", name);
        } else if (name == "arg" || name == "argutf") {
            arguments.push_back({wideValue, name == "argutf"});
        } else if (name == "main") {
            CallStatic(value, "main", "([Ljava/lang/String;)V", "");
        } else if (name == "call") {
            size_t first = value.find(':');
            size_t second = value.find(':', first + 1);
            size_t third = value.find(':', second + 1);
            CallStatic(value.substr(0, first), value.substr(first + 1, second - first - 1),
                       value.substr(second + 1, third == std::string::npos ? std::string::npos : third - second - 1),
                       third == std::string::npos ? "" : value.substr(third + 1));
        } else if (name == "trace") {
            Trace();
        } else if (name == "describe") {
            env->ExceptionDescribe();
            Report("described", env->ExceptionCheck() ? "pending" : "cleared");
        } else if (name == "attach" || name == "attachdaemon") {
            JNIEnv* attached = nullptr;
            jint result = name == "attach" ? vm->AttachCurrentThread(reinterpret_cast<void**>(&attached), nullptr)
                                           : vm->AttachCurrentThreadAsDaemon(reinterpret_cast<void**>(&attached), nullptr);
            if (result == JNI_OK) env = attached;
            Report(name, std::to_string(result));
        } else if (name == "detach") {
            Report("detach", std::to_string(vm->DetachCurrentThread()));
        } else if (name == "getenv") {
            JNIEnv* found = reinterpret_cast<JNIEnv*>(1);
            jint result = vm->GetEnv(reinterpret_cast<void**>(&found), JNI_VERSION_1_2);
            Report("getenv", std::to_string(result) + (found == nullptr ? " null" : found == env ? " same" : " other"));
        } else if (name == "destroy") {
            DWORD start = GetTickCount();
            jint result = vm->DestroyJavaVM();
            Report("destroy", std::to_string(result));
            Report("destroy.ms", std::to_string(GetTickCount() - start));
        } else if (name == "sleep") {
            Sleep(static_cast<DWORD>(strtoul(value.c_str(), nullptr, 10)));
        } else if (name == "property") {
            Property(value);
        } else if (name == "utf") {
            Strings(wideValue);
        } else if (name == "bytes") {
            Bytes(value);
        } else if (name == "arrays") {
            Arrays();
        } else if (name == "getversion") {
            Report("getversion", std::to_string(env->GetVersion()));
        } else if (name == "unexpected" || name == "deleted" || name == "release2" || name == "pendingcall") {
            Misuse(name);
        } else {
            Report("unknown", name);
            ExitProcess(5);
        }
    }
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count < 3) {
        fprintf(stderr, "usage: fakejvm_driver <jvm.dll> <report> <command>...\n");
        return 2;
    }
    reportPath = argv[2];
    HMODULE jvm = LoadLibraryW(argv[1]);
    if (!jvm) {
        Report("load", "failed " + std::to_string(GetLastError()));
        return 3;
    }
    createVm = reinterpret_cast<CreateJavaVmFunction>(reinterpret_cast<void*>(GetProcAddress(jvm, "JNI_CreateJavaVM")));
    defaultArgs = reinterpret_cast<DefaultInitArgsFunction>(
        reinterpret_cast<void*>(GetProcAddress(jvm, "JNI_GetDefaultJavaVMInitArgs")));
    getCreated = reinterpret_cast<GetCreatedFunction>(reinterpret_cast<void*>(GetProcAddress(jvm, "JNI_GetCreatedJavaVMs")));
    if (!createVm || !defaultArgs || !getCreated) {
        Report("load", "missing exports");
        return 4;
    }
    Report("load", "ok");
    std::vector<std::wstring> commands(argv + 3, argv + count);
    Run(commands);
    Report("end", "returned");
    return 0;
}
