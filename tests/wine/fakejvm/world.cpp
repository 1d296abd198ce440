// The Java world of the JVM double: text, the record, the script, the few
// library classes a launcher touches, scripted methods and world threads.
#include "world.h"

#include <stdio.h>
#include <stdlib.h>

#include <set>

#include "fakejvm.h"
#include "support/utf8.h"

namespace fakejvm {

namespace {

const DWORD kTlsThread = TlsAlloc();
const DWORD kTlsLockDepth = TlsAlloc();

struct LockHolder {
    CRITICAL_SECTION section;
    LockHolder() { InitializeCriticalSection(&section); }
};
LockHolder worldLock;
LockHolder recordLock;

std::set<Ref*>& AllRefs() {
    static std::set<Ref*> refs;
    return refs;
}

int LockDepth() { return static_cast<int>(reinterpret_cast<INT_PTR>(TlsGetValue(kTlsLockDepth))); }
void SetLockDepth(int depth) { TlsSetValue(kTlsLockDepth, reinterpret_cast<void*>(static_cast<INT_PTR>(depth))); }

void AppendUtf16(std::u16string& out, unsigned long cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}


std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool ParseNumber(const std::string& text, long& value) {
    std::string trimmed = Trim(text);
    if (trimmed.empty()) return false;
    char* end = nullptr;
    value = strtol(trimmed.c_str(), &end, 10);
    return *end == '\0';
}

std::string Slashed(std::string name) {
    for (char& c : name) {
        if (c == '.') c = '/';
    }
    return name;
}

std::string Hex(unsigned long long value, int width) {
    char buffer[32];
    snprintf(buffer, sizeof buffer, "%0*llx", width, value);
    return buffer;
}

void WriteHandle(HANDLE handle, const std::string& bytes) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || bytes.empty()) return;
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// ---- the library ----------------------------------------------------------

ClassInfo* Define(const std::string& name, const std::string& super) {
    World& world = TheWorld();
    ClassInfo* cls = new ClassInfo;
    cls->name = name;
    cls->super = super.empty() ? nullptr : LookUpClass(super);
    world.classes[name] = cls;
    cls->mirror = new Object;
    cls->mirror->cls = LookUpClass("java/lang/Class");
    cls->mirror->kind = Kind::Class;
    cls->mirror->mirrored = cls;
    return cls;
}

MethodInfo* Add(ClassInfo* cls, const char* name, const char* signature, bool isStatic, Native native) {
    MethodInfo* method = new MethodInfo;
    method->owner = cls;
    method->name = name;
    method->signature = signature;
    method->isStatic = isStatic;
    method->native = native;
    cls->methods.push_back(method);
    return method;
}

// Arguments of library methods are typed by their signatures; a launcher
// that passes another kind of object has a bug HotSpot would not forgive.
Object* Arg(Call& call, size_t index, const char* className, bool nullable) {
    Object* object = call.args[index].object;
    if (!object) {
        if (!nullable) ThrowPending(call.thread, "java/lang/NullPointerException", "");
        return nullptr;
    }
    if (!object->cls->IsA(LookUpClass(className))) {
        Abort("fatal", "argument " + std::to_string(index + 1) + " is a " + object->cls->name + ", not a " + className);
    }
    return object;
}

Value ObjectResult(Object* object) {
    Value value;
    value.object = object;
    return value;
}

Value NoResult() { return Value(); }

Value ThrowableInit(Call& call) {
    call.self->kind = Kind::Throwable;
    return NoResult();
}

Value ThrowableInitMessage(Call& call) {
    call.self->kind = Kind::Throwable;
    if (Object* message = call.args[0].object) {
        call.self->hasMessage = true;
        call.self->message = message->chars;
    }
    return NoResult();
}

ClassInfo* DefineThrowable(const std::string& name, const std::string& super) {
    ClassInfo* cls = Define(name, super);
    Add(cls, "<init>", "()V", false, ThrowableInit);
    Add(cls, "<init>", "(Ljava/lang/String;)V", false, ThrowableInitMessage);
    return cls;
}

Value StringFromBytes(Call& call) {
    Object* bytes = call.args[0].object;
    if (!bytes) {
        ThrowPending(call.thread, "java/lang/NullPointerException", "");
        return NoResult();
    }
    if (bytes->kind != Kind::ByteArray) Abort("fatal", "new String(byte[]) was given a " + bytes->cls->name);
    call.self->kind = Kind::String;
    call.self->chars = DecodeUtf8(bytes->bytes);
    return NoResult();
}

// Java's message for a file that cannot be opened: "<path> (<system text>)",
// the system text without its final period and line break.
std::u16string OpenFailure(const std::u16string& path, DWORD error) {
    wchar_t text[512] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  512, nullptr);
    while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r')) --length;
    if (length > 0 && text[length - 1] == L'.') --length;
    std::u16string message = path + u" (";
    for (DWORD i = 0; i < length; ++i) message += static_cast<char16_t>(text[i]);
    return message + u")";
}

