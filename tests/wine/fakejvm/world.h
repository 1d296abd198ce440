// The scripted Java world inside the JVM double: objects, classes, threads,
// the record. One world per process, guarded by one lock.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "jvm/jni_api.h"

namespace fakejvm {

struct ClassInfo;
struct Thread;

enum class Kind { Plain, String, ByteArray, ObjectArray, Class, Throwable, FileStream, PrintStream, BytesStream };

// Every Java object; only the fields of its kind are used. Never freed, so a
// stale handle in the launcher cannot crash the double before it is reported.
struct Object {
    ClassInfo* cls = nullptr;
    Kind kind = Kind::Plain;
    std::u16string chars;               // String
    std::string bytes;                  // ByteArray, BytesStream
    std::vector<Object*> elements;      // ObjectArray
    ClassInfo* elementClass = nullptr;  // ObjectArray
    ClassInfo* mirrored = nullptr;      // Class
    bool hasMessage = false;            // Throwable
    std::u16string message;
    std::vector<std::string> frames;
    Object* cause = nullptr;
    HANDLE file = INVALID_HANDLE_VALUE;  // FileStream
    Object* target = nullptr;            // PrintStream over an OutputStream
    DWORD standardHandle = 0;            // PrintStream over STD_OUTPUT/ERROR_HANDLE
};

// An argument or result: primitives in `raw`, objects resolved in `object`.
struct Value {
    jvalue raw{};
    Object* object = nullptr;
};

struct Step {
    enum class Op { Out, Err, Thread, Daemon, Sleep, Return, ReturnInt, Throw, Exit };
    Op op = Op::Return;
    std::string text;  // Out/Err: the line; Throw: the class
    std::string message;
    bool hasMessage = false;
    long number = 0;
};

struct Call {
    Thread& thread;
    Object* self;
    std::vector<Value> args;
};

using Native = Value (*)(Call&);

struct MethodInfo {
    ClassInfo* owner = nullptr;
    std::string name;
    std::string signature;
    bool isStatic = false;
    Native native = nullptr;  // library behaviour, else the script's steps
    std::vector<Step> steps;
    std::string Describe() const;
    char ReturnType() const;  // the signature's first return character
};

struct ClassInfo {
    std::string name;  // with slashes
    ClassInfo* super = nullptr;
    Object* mirror = nullptr;
    std::vector<MethodInfo*> methods;
    bool IsA(const ClassInfo* other) const;
    std::string Dotted() const;
};

struct Ref {
    Object* object = nullptr;
    bool global = false;
    bool live = true;
    Thread* owner = nullptr;
};

struct EnvBlock {
    const JNINativeInterface_* functions;  // first, as in JNIEnv_
    Thread* thread;
};

struct Thread {
    DWORD id = 0;
    HANDLE handle = nullptr;  // to see whether it has ended
    std::string name;
    bool daemon = false;
    bool attached = false;
    EnvBlock env{};
    Object* pending = nullptr;
    std::vector<Ref*> locals;
    int javaDepth = 0;  // > 0 while a Java method runs on it
    bool Ended() const;
};

struct WorldThread {
    HANDLE handle = nullptr;
    int index = 0;
    bool daemon = false;
};

using ExitHook = void(JNICALL*)(jint code);
using VfprintfHook = jint(JNICALL*)(FILE* fp, const char* format, va_list args);

struct World {
    bool scriptRead = false;
    std::string scriptPath;
    std::string recordPath;
    long createResult = 0;
    long stackSize = 1024 * 1024;
    std::map<std::string, ClassInfo*> classes;
    Object* out = nullptr;
    Object* err = nullptr;
    std::map<std::string, std::string> properties;  // UTF-8
    ExitHook exitHook = nullptr;
    VfprintfHook vfprintfHook = nullptr;
    bool created = false;
    bool safeToRecreate = true;
    DWORD loaderThread = 0;
    std::vector<Thread*> threads;
    std::vector<WorldThread> worldThreads;
    std::vector<Ref*> refs;  // every reference ever made, to validate handles
    std::vector<void*> buffers;  // Get*Chars results not yet released
};

World& TheWorld();

// The one lock: held by every entry point, given up while Java code sleeps.
class Locked {
public:
    Locked();
    ~Locked();
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};
// Gives up the lock entirely (however deep) for a wait, and takes it back.
class Unlocked {
public:
    Unlocked();
    ~Unlocked();
    Unlocked(const Unlocked&) = delete;
    Unlocked& operator=(const Unlocked&) = delete;

private:
    int depth_;
};

// One "key=value" line, appended and on disk at once.
void Record(const std::string& key, const std::string& value);
// A misuse HotSpot tolerates but a launcher should not commit.
void Warn(const std::string& what);
// Ends the process with kFakeJvmAbortCode after recording `key=what`.
[[noreturn]] void Abort(const std::string& key, const std::string& what);

void ReadScriptOnce();

// Text.
std::string Utf8(const std::u16string& text);         // lone surrogates kept (for the record)
std::string Utf8Lossy(const std::u16string& text);    // lone surrogates as '?', as Java encodes
std::u16string DecodeUtf8(const std::string& bytes);  // malformed input as U+FFFD, as Java decodes
std::u16string Widen(const std::string& ascii);
std::string ModifiedUtf8(const std::u16string& text);
std::u16string DecodeModifiedUtf8(const char* bytes);
std::string Printable(const std::string& text);  // control characters as \xHH
std::wstring WidePath(const std::string& utf8);
std::string NarrowPath(const wchar_t* wide);

// Classes and objects.
void BuildLibrary();
ClassInfo* LookUpClass(const std::string& name);   // nullptr when absent
ClassInfo* ThrowableClass(const std::string& name);  // made on first use
ClassInfo* ArrayClassOf(ClassInfo* element);        // made on first use
MethodInfo* LookUpMethod(ClassInfo* cls, const std::string& name, const std::string& signature, bool isStatic);
MethodInfo* Virtual(Object* self, MethodInfo* method);
Object* NewObjectOf(ClassInfo* cls, Kind kind);
Object* NewStringObject(const std::u16string& text);
Object* NewThrowable(ClassInfo* cls, const std::u16string* message);
void ThrowPending(Thread& thread, const std::string& cls, const std::string& message);
std::u16string ToString(Object* object);    // Object.toString
std::u16string StackTrace(Object* throwable);  // printStackTrace's text

// Calls a method whose arguments are already resolved.
Value Invoke(Thread& thread, MethodInfo* method, Object* self, std::vector<Value> args);

// Output.
void Print(Object* printStream, const std::string& bytes, Thread* thread);
void WriteVmError(const std::string& text);  // HotSpot's own error stream
[[noreturn]] void SystemExit(long code);

// Threads and references.
const JNINativeInterface_* FunctionTable();
Thread* CurrentThread();  // attached or not; nullptr before any attach
Thread* AttachCurrent(const std::string& name, bool daemon);
void DetachCurrent(Thread* thread);
jobject NewLocal(Thread& thread, Object* object);
jobject NewGlobal(Object* object);
Object* Resolve(jobject ref, const char* function);
Ref* RefOf(jobject ref, const char* function);

}  // namespace fakejvm
