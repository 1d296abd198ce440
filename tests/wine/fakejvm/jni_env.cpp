// The JNIEnv function table of the JVM double. Slots a launcher has no
// business calling end the process and name themselves in the record.
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <set>
#include <utility>

#include "jni_slots.h"
#include "world.h"

namespace fakejvm {

namespace {

#define FAKEJVM_SLOT_ENUM(name) kSlot_##name,
enum SlotIndex : size_t { FAKEJVM_JNI_SLOTS(FAKEJVM_SLOT_ENUM) kSlotCount };
#undef FAKEJVM_SLOT_ENUM

#define FAKEJVM_SLOT_NAME(name) #name,
constexpr const char* kSlotNames[] = {FAKEJVM_JNI_SLOTS(FAKEJVM_SLOT_NAME)};
#undef FAKEJVM_SLOT_NAME

// The names above must be the table's, slot for slot.
static_assert(sizeof(JNINativeInterface_) == kSlotCount * sizeof(void*), "jni.h has other slots");
#define FAKEJVM_SLOT_CHECK(name) \
    static_assert(offsetof(JNINativeInterface_, name) == kSlot_##name * sizeof(void*), #name);
FAKEJVM_JNI_SLOTS(FAKEJVM_SLOT_CHECK)
#undef FAKEJVM_SLOT_CHECK

constexpr jint kCurrentVersion = JNI_VERSION_10;  // what HotSpot 17 reports

std::set<MethodInfo*>& HandedOut() {
    static std::set<MethodInfo*> methods;
    return methods;
}

// Checks every JNI call makes: the JNIEnv is one of ours and belongs to the
// calling, attached thread; most functions want no exception pending.
Thread& Enter(JNIEnv* env, const char* function, bool exceptionSafe = false) {
    EnvBlock* block = reinterpret_cast<EnvBlock*>(env);
    if (!block || block->functions != FunctionTable()) Abort("fatal", std::string(function) + " was given no JNIEnv of ours");
    Thread& thread = *block->thread;
    if (!TheWorld().created) Warn(std::string(function) + " called with no VM");
    if (!thread.attached) Warn(std::string(function) + " called with the JNIEnv of a detached thread");
    if (&thread != CurrentThread()) Warn(std::string(function) + " called with the JNIEnv of another thread");
    if (!exceptionSafe && thread.pending) Warn(std::string(function) + " called with an exception pending");
    return thread;
}

#define ENTER(name) \
    Locked locked;  \
    Thread& thread = Enter(env, name)
#define ENTER_EXCEPTION_SAFE(name) \
    Locked locked;                 \
    Thread& thread = Enter(env, name, true)

ClassInfo* ResolveClass(jclass handle, const char* function) {
    Object* object = Resolve(handle, function);
    if (!object) Abort("fatal", std::string(function) + " was given a null class");
    if (object->kind != Kind::Class) Abort("fatal", std::string(function) + " was given a " + object->cls->name + ", not a class");
    return object->mirrored;
}

Object* ResolveKind(jobject handle, Kind kind, const char* what, const char* function) {
    Object* object = Resolve(handle, function);
    if (!object) Abort("fatal", std::string(function) + " was given null");
    if (object->kind != kind) Abort("fatal", std::string(function) + " was given a " + object->cls->name + ", not " + what);
    return object;
}

MethodInfo* MethodOf(jmethodID id, const char* function) {
    MethodInfo* method = reinterpret_cast<MethodInfo*>(id);
    if (!HandedOut().count(method)) Abort("fatal", std::string(function) + " was given an invalid method ID");
    return method;
}

void Pend(Thread& thread, Object* thrown) {
    thread.pending = thrown;
    Record("pending", Utf8(ToString(thrown)));
}

void OutOfBounds(Thread& thread, const std::string& message) {
    ThrowPending(thread, "java/lang/ArrayIndexOutOfBoundsException", message);
}

// The argument types come from the method's signature, as in HotSpot.
template <typename Next>
std::vector<Value> ReadArguments(MethodInfo* method, const char* function, Next next) {
    std::vector<Value> values;
    const std::string& signature = method->signature;
    for (size_t i = 1; signature[i] != ')'; ++i) {
        char type = signature[i];
        size_t start = i;
        while (signature[i] == '[') ++i;
        if (signature[i] == 'L') i = signature.find(';', i);
        values.push_back(next(i != start || type == 'L' ? 'L' : type, function));
    }
    return values;
}

std::vector<Value> Arguments(MethodInfo* method, const char* function, va_list args) {
    return ReadArguments(method, function, [&](char type, const char* name) {
        Value value;
        switch (type) {
            case 'L':
                value.object = Resolve(va_arg(args, jobject), name);
                break;
            case 'J':
                value.raw.j = va_arg(args, jlong);
                break;
            case 'F':
                value.raw.f = static_cast<jfloat>(va_arg(args, double));
                break;
            case 'D':
                value.raw.d = va_arg(args, double);
                break;
            case 'Z':
                value.raw.z = static_cast<jboolean>(va_arg(args, int));
                break;
            default:
                value.raw.i = va_arg(args, jint);
        }
        return value;
    });
}

std::vector<Value> Arguments(MethodInfo* method, const char* function, const jvalue* args) {
    size_t index = 0;
    return ReadArguments(method, function, [&](char type, const char* name) {
        Value value;
        value.raw = args[index++];
        if (type == 'L') value.object = Resolve(value.raw.l, name);
        return value;
    });
}

const char* ReturnKind(char type) {
    switch (type) {
        case 'V':
            return "void";
        case 'I':
            return "int";
        case 'L':
        case '[':
            return "object";
        default:
            return "another type";
    }
}

template <typename Source>
jvalue CallCore(JNIEnv* env, const char* function, bool isStatic, jobject target, jmethodID id, char wanted,
                Source source) {
    ENTER(function);
    MethodInfo* method = MethodOf(id, function);
    Object* self = nullptr;
    if (isStatic) {
        if (!method->isStatic) Abort("fatal", std::string(function) + " was given the instance method " + method->Describe());
        ClassInfo* cls = ResolveClass(static_cast<jclass>(target), function);
        if (!cls->IsA(method->owner)) Warn(std::string(function) + " was given " + cls->name + " for " + method->Describe());
    } else {
        if (method->isStatic || method->name == "<init>") {
            Abort("fatal", std::string(function) + " was given the method " + method->Describe());
        }
        self = Resolve(target, function);
        if (!self) Abort("fatal", std::string(function) + " was given a null object for " + method->Describe());
        if (!self->cls->IsA(method->owner)) {
            Abort("fatal", std::string(function) + " was given a " + self->cls->name + " for " + method->Describe());
        }
    }
    char returns = method->ReturnType();
    char normalized = returns == '[' ? 'L' : returns;
    if (wanted != normalized && wanted != 'V') {
        Warn(std::string(function) + " wants " + ReturnKind(wanted) + " from " + method->Describe());
    } else if (wanted == 'V' && returns != 'V') {
        Warn(std::string(function) + " drops the result of " + method->Describe());
    }
    std::vector<Value> args = Arguments(method, function, source);
    Value result = Invoke(thread, Virtual(self, method), self, std::move(args));
    jvalue out{};
    if (wanted == 'L') {
        out.l = normalized == 'L' ? NewLocal(thread, result.object) : nullptr;
    } else if (wanted == 'I') {
        out.i = normalized == 'I' ? result.raw.i : 0;
    }
    if (thread.pending) out = jvalue{};
    return out;
}

template <typename Source>
jobject NewObjectCore(JNIEnv* env, const char* function, jclass clazz, jmethodID id, Source source) {
    ENTER(function);
    ClassInfo* cls = ResolveClass(clazz, function);
    MethodInfo* method = MethodOf(id, function);
    if (method->name != "<init>" || method->owner != cls) {
        Abort("fatal", std::string(function) + " was given " + method->Describe() + " to make a " + cls->name);
    }
    std::vector<Value> args = Arguments(method, function, source);
    Object* object = NewObjectOf(cls, Kind::Plain);
    Invoke(thread, method, object, std::move(args));
    return thread.pending ? nullptr : NewLocal(thread, object);
}

// ---- the table's functions ------------------------------------------------

jint JNICALL GetVersion(JNIEnv* env) {
    ENTER("GetVersion");
    (void)thread;
    return kCurrentVersion;
}

jclass JNICALL FindClass(JNIEnv* env, const char* name) {
    ENTER("FindClass");
    if (!name) {
        ThrowPending(thread, "java/lang/NoClassDefFoundError", "No class name given");
        return nullptr;
    }
    Record("findclass", name);
    if (ClassInfo* cls = LookUpClass(name)) return static_cast<jclass>(NewLocal(thread, cls->mirror));
    // As from the application class loader: the loader's ClassNotFoundException
    // is the cause, unless the name only differs by using dots.
    std::u16string text = DecodeModifiedUtf8(name);
    Object* error = NewThrowable(LookUpClass("java/lang/NoClassDefFoundError"), &text);
    std::string dotted = name;
    std::replace(dotted.begin(), dotted.end(), '/', '.');
    std::string slashed = name;
    std::replace(slashed.begin(), slashed.end(), '.', '/');
    if (!LookUpClass(slashed)) {
        std::u16string causeText = DecodeModifiedUtf8(dotted.c_str());
        Object* cause = NewThrowable(LookUpClass("java/lang/ClassNotFoundException"), &causeText);
        cause->frames = {
            "java.base/jdk.internal.loader.BuiltinClassLoader.loadClass(BuiltinClassLoader.java:641)",
            "java.base/jdk.internal.loader.ClassLoaders$AppClassLoader.loadClass(ClassLoaders.java:188)",
            "java.base/java.lang.ClassLoader.loadClass(ClassLoader.java:520)",
        };
        error->cause = cause;
    }
    Pend(thread, error);
    return nullptr;
}

jclass JNICALL GetObjectClass(JNIEnv* env, jobject object) {
    ENTER("GetObjectClass");
    Object* resolved = Resolve(object, "GetObjectClass");
    if (!resolved) Abort("fatal", "GetObjectClass was given null");
    return static_cast<jclass>(NewLocal(thread, resolved->cls->mirror));
}

jmethodID MethodId(JNIEnv* env, const char* function, jclass clazz, const char* name, const char* signature,
                   bool isStatic) {
    ENTER(function);
    ClassInfo* cls = ResolveClass(clazz, function);
    if (!name || !signature) Abort("fatal", std::string(function) + " was given a null name or signature");
    std::string prefix = isStatic ? "static " : "";
    Record("methodid", prefix + cls->name + "." + name + signature);
    MethodInfo* method = LookUpMethod(cls, name, signature, isStatic);
    if (!method) {
        // HotSpot's message: "static Lcom/example/App;.main([Ljava/lang/String;)V".
        ThrowPending(thread, "java/lang/NoSuchMethodError", prefix + "L" + cls->name + ";." + name + signature);
        return nullptr;
    }
    HandedOut().insert(method);
    return reinterpret_cast<jmethodID>(method);
}

jmethodID JNICALL GetMethodID(JNIEnv* env, jclass clazz, const char* name, const char* signature) {
    return MethodId(env, "GetMethodID", clazz, name, signature, false);
}

jmethodID JNICALL GetStaticMethodID(JNIEnv* env, jclass clazz, const char* name, const char* signature) {
    return MethodId(env, "GetStaticMethodID", clazz, name, signature, true);
}

jobject JNICALL NewObject(JNIEnv* env, jclass clazz, jmethodID id, ...) {
    va_list args;
    va_start(args, id);
    jobject object = NewObjectCore(env, "NewObject", clazz, id, args);
    va_end(args);
    return object;
}

jobject JNICALL NewObjectV(JNIEnv* env, jclass clazz, jmethodID id, va_list args) {
    return NewObjectCore(env, "NewObjectV", clazz, id, args);
}

jobject JNICALL NewObjectA(JNIEnv* env, jclass clazz, jmethodID id, const jvalue* args) {
    return NewObjectCore(env, "NewObjectA", clazz, id, args);
}

#define FAKEJVM_CALLS(Name, Result, Target, isStatic, wanted, Pick)                                         \
    Result JNICALL Name(JNIEnv* env, Target target, jmethodID id, ...) {                                    \
        va_list args;                                                                                       \
        va_start(args, id);                                                                                 \
        jvalue result = CallCore(env, #Name, isStatic, target, id, wanted, args);                           \
        va_end(args);                                                                                       \
        return Pick(result);                                                                                \
    }                                                                                                       \
    Result JNICALL Name##V(JNIEnv* env, Target target, jmethodID id, va_list args) {                        \
        return Pick(CallCore(env, #Name "V", isStatic, target, id, wanted, args));                          \
    }                                                                                                       \
    Result JNICALL Name##A(JNIEnv* env, Target target, jmethodID id, const jvalue* args) {                  \
        return Pick(CallCore(env, #Name "A", isStatic, target, id, wanted, args));                          \
    }

#define FAKEJVM_PICK_VOID(value) static_cast<void>(value)
#define FAKEJVM_PICK_INT(value) (value).i
#define FAKEJVM_PICK_OBJECT(value) (value).l

FAKEJVM_CALLS(CallStaticVoidMethod, void, jclass, true, 'V', FAKEJVM_PICK_VOID)
FAKEJVM_CALLS(CallStaticIntMethod, jint, jclass, true, 'I', FAKEJVM_PICK_INT)
FAKEJVM_CALLS(CallStaticObjectMethod, jobject, jclass, true, 'L', FAKEJVM_PICK_OBJECT)
FAKEJVM_CALLS(CallVoidMethod, void, jobject, false, 'V', FAKEJVM_PICK_VOID)
FAKEJVM_CALLS(CallObjectMethod, jobject, jobject, false, 'L', FAKEJVM_PICK_OBJECT)

jstring JNICALL NewString(JNIEnv* env, const jchar* chars, jsize length) {
    ENTER("NewString");
    if (length < 0 || (length > 0 && !chars)) Abort("fatal", "NewString was given a bad length or no characters");
    std::u16string text(reinterpret_cast<const char16_t*>(chars), static_cast<size_t>(length));
    return static_cast<jstring>(NewLocal(thread, NewStringObject(text)));
}

jstring JNICALL NewStringUTF(JNIEnv* env, const char* bytes) {
    ENTER("NewStringUTF");
    if (!bytes) return nullptr;
    return static_cast<jstring>(NewLocal(thread, NewStringObject(DecodeModifiedUtf8(bytes))));
}

jsize JNICALL GetStringLength(JNIEnv* env, jstring string) {
    ENTER("GetStringLength");
    (void)thread;
    return static_cast<jsize>(ResolveKind(string, Kind::String, "a String", "GetStringLength")->chars.size());
}

void* HandOut(const void* data, size_t size, jboolean* isCopy) {
    void* buffer = malloc(size);
    memcpy(buffer, data, size);
    TheWorld().buffers.push_back(buffer);
    if (isCopy) *isCopy = JNI_TRUE;
    return buffer;
}

void TakeBack(const void* buffer, const char* function) {
    std::vector<void*>& buffers = TheWorld().buffers;
    auto found = std::find(buffers.begin(), buffers.end(), buffer);
    if (found == buffers.end()) Abort("fatal", std::string(function) + " was given a buffer not handed out or released before");
    buffers.erase(found);
    free(const_cast<void*>(buffer));
}

const jchar* JNICALL GetStringChars(JNIEnv* env, jstring string, jboolean* isCopy) {
    ENTER("GetStringChars");
    (void)thread;
    // NUL-terminated, as HotSpot's copy is, though JNI does not promise it.
    std::u16string chars = ResolveKind(string, Kind::String, "a String", "GetStringChars")->chars;
    return static_cast<const jchar*>(HandOut(chars.c_str(), (chars.size() + 1) * sizeof(char16_t), isCopy));
}

void JNICALL ReleaseStringChars(JNIEnv* env, jstring string, const jchar* chars) {
    ENTER_EXCEPTION_SAFE("ReleaseStringChars");
    (void)thread;
    ResolveKind(string, Kind::String, "a String", "ReleaseStringChars");
    TakeBack(chars, "ReleaseStringChars");
}

const char* JNICALL GetStringUTFChars(JNIEnv* env, jstring string, jboolean* isCopy) {
    ENTER("GetStringUTFChars");
    (void)thread;
    std::string bytes = ModifiedUtf8(ResolveKind(string, Kind::String, "a String", "GetStringUTFChars")->chars);
    return static_cast<const char*>(HandOut(bytes.c_str(), bytes.size() + 1, isCopy));
}

void JNICALL ReleaseStringUTFChars(JNIEnv* env, jstring string, const char* chars) {
    ENTER_EXCEPTION_SAFE("ReleaseStringUTFChars");
    (void)thread;
    ResolveKind(string, Kind::String, "a String", "ReleaseStringUTFChars");
    TakeBack(chars, "ReleaseStringUTFChars");
}

jsize JNICALL GetStringUTFLength(JNIEnv* env, jstring string) {
    ENTER("GetStringUTFLength");
    (void)thread;
    return static_cast<jsize>(ModifiedUtf8(ResolveKind(string, Kind::String, "a String", "GetStringUTFLength")->chars).size());
}

jbyteArray JNICALL NewByteArray(JNIEnv* env, jsize length) {
    ENTER("NewByteArray");
    if (length < 0) {
        ThrowPending(thread, "java/lang/NegativeArraySizeException", std::to_string(length));
        return nullptr;
    }
    Object* array = NewObjectOf(LookUpClass("[B"), Kind::ByteArray);
    array->bytes.assign(static_cast<size_t>(length), '\0');
    return static_cast<jbyteArray>(NewLocal(thread, array));
}

// HotSpot's message for a region outside an array.
bool RegionFits(Thread& thread, size_t size, jsize start, jsize length) {
    if (start < 0 || length < 0 || static_cast<long long>(start) + length > static_cast<long long>(size)) {
        OutOfBounds(thread, "Array region " + std::to_string(start) + ".." +
                                std::to_string(static_cast<long long>(start) + length) + " out of bounds for length " +
                                std::to_string(size));
        return false;
    }
    return true;
}

void JNICALL SetByteArrayRegion(JNIEnv* env, jbyteArray array, jsize start, jsize length, const jbyte* bytes) {
    ENTER("SetByteArrayRegion");
    Object* target = ResolveKind(array, Kind::ByteArray, "a byte[]", "SetByteArrayRegion");
    if (!RegionFits(thread, target->bytes.size(), start, length)) return;
    if (length > 0) memcpy(&target->bytes[static_cast<size_t>(start)], bytes, static_cast<size_t>(length));
}

void JNICALL GetByteArrayRegion(JNIEnv* env, jbyteArray array, jsize start, jsize length, jbyte* bytes) {
    ENTER("GetByteArrayRegion");
    Object* source = ResolveKind(array, Kind::ByteArray, "a byte[]", "GetByteArrayRegion");
    if (!RegionFits(thread, source->bytes.size(), start, length)) return;
    if (length > 0) memcpy(bytes, &source->bytes[static_cast<size_t>(start)], static_cast<size_t>(length));
}

jobjectArray JNICALL NewObjectArray(JNIEnv* env, jsize length, jclass elementClass, jobject initial) {
    ENTER("NewObjectArray");
    ClassInfo* element = ResolveClass(elementClass, "NewObjectArray");
    Object* fill = Resolve(initial, "NewObjectArray");
    if (length < 0) {
        ThrowPending(thread, "java/lang/NegativeArraySizeException", std::to_string(length));
        return nullptr;
    }
    if (fill && !fill->cls->IsA(element)) Warn("NewObjectArray fills a " + element->name + "[] with a " + fill->cls->name);
    Object* array = NewObjectOf(ArrayClassOf(element), Kind::ObjectArray);
    array->elementClass = element;
    array->elements.assign(static_cast<size_t>(length), fill);
    return static_cast<jobjectArray>(NewLocal(thread, array));
}

jsize JNICALL GetArrayLength(JNIEnv* env, jarray array) {
    ENTER("GetArrayLength");
    (void)thread;
    Object* resolved = Resolve(array, "GetArrayLength");
    if (!resolved || (resolved->kind != Kind::ObjectArray && resolved->kind != Kind::ByteArray)) {
        Abort("fatal", "GetArrayLength was given no array");
    }
    return static_cast<jsize>(resolved->kind == Kind::ByteArray ? resolved->bytes.size() : resolved->elements.size());
}

bool IndexFits(Thread& thread, const Object* array, jsize index) {
    if (index < 0 || static_cast<size_t>(index) >= array->elements.size()) {
        OutOfBounds(thread, "Index " + std::to_string(index) + " out of bounds for length " +
                                std::to_string(array->elements.size()));
        return false;
    }
    return true;
}

jobject JNICALL GetObjectArrayElement(JNIEnv* env, jobjectArray array, jsize index) {
    ENTER("GetObjectArrayElement");
    Object* resolved = ResolveKind(array, Kind::ObjectArray, "an object array", "GetObjectArrayElement");
    if (!IndexFits(thread, resolved, index)) return nullptr;
    return NewLocal(thread, resolved->elements[static_cast<size_t>(index)]);
}

void JNICALL SetObjectArrayElement(JNIEnv* env, jobjectArray array, jsize index, jobject value) {
    ENTER("SetObjectArrayElement");
    Object* resolved = ResolveKind(array, Kind::ObjectArray, "an object array", "SetObjectArrayElement");
    Object* element = Resolve(value, "SetObjectArrayElement");
    if (!IndexFits(thread, resolved, index)) return;
    if (element && !element->cls->IsA(resolved->elementClass)) {
        ThrowPending(thread, "java/lang/ArrayStoreException",
                     "type mismatch: can not store " + element->cls->Dotted() + " to index " + std::to_string(index) +
                         " of " + resolved->elementClass->Dotted() + "[" + std::to_string(resolved->elements.size()) +
                         "]");
        return;
    }
    resolved->elements[static_cast<size_t>(index)] = element;
}

jboolean JNICALL IsSameObject(JNIEnv* env, jobject first, jobject second) {
    ENTER("IsSameObject");
    (void)thread;
    return Resolve(first, "IsSameObject") == Resolve(second, "IsSameObject") ? JNI_TRUE : JNI_FALSE;
}

jboolean JNICALL IsInstanceOf(JNIEnv* env, jobject object, jclass clazz) {
    ENTER("IsInstanceOf");
    (void)thread;
    ClassInfo* cls = ResolveClass(clazz, "IsInstanceOf");
    Object* resolved = Resolve(object, "IsInstanceOf");
    return !resolved || resolved->cls->IsA(cls) ? JNI_TRUE : JNI_FALSE;
}

// Deleting twice is tolerated by HotSpot, so only noted; using a deleted reference is not.
Ref* RefToDelete(jobject handle, const char* function) {
    Ref* ref = reinterpret_cast<Ref*>(handle);
    if (ref && !ref->live) {
        Warn(std::string(function) + " was given a reference deleted before");
        return nullptr;
    }
    return RefOf(handle, function);
}

void JNICALL DeleteLocalRef(JNIEnv* env, jobject object) {
    ENTER_EXCEPTION_SAFE("DeleteLocalRef");
    Ref* ref = RefToDelete(object, "DeleteLocalRef");
    if (!ref) return;
    if (ref->global) {
        Warn("DeleteLocalRef was given a global reference");
        return;
    }
    ref->live = false;
    std::vector<Ref*>& locals = ref->owner->locals;
    locals.erase(std::remove(locals.begin(), locals.end(), ref), locals.end());
    (void)thread;
}

jobject JNICALL NewGlobalRef(JNIEnv* env, jobject object) {
    ENTER("NewGlobalRef");
    (void)thread;
    return NewGlobal(Resolve(object, "NewGlobalRef"));
}

void JNICALL DeleteGlobalRef(JNIEnv* env, jobject object) {
    ENTER_EXCEPTION_SAFE("DeleteGlobalRef");
    (void)thread;
    Ref* ref = RefToDelete(object, "DeleteGlobalRef");
    if (!ref) return;
    if (!ref->global) {
        Warn("DeleteGlobalRef was given a local reference");
        return;
    }
    ref->live = false;
}

jthrowable JNICALL ExceptionOccurred(JNIEnv* env) {
    ENTER_EXCEPTION_SAFE("ExceptionOccurred");
    return static_cast<jthrowable>(NewLocal(thread, thread.pending));
}

// HotSpot writes the prefix to its own error stream and the trace through
// printStackTrace() to the current System.err, which may be a file.
void JNICALL ExceptionDescribe(JNIEnv* env) {
    ENTER_EXCEPTION_SAFE("ExceptionDescribe");
    Object* thrown = thread.pending;
    if (!thrown) return;
    thread.pending = nullptr;
    Record("describe", Utf8(ToString(thrown)));
    WriteVmError("Exception in thread \"" + thread.name + "\" ");
    Print(TheWorld().err, Utf8Lossy(StackTrace(thrown)), nullptr);
}

void JNICALL ExceptionClear(JNIEnv* env) {
    ENTER_EXCEPTION_SAFE("ExceptionClear");
    thread.pending = nullptr;
}

jboolean JNICALL ExceptionCheck(JNIEnv* env) {
    ENTER_EXCEPTION_SAFE("ExceptionCheck");
    return thread.pending ? JNI_TRUE : JNI_FALSE;
}

jint JNICALL Throw(JNIEnv* env, jthrowable thrown) {
    ENTER("Throw");
    Object* resolved = Resolve(thrown, "Throw");
    if (!resolved || resolved->kind != Kind::Throwable) Abort("fatal", "Throw was given no Throwable");
    Pend(thread, resolved);
    return JNI_OK;
}

jint JNICALL ThrowNew(JNIEnv* env, jclass clazz, const char* message) {
    ENTER("ThrowNew");
    ClassInfo* cls = ResolveClass(clazz, "ThrowNew");
    if (!cls->IsA(LookUpClass("java/lang/Throwable"))) Abort("fatal", "ThrowNew was given " + cls->name);
    std::u16string text = message ? DecodeModifiedUtf8(message) : u"";
    Pend(thread, NewThrowable(cls, message ? &text : nullptr));
    return JNI_OK;
}

// ---- the table ------------------------------------------------------------

template <size_t Index>
void JNICALL Unexpected() {
    Abort("unexpected", std::string("JNI call ") + kSlotNames[Index]);
}

template <size_t... Index>
void FillUnexpected(void** slots, std::index_sequence<Index...>) {
    ((slots[Index] = reinterpret_cast<void*>(&Unexpected<Index>)), ...);
}

JNINativeInterface_ BuildTable() {
    JNINativeInterface_ table;
    FillUnexpected(reinterpret_cast<void**>(&table), std::make_index_sequence<kSlotCount>{});
    table.reserved0 = table.reserved1 = table.reserved2 = table.reserved3 = nullptr;
#define FAKEJVM_SET(name) table.name = name;
    FAKEJVM_SET(GetVersion)
    FAKEJVM_SET(FindClass)
    FAKEJVM_SET(GetObjectClass)
    FAKEJVM_SET(GetMethodID)
    FAKEJVM_SET(GetStaticMethodID)
    FAKEJVM_SET(NewObject)
    FAKEJVM_SET(NewObjectV)
    FAKEJVM_SET(NewObjectA)
    FAKEJVM_SET(NewString)
    FAKEJVM_SET(NewStringUTF)
    FAKEJVM_SET(GetStringLength)
    FAKEJVM_SET(GetStringChars)
    FAKEJVM_SET(ReleaseStringChars)
    FAKEJVM_SET(GetStringUTFChars)
    FAKEJVM_SET(ReleaseStringUTFChars)
    FAKEJVM_SET(GetStringUTFLength)
    FAKEJVM_SET(NewByteArray)
    FAKEJVM_SET(SetByteArrayRegion)
    FAKEJVM_SET(GetByteArrayRegion)
    FAKEJVM_SET(NewObjectArray)
    FAKEJVM_SET(SetObjectArrayElement)
    FAKEJVM_SET(GetArrayLength)
    FAKEJVM_SET(GetObjectArrayElement)
    FAKEJVM_SET(IsSameObject)
    FAKEJVM_SET(IsInstanceOf)
    FAKEJVM_SET(DeleteLocalRef)
    FAKEJVM_SET(NewGlobalRef)
    FAKEJVM_SET(DeleteGlobalRef)
    FAKEJVM_SET(CallStaticVoidMethod)
    FAKEJVM_SET(CallStaticVoidMethodV)
    FAKEJVM_SET(CallStaticVoidMethodA)
    FAKEJVM_SET(CallStaticIntMethod)
    FAKEJVM_SET(CallStaticIntMethodV)
    FAKEJVM_SET(CallStaticIntMethodA)
    FAKEJVM_SET(CallStaticObjectMethod)
    FAKEJVM_SET(CallStaticObjectMethodV)
    FAKEJVM_SET(CallStaticObjectMethodA)
    FAKEJVM_SET(CallObjectMethod)
    FAKEJVM_SET(CallObjectMethodV)
    FAKEJVM_SET(CallObjectMethodA)
    FAKEJVM_SET(CallVoidMethod)
    FAKEJVM_SET(CallVoidMethodV)
    FAKEJVM_SET(CallVoidMethodA)
    FAKEJVM_SET(ExceptionOccurred)
    FAKEJVM_SET(ExceptionDescribe)
    FAKEJVM_SET(ExceptionClear)
    FAKEJVM_SET(ExceptionCheck)
    FAKEJVM_SET(Throw)
    FAKEJVM_SET(ThrowNew)
#undef FAKEJVM_SET
    return table;
}

}  // namespace

const JNINativeInterface_* FunctionTable() {
    static const JNINativeInterface_ table = BuildTable();
    return &table;
}

}  // namespace fakejvm