Value OpenFileStream(Call& call, bool append) {
    Object* path = Arg(call, 0, "java/lang/String", false);
    if (!path) return NoResult();
    std::wstring wide(path->chars.begin(), path->chars.end());
    HANDLE file = CreateFileW(wide.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Object* thrown = NewThrowable(LookUpClass("java/io/FileNotFoundException"), nullptr);
        thrown->hasMessage = true;
        thrown->message = OpenFailure(path->chars, GetLastError());
        call.thread.pending = thrown;
        Record("pending", Utf8(ToString(thrown)));
        return NoResult();
    }
    call.self->kind = Kind::FileStream;
    call.self->file = file;
    return NoResult();
}

Value FileStreamInit(Call& call) { return OpenFileStream(call, false); }
Value FileStreamInitAppend(Call& call) { return OpenFileStream(call, call.args[1].raw.z != JNI_FALSE); }

Value PrintStreamInit(Call& call) {
    Object* target = Arg(call, 0, "java/io/OutputStream", false);
    if (!target) return NoResult();
    call.self->kind = Kind::PrintStream;
    call.self->target = target;
    return NoResult();
}

Value PrintStreamPrintln(Call& call) {
    Object* text = Arg(call, 0, "java/lang/String", true);
    Print(call.self, Utf8Lossy(text ? text->chars : u"null") + "\r\n", &call.thread);
    return NoResult();
}

Value PrintStreamPrint(Call& call) {
    Object* text = Arg(call, 0, "java/lang/String", true);
    Print(call.self, Utf8Lossy(text ? text->chars : u"null"), &call.thread);
    return NoResult();
}

Value StreamFlush(Call&) { return NoResult(); }

Value BytesStreamInit(Call& call) {
    call.self->kind = Kind::BytesStream;
    return NoResult();
}

Value ObjectToString(Call& call) { return ObjectResult(NewStringObject(ToString(call.self))); }

Value SystemSetOut(Call& call) {
    TheWorld().out = Arg(call, 0, "java/io/PrintStream", true);
    return NoResult();
}

Value SystemSetErr(Call& call) {
    TheWorld().err = Arg(call, 0, "java/io/PrintStream", true);
    return NoResult();
}

Value SystemExitNative(Call& call) { SystemExit(call.args[0].raw.i); }

Value SystemGetProperty(Call& call) {
    Object* name = Arg(call, 0, "java/lang/String", false);
    if (!name) return NoResult();
    auto found = TheWorld().properties.find(Utf8(name->chars));
    if (found == TheWorld().properties.end()) return NoResult();
    return ObjectResult(NewStringObject(DecodeUtf8(found->second)));
}

Value ThrowablePrintStackTraceTo(Call& call) {
    Object* stream = Arg(call, 0, "java/io/PrintStream", false);
    if (stream) Print(stream, Utf8Lossy(StackTrace(call.self)), &call.thread);
    return NoResult();
}

Value ThrowablePrintStackTrace(Call& call) {
    Print(TheWorld().err, Utf8Lossy(StackTrace(call.self)), &call.thread);
    return NoResult();
}

Value ThrowableGetMessage(Call& call) {
    return ObjectResult(call.self->hasMessage ? NewStringObject(call.self->message) : nullptr);
}

// ---- scripted methods -----------------------------------------------------

struct WorldThreadStart {
    DWORD milliseconds;
    int index;
};

DWORD WINAPI WorldThreadMain(void* parameter) {
    WorldThreadStart* start = static_cast<WorldThreadStart*>(parameter);
    Sleep(start->milliseconds);
    Record("worldthread.end", std::to_string(start->index));
    delete start;
    return 0;
}

