// InvokeMain's failure paths against a hand-made JNI table, for the answers
// a conforming VM never gives (HotSpot itself is exercised in tests/jni).
#include <string.h>

#include <string>

#include "jvm/jni_api.h"
#include "jvm/jvm.h"
#include "launcher/launcher.h"
#include "support/fake_platform.h"

namespace {

struct Script {
    bool newStringFails = false;
    bool classMissing = false;
    bool mainMissing = false;
    bool exceptionPending = false;
    jint detachResult = JNI_OK;
    int describes = 0, detaches = 0, utfReleases = 0, mainCalls = 0;
};
Script script;

jobject Handle(int n) { return reinterpret_cast<jobject>(static_cast<intptr_t>(n)); }

jstring JNICALL NewString(JNIEnv*, const jchar*, jsize) {
    return script.newStringFails ? nullptr : static_cast<jstring>(Handle(1));
}
const char* JNICALL GetStringUTFChars(JNIEnv*, jstring, jboolean*) { return "com/example/App"; }
void JNICALL ReleaseStringUTFChars(JNIEnv*, jstring, const char*) { ++script.utfReleases; }
jclass JNICALL FindClass(JNIEnv*, const char* name) {
    if (script.classMissing && strcmp(name, "com/example/App") == 0) return nullptr;
    return static_cast<jclass>(Handle(2));
}
jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass, const char*, const char*) {
    return script.mainMissing ? nullptr : reinterpret_cast<jmethodID>(Handle(3));
}
jthrowable JNICALL ExceptionOccurred(JNIEnv*) {
    return script.exceptionPending ? static_cast<jthrowable>(Handle(4)) : nullptr;
}
void JNICALL ExceptionDescribe(JNIEnv*) {
    ++script.describes;
    script.exceptionPending = false;
}
jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize, jclass, jobject) { return static_cast<jobjectArray>(Handle(5)); }
void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray, jsize, jobject) {}
void JNICALL DeleteLocalRef(JNIEnv*, jobject) {}
void JNICALL CallStaticVoidMethodV(JNIEnv*, jclass, jmethodID, va_list) { ++script.mainCalls; }
jint JNICALL DetachCurrentThread(JavaVM*) {
    ++script.detaches;
    return script.detachResult;
}

class InvokeMainTest : public WithFakeSystem {
protected:
    void SetUp() override {
        WithFakeSystem::SetUp();
        script = Script();
        memset(&functions, 0, sizeof functions);
        functions.NewString = NewString;
        functions.GetStringUTFChars = GetStringUTFChars;
        functions.ReleaseStringUTFChars = ReleaseStringUTFChars;
        functions.FindClass = FindClass;
        functions.GetStaticMethodID = GetStaticMethodID;
        functions.ExceptionOccurred = ExceptionOccurred;
        functions.ExceptionDescribe = ExceptionDescribe;
        functions.NewObjectArray = NewObjectArray;
        functions.SetObjectArrayElement = SetObjectArrayElement;
        functions.DeleteLocalRef = DeleteLocalRef;
        functions.CallStaticVoidMethodV = CallStaticVoidMethodV;
        env.functions = &functions;
        memset(&invocation, 0, sizeof invocation);
        invocation.DetachCurrentThread = DetachCurrentThread;
        vm.functions = &invocation;
        launcher.jniEnv = &env;
        launcher.javaVm = &vm;
        launcher.mainClass = "com/example/App";
    }
    // The teardown would destroy this VM; it has no such function.
    void TearDown() override { launcher.javaVm = nullptr; }
    JNINativeInterface_ functions;
    JNIEnv env;
    JNIInvokeInterface_ invocation;
    JavaVM vm;
    Launcher launcher;
};

TEST_F(InvokeMainTest, EveryPathDetachesAndOnlyARunMainSucceeds) {
    struct Case { const char* name; void (*arrange)(); const char* box; int describes; bool ok; };
    const Case cases[] = {
        {"main runs", [] {}, nullptr, 0, true},
        {"name not convertible", [] { script.newStringFails = true; }, "Failed to load Main Class: com/example/App.\n", 0,
         false},
        {"class missing", [] { script.classMissing = true; }, "Could not find the main class com/example/App.\n", 1,
         false},
        {"no main, nothing pending", [] { script.mainMissing = true; }, "No main method found in specified class.\n", 0,
         false},
        {"no main, error pending", [] { script.mainMissing = script.exceptionPending = true; }, nullptr, 1, false},
        {"detach refused", [] { script.detachResult = JNI_ERR; }, nullptr, 0, false},
    };
    for (const Case& c : cases) {
        ResetFake();
        SetUp();
        c.arrange();
        EXPECT_EQ(InvokeMain(launcher), c.ok) << c.name;
        EXPECT_EQ(script.detaches, 1) << c.name;
        EXPECT_EQ(script.describes, c.describes) << c.name;
        EXPECT_EQ(script.mainCalls, c.ok || script.detachResult != JNI_OK ? 1 : 0) << c.name;
        if (c.box) {
            ASSERT_EQ(Fake().boxes.size(), 1u) << c.name;
            EXPECT_EQ(Fake().boxes[0].text, c.box);
        } else {
            EXPECT_TRUE(Fake().boxes.empty()) << c.name;
        }
        // The name's UTF-8 copy is given back whatever became of the lookup.
        if (!script.newStringFails) EXPECT_EQ(script.utfReleases, 1) << c.name;
    }
}

}  // namespace