void StartWorldThread(long milliseconds, bool daemon) {
    World& world = TheWorld();
    WorldThread thread;
    thread.index = static_cast<int>(world.worldThreads.size()) + 1;
    thread.daemon = daemon;
    Record("worldthread.start", std::to_string(thread.index) + (daemon ? " daemon" : ""));
    thread.handle = CreateThread(nullptr, 0, WorldThreadMain,
                                 new WorldThreadStart{static_cast<DWORD>(milliseconds), thread.index}, 0, nullptr);
    if (!thread.handle) Abort("fatal", "cannot start a world thread");
    world.worldThreads.push_back(thread);
}

void RecordArguments(Object* array) {
    if (!array) {
        Record("args", "null");
        return;
    }
    if (array->kind != Kind::ObjectArray || array->elementClass != LookUpClass("java/lang/String")) {
        Warn("a String[] parameter was given a " + array->cls->name);
        if (array->kind != Kind::ObjectArray) return;
    }
    Record("args.length", std::to_string(array->elements.size()));
    for (Object* element : array->elements) {
        Record("arg", element ? Printable(Utf8(element->chars)) : "(null)");
    }
}

Value RunSteps(Thread& thread, MethodInfo* method, std::vector<Value>& args) {
    World& world = TheWorld();
    if (method->signature.compare(0, 21, "([Ljava/lang/String;)") == 0) RecordArguments(args[0].object);
    Value result;
    for (const Step& step : method->steps) {
        switch (step.op) {
            case Step::Op::Out:
                Print(world.out, step.text + "\r\n", &thread);
                break;
            case Step::Op::Err:
                Print(world.err, step.text + "\r\n", &thread);
                break;
            case Step::Op::Thread:
            case Step::Op::Daemon:
                StartWorldThread(step.number, step.op == Step::Op::Daemon);
                break;
            case Step::Op::Sleep: {
                Unlocked unlocked;
                Sleep(static_cast<DWORD>(step.number));
                break;
            }
            case Step::Op::Return:
                return result;
            case Step::Op::ReturnInt:
                result.raw.i = step.number;
                return result;
            case Step::Op::Throw: {
                std::u16string message = DecodeUtf8(step.message);
                Object* thrown = NewThrowable(LookUpClass(step.text), step.hasMessage ? &message : nullptr);
                std::string owner = method->owner->name;
                std::string simple = owner.substr(owner.rfind('/') + 1);
                simple = simple.substr(0, simple.find('$'));
                thrown->frames.push_back(method->owner->Dotted() + "." + method->name + "(" + simple + ".java)");
                thread.pending = thrown;
                Record("pending", Utf8(ToString(thrown)));
                return result;
            }
            case Step::Op::Exit:
                SystemExit(step.number);
        }
        if (thread.pending) return result;
    }
    return result;
}

void ScriptError(int line, const std::string& what) {
    Abort("scripterror", "line " + std::to_string(line) + ": " + what);
}

std::vector<Step> ParseSteps(const std::string& text, int line, char returnType) {
    std::vector<Step> steps;
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find('|', begin);
        if (end == std::string::npos) end = text.size();
        std::string piece = Trim(text.substr(begin, end - begin));
        begin = end + 1;
        if (piece.empty()) continue;
        size_t space = piece.find(' ');
        std::string word = piece.substr(0, space);
        std::string rest = space == std::string::npos ? "" : piece.substr(space + 1);
        Step step;
        if (word == "out" || word == "err") {
            step.op = word == "out" ? Step::Op::Out : Step::Op::Err;
            step.text = rest;
        } else if (word == "thread" || word == "daemon" || word == "sleep") {
            step.op = word == "thread" ? Step::Op::Thread : word == "daemon" ? Step::Op::Daemon : Step::Op::Sleep;
            if (!ParseNumber(rest, step.number) || step.number < 0) ScriptError(line, word + " needs milliseconds");
        } else if (word == "exit" || word == "returnint") {
            step.op = word == "exit" ? Step::Op::Exit : Step::Op::ReturnInt;
            if (!ParseNumber(rest, step.number)) ScriptError(line, word + " needs a number");
            if (step.op == Step::Op::ReturnInt && returnType != 'I') ScriptError(line, "returnint in a method not returning int");
        } else if (word == "return") {
            step.op = Step::Op::Return;
        } else if (word == "throw") {
            step.op = Step::Op::Throw;
            rest = Trim(rest);
            size_t gap = rest.find(' ');
            step.text = Slashed(rest.substr(0, gap));
            if (gap != std::string::npos) {
                step.hasMessage = true;
                step.message = rest.substr(gap + 1);
            }
            if (step.text.empty()) ScriptError(line, "throw needs a class");
            ClassInfo* cls = ThrowableClass(step.text);
            if (!cls) ScriptError(line, step.text + " is not a Throwable");
        } else {
            ScriptError(line, "unknown step '" + word + "'");
        }
        steps.push_back(step);
    }
    return steps;
}

void ParseScript(const std::string& content) {
    World& world = TheWorld();
    ClassInfo* current = nullptr;
    int lineNumber = 0;
    size_t begin = content.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (begin < content.size()) {
        size_t end = content.find('\n', begin);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(begin, end - begin);
        begin = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = line.substr(std::min(line.size(), line.find_first_not_of(" \t")));
        if (line.empty() || line[0] == '#') continue;
        if (line.compare(0, 6, "class ") == 0) {
            std::string name = Slashed(Trim(line.substr(6)));
            if (name.empty() || name.find(' ') != std::string::npos) ScriptError(lineNumber, "bad class name");
            if (LookUpClass(name)) ScriptError(lineNumber, name + " exists already");
            current = Define(name, "java/lang/Object");
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) ScriptError(lineNumber, "expected key=value");
        std::string key = Trim(line.substr(0, equals));
        std::string value = line.substr(equals + 1);
        if (!current) {
            if (key == "create") {
                if (!ParseNumber(value, world.createResult)) ScriptError(lineNumber, "create needs a number");
            } else if (key == "stack") {
                if (!ParseNumber(value, world.stackSize)) ScriptError(lineNumber, "stack needs a number");
            } else if (key == "record") {
                world.recordPath = Trim(value);
            } else {
                ScriptError(lineNumber, "unknown setting '" + key + "'");
            }
            continue;
        }
        size_t space = key.find(' ');
        std::string name = key.substr(0, space);
        std::string signature;
        std::vector<Step> steps;
        if (space == std::string::npos) {
            // Without a signature: takes String[], returns int when a step returns one.
            steps = ParseSteps(value, lineNumber, 'I');
            bool returnsInt = false;
            for (const Step& step : steps) returnsInt = returnsInt || step.op == Step::Op::ReturnInt;
            signature = returnsInt ? "([Ljava/lang/String;)I" : "([Ljava/lang/String;)V";
        } else {
            signature = Trim(key.substr(space + 1));
            size_t close = signature.find(')');
            if (signature[0] != '(' || close == std::string::npos || close + 1 >= signature.size()) {
                ScriptError(lineNumber, "bad signature '" + signature + "'");
            }
            steps = ParseSteps(value, lineNumber, signature[close + 1]);
        }
        for (MethodInfo* existing : current->methods) {
            if (existing->name == name && existing->signature == signature) ScriptError(lineNumber, "method twice");
        }
        Add(current, name.c_str(), signature.c_str(), true, nullptr)->steps = steps;
    }
}

}  // namespace

// ---- shared pieces --------------------------------------------------------

World& TheWorld() {
    static World world;
    return world;
}

Locked::Locked() {
    EnterCriticalSection(&worldLock.section);
    SetLockDepth(LockDepth() + 1);
}

Locked::~Locked() {
    SetLockDepth(LockDepth() - 1);
    LeaveCriticalSection(&worldLock.section);
}

Unlocked::Unlocked() : depth_(LockDepth()) {
    SetLockDepth(0);
    for (int i = 0; i < depth_; ++i) LeaveCriticalSection(&worldLock.section);
}

Unlocked::~Unlocked() {
    for (int i = 0; i < depth_; ++i) EnterCriticalSection(&worldLock.section);
    SetLockDepth(depth_);
}

std::string MethodInfo::Describe() const { return owner->name + "." + name + signature; }

char MethodInfo::ReturnType() const { return signature[signature.find(')') + 1]; }

bool ClassInfo::IsA(const ClassInfo* other) const {
    for (const ClassInfo* cls = this; cls; cls = cls->super) {
        if (cls == other) return true;
    }
    return false;
}

std::string ClassInfo::Dotted() const {
    std::string dotted = name;
    for (char& c : dotted) {
        if (c == '/') c = '.';
    }
    return dotted;
}

bool Thread::Ended() const { return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }

void Record(const std::string& key, const std::string& value) {
    const std::string& path = TheWorld().recordPath;
    if (path.empty()) return;
    std::string line = key + "=" + value + "\n";
    EnterCriticalSection(&recordLock.section);
    HANDLE file = CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    WriteHandle(file, line);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    LeaveCriticalSection(&recordLock.section);
}

void Warn(const std::string& what) { Record("jniwarning", what); }

void Abort(const std::string& key, const std::string& what) {
    Record(key, what);
    std::string line = "fakejvm: " + key + ": " + what + "\n";
    WriteHandle(GetStdHandle(STD_ERROR_HANDLE), line);
    OutputDebugStringA(line.c_str());
    TerminateProcess(GetCurrentProcess(), kFakeJvmAbortCode);
    ExitProcess(kFakeJvmAbortCode);
}

void ReadScriptOnce() {
    World& world = TheWorld();
    if (world.scriptRead) return;
    world.scriptRead = true;
    BuildLibrary();
    std::vector<wchar_t> name(32768);
    DWORD length = GetEnvironmentVariableW(L"" FAKEJVM_SCRIPT_VARIABLE, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0 || length >= name.size()) return;
    world.scriptPath = NarrowPath(name.data());
    world.recordPath = world.scriptPath + ".record";
    HANDLE file = CreateFileW(name.data(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Abort("scripterror", "cannot read " + world.scriptPath);
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    CloseHandle(file);
    ParseScript(content);
}

std::string Utf8(const std::u16string& text) { return EncodeUtf8(text, false); }

std::string Utf8Lossy(const std::u16string& text) { return EncodeUtf8(text, true); }

std::u16string DecodeUtf8(const std::string& bytes) {
    std::u16string out;
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        int need;
        unsigned long cp;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            need = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            need = 2;
            cp = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            need = 3;
            cp = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            out += u'\xFFFD';
            ++i;
            continue;
        }
        size_t j = i + 1;
        int got = 0;
        while (got < need && j < n) {
            unsigned char next = static_cast<unsigned char>(bytes[j]);
            if (next < low || next > high) break;
            cp = (cp << 6) | (next & 0x3F);
            ++j;
            ++got;
            low = 0x80;
            high = 0xBF;
        }
        // One replacement for the longest valid start of a sequence.
        if (got < need) {
            out += u'\xFFFD';
        } else {
            AppendUtf16(out, cp);
        }
        i = j;
    }
    return out;
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string ModifiedUtf8(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c != 0 && c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string DecodeModifiedUtf8(const char* bytes) {
    std::u16string out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    bool fourByte = false, invalid = false;
    while (*p) {
        unsigned char lead = *p;
        auto continuation = [](unsigned char c) { return (c & 0xC0) == 0x80; };
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            p += 1;
        } else if ((lead & 0xE0) == 0xC0 && continuation(p[1])) {
            out += static_cast<char16_t>(((lead & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if ((lead & 0xF0) == 0xE0 && continuation(p[1]) && continuation(p[2])) {
            out += static_cast<char16_t>(((lead & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            p += 3;
        } else if ((lead & 0xF8) == 0xF0 && continuation(p[1]) && continuation(p[2]) && continuation(p[3])) {
            // Standard UTF-8, not the modified form: taken leniently, but noted.
            fourByte = true;
            AppendUtf16(out, ((lead & 0x07UL) << 18) | ((p[1] & 0x3FUL) << 12) | ((p[2] & 0x3FUL) << 6) | (p[3] & 0x3F));
            p += 4;
        } else {
            invalid = true;
            out += static_cast<char16_t>(lead);
            p += 1;
        }
    }
    if (fourByte) Warn("NewStringUTF was given a 4-byte UTF-8 sequence, not modified UTF-8");
    if (invalid) Warn("NewStringUTF was given bytes that are not modified UTF-8");
    return out;
}

std::string Printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            out += "\\x" + Hex(static_cast<unsigned char>(c), 2);
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring WidePath(const std::string& utf8) {
    std::u16string wide = DecodeUtf8(utf8);
    return std::wstring(wide.begin(), wide.end());
}

std::string NarrowPath(const wchar_t* wide) {
    std::wstring text(wide);
    return Utf8(std::u16string(text.begin(), text.end()));
}

// ---- classes and objects --------------------------------------------------

void BuildLibrary() {
    World& world = TheWorld();
    if (!world.classes.empty()) return;
    ClassInfo* object = Define("java/lang/Object", "");
    ClassInfo* classClass = Define("java/lang/Class", "java/lang/Object");
    object->mirror->cls = classClass;
    classClass->mirror->cls = classClass;
    Add(object, "toString", "()Ljava/lang/String;", false, ObjectToString);

    ClassInfo* string = Define("java/lang/String", "java/lang/Object");
    Add(string, "<init>", "([B)V", false, StringFromBytes);

    ClassInfo* system = Define("java/lang/System", "java/lang/Object");
    Add(system, "setOut", "(Ljava/io/PrintStream;)V", true, SystemSetOut);
    Add(system, "setErr", "(Ljava/io/PrintStream;)V", true, SystemSetErr);
    Add(system, "exit", "(I)V", true, SystemExitNative);
    Add(system, "getProperty", "(Ljava/lang/String;)Ljava/lang/String;", true, SystemGetProperty);

    ClassInfo* throwable = DefineThrowable("java/lang/Throwable", "java/lang/Object");
    Add(throwable, "printStackTrace", "(Ljava/io/PrintStream;)V", false, ThrowablePrintStackTraceTo);
    Add(throwable, "printStackTrace", "()V", false, ThrowablePrintStackTrace);
    Add(throwable, "getMessage", "()Ljava/lang/String;", false, ThrowableGetMessage);
    const char* const hierarchy[][2] = {
        {"java/lang/Exception", "java/lang/Throwable"},
        {"java/lang/Error", "java/lang/Throwable"},
        {"java/lang/RuntimeException", "java/lang/Exception"},
        {"java/lang/ReflectiveOperationException", "java/lang/Exception"},
        {"java/lang/ClassNotFoundException", "java/lang/ReflectiveOperationException"},
        {"java/lang/LinkageError", "java/lang/Error"},
        {"java/lang/NoClassDefFoundError", "java/lang/LinkageError"},
        {"java/lang/IncompatibleClassChangeError", "java/lang/LinkageError"},
        {"java/lang/NoSuchMethodError", "java/lang/IncompatibleClassChangeError"},
        {"java/lang/IllegalStateException", "java/lang/RuntimeException"},
        {"java/lang/IllegalArgumentException", "java/lang/RuntimeException"},
        {"java/lang/NullPointerException", "java/lang/RuntimeException"},
        {"java/lang/ArrayStoreException", "java/lang/RuntimeException"},
        {"java/lang/NegativeArraySizeException", "java/lang/RuntimeException"},
        {"java/lang/IndexOutOfBoundsException", "java/lang/RuntimeException"},
        {"java/lang/ArrayIndexOutOfBoundsException", "java/lang/IndexOutOfBoundsException"},
        {"java/io/IOException", "java/lang/Exception"},
        {"java/io/FileNotFoundException", "java/io/IOException"},
    };
    for (const auto& entry : hierarchy) DefineThrowable(entry[0], entry[1]);

    ClassInfo* outputStream = Define("java/io/OutputStream", "java/lang/Object");
    Add(outputStream, "flush", "()V", false, StreamFlush);
    ClassInfo* fileStream = Define("java/io/FileOutputStream", "java/io/OutputStream");
    Add(fileStream, "<init>", "(Ljava/lang/String;)V", false, FileStreamInit);
    Add(fileStream, "<init>", "(Ljava/lang/String;Z)V", false, FileStreamInitAppend);
    Define("java/io/FilterOutputStream", "java/io/OutputStream");
    ClassInfo* printStream = Define("java/io/PrintStream", "java/io/FilterOutputStream");
    Add(printStream, "<init>", "(Ljava/io/OutputStream;)V", false, PrintStreamInit);
    Add(printStream, "<init>", "(Ljava/io/OutputStream;Z)V", false, PrintStreamInit);
    Add(printStream, "println", "(Ljava/lang/String;)V", false, PrintStreamPrintln);
    Add(printStream, "print", "(Ljava/lang/String;)V", false, PrintStreamPrint);
    ClassInfo* bytesStream = Define("java/io/ByteArrayOutputStream", "java/io/OutputStream");
    Add(bytesStream, "<init>", "()V", false, BytesStreamInit);
    Define("[B", "java/lang/Object");

    world.out = NewObjectOf(printStream, Kind::PrintStream);
    world.out->standardHandle = STD_OUTPUT_HANDLE;
    world.err = NewObjectOf(printStream, Kind::PrintStream);
    world.err->standardHandle = STD_ERROR_HANDLE;
}

ClassInfo* LookUpClass(const std::string& name) {
    auto found = TheWorld().classes.find(name);
    return found == TheWorld().classes.end() ? nullptr : found->second;
}

ClassInfo* ArrayClassOf(ClassInfo* element) {
    std::string name = element->name[0] == '[' ? "[" + element->name : "[L" + element->name + ";";
    if (ClassInfo* cls = LookUpClass(name)) return cls;
    return Define(name, "java/lang/Object");
}

ClassInfo* ThrowableClass(const std::string& name) {
    if (ClassInfo* cls = LookUpClass(name)) return cls->IsA(LookUpClass("java/lang/Throwable")) ? cls : nullptr;
    bool error = name.size() >= 5 && name.compare(name.size() - 5, 5, "Error") == 0;
    return DefineThrowable(name, error ? "java/lang/Error" : "java/lang/RuntimeException");
}

MethodInfo* LookUpMethod(ClassInfo* cls, const std::string& name, const std::string& signature, bool isStatic) {
    bool constructor = name == "<init>";
    for (ClassInfo* owner = cls; owner; owner = constructor ? nullptr : owner->super) {
        for (MethodInfo* method : owner->methods) {
            if (method->name == name && method->signature == signature) {
                return method->isStatic == isStatic ? method : nullptr;
            }
        }
    }
    return nullptr;
}

MethodInfo* Virtual(Object* self, MethodInfo* method) {
    if (method->isStatic || method->name == "<init>" || !self) return method;
    MethodInfo* found = LookUpMethod(self->cls, method->name, method->signature, false);
    return found ? found : method;
}

Object* NewObjectOf(ClassInfo* cls, Kind kind) {
    Object* object = new Object;
    object->cls = cls;
    object->kind = kind;
    return object;
}

Object* NewStringObject(const std::u16string& text) {
    Object* object = NewObjectOf(LookUpClass("java/lang/String"), Kind::String);
    object->chars = text;
    return object;
}

Object* NewThrowable(ClassInfo* cls, const std::u16string* message) {
    Object* object = NewObjectOf(cls, Kind::Throwable);
    if (message) {
        object->hasMessage = true;
        object->message = *message;
    }
    return object;
}

void ThrowPending(Thread& thread, const std::string& cls, const std::string& message) {
    std::u16string text = DecodeUtf8(message);
    Object* thrown = NewThrowable(ThrowableClass(cls), message.empty() ? nullptr : &text);
    thread.pending = thrown;
    Record("pending", Utf8(ToString(thrown)));
}

std::u16string ToString(Object* object) {
    if (!object) return u"null";
    switch (object->kind) {
        case Kind::String:
            return object->chars;
        case Kind::Throwable:
            return Widen(object->cls->Dotted()) + (object->hasMessage ? u": " + object->message : u"");
        case Kind::BytesStream:
            return DecodeUtf8(object->bytes);
        case Kind::Class:
            return u"class " + Widen(object->mirrored->Dotted());
        default:
            return Widen(object->cls->Dotted() + "@" + Hex(reinterpret_cast<UINT_PTR>(object) & 0xFFFFFFFF, 0));
    }
}

std::u16string StackTrace(Object* throwable) {
    std::u16string text = ToString(throwable) + u"\r\n";
    for (const std::string& frame : throwable->frames) text += u"\tat " + Widen(frame) + u"\r\n";
    std::set<Object*> seen{throwable};
    Object* enclosing = throwable;
    for (Object* cause = throwable->cause; cause && !seen.count(cause); cause = cause->cause) {
        seen.insert(cause);
        // As Java does: frames shared with the enclosing trace become "... n more".
        long m = static_cast<long>(cause->frames.size()) - 1;
        long n = static_cast<long>(enclosing->frames.size()) - 1;
        while (m >= 0 && n >= 0 && cause->frames[m] == enclosing->frames[n]) --m, --n;
        long inCommon = static_cast<long>(cause->frames.size()) - 1 - m;
        text += u"Caused by: " + ToString(cause) + u"\r\n";
        for (long i = 0; i <= m; ++i) text += u"\tat " + Widen(cause->frames[i]) + u"\r\n";
        if (inCommon != 0) text += u"\t... " + Widen(std::to_string(inCommon)) + u" more\r\n";
        enclosing = cause;
    }
    return text;
}

Value Invoke(Thread& thread, MethodInfo* method, Object* self, std::vector<Value> args) {
    Record("call", method->Describe());
    // As HotSpot does on entering Java: a pending exception is dropped.
    thread.pending = nullptr;
    ++thread.javaDepth;
    Value result;
    if (method->native) {
        Call call{thread, self, std::move(args)};
        result = method->native(call);
    } else {
        result = RunSteps(thread, method, args);
    }
    --thread.javaDepth;
    return result;
}

void Print(Object* printStream, const std::string& bytes, Thread* thread) {
    if (!printStream) {
        if (thread) ThrowPending(*thread, "java/lang/NullPointerException", "");
        return;
    }
    if (printStream->kind != Kind::PrintStream) Abort("fatal", "printing to a " + printStream->cls->name);
    if (printStream->standardHandle) {
        WriteHandle(GetStdHandle(printStream->standardHandle), bytes);
        return;
    }
    Object* target = printStream->target;
    switch (target->kind) {
        case Kind::FileStream:
            WriteHandle(target->file, bytes);
            break;
        case Kind::BytesStream:
            target->bytes += bytes;
            break;
        case Kind::PrintStream:
            Print(target, bytes, thread);
            break;
        default:
            Abort("fatal", "a PrintStream over a " + target->cls->name);
    }
}

namespace {
jint CallVfprintf(VfprintfHook hook, FILE* stream, const char* format, ...) {
    va_list args;
    va_start(args, format);
    jint result = hook(stream, format, args);
    va_end(args);
    return result;
}
}  // namespace

// Without a hook HotSpot prints to the C runtime's stderr, in text mode.
void WriteVmError(const std::string& text) {
    if (VfprintfHook hook = TheWorld().vfprintfHook) {
        CallVfprintf(hook, stderr, "%s", text.c_str());
        return;
    }
    std::string lines;
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    WriteHandle(GetStdHandle(STD_ERROR_HANDLE), lines);
}

void SystemExit(long code) {
    Record("exit", std::to_string(code));
    if (ExitHook hook = TheWorld().exitHook) {
        Unlocked unlocked;
        hook(code);
    }
    ExitProcess(static_cast<UINT>(code));
}

// ---- threads and references -----------------------------------------------

Thread* CurrentThread() { return static_cast<Thread*>(TlsGetValue(kTlsThread)); }

Thread* AttachCurrent(const std::string& name, bool daemon) {
    Thread* thread = CurrentThread();
    if (thread && thread->attached) return thread;
    if (!thread) {
        thread = new Thread;
        thread->id = GetCurrentThreadId();
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread->handle,
                        SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, 0);
        thread->env.functions = FunctionTable();
        thread->env.thread = thread;
        TlsSetValue(kTlsThread, thread);
        TheWorld().threads.push_back(thread);
    }
    thread->name = name;
    thread->daemon = daemon;
    thread->attached = true;
    thread->pending = nullptr;
    return thread;
}

void DetachCurrent(Thread* thread) {
    thread->attached = false;
    thread->pending = nullptr;
    for (Ref* ref : thread->locals) ref->live = false;
    thread->locals.clear();
}

jobject NewLocal(Thread& thread, Object* object) {
    if (!object) return nullptr;
    Ref* ref = new Ref;
    ref->object = object;
    ref->owner = &thread;
    thread.locals.push_back(ref);
    AllRefs().insert(ref);
    return reinterpret_cast<jobject>(ref);
}

jobject NewGlobal(Object* object) {
    if (!object) return nullptr;
    Ref* ref = new Ref;
    ref->object = object;
    ref->global = true;
    AllRefs().insert(ref);
    return reinterpret_cast<jobject>(ref);
}

Ref* RefOf(jobject handle, const char* function) {
    if (!handle) return nullptr;
    Ref* ref = reinterpret_cast<Ref*>(handle);
    if (!AllRefs().count(ref)) Abort("fatal", std::string(function) + " was given an invalid reference");
    if (!ref->live) {
        Abort("fatal", std::string(function) + " was given a deleted " + (ref->global ? "global" : "local") + " reference");
    }
    if (!ref->global && ref->owner != CurrentThread()) {
        Warn(std::string(function) + " was given a local reference of another thread");
    }
    return ref;
}

Object* Resolve(jobject handle, const char* function) {
    Ref* ref = RefOf(handle, function);
    return ref ? ref->object : nullptr;
}

}  // namespace fakejvm
