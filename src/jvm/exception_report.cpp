#include "jvm/exception_report.h"

#include "launcher/launcher.h"

namespace {

jobject NewObjectOf(JNIEnv* env, const char* className, const char* signature, jobject argument) {
    jclass type = env->FindClass(className);
    jmethodID init = type ? env->GetMethodID(type, "<init>", signature) : nullptr;
    if (!init) return nullptr;
    return argument ? env->NewObject(type, init, argument) : env->NewObject(type, init);
}

void DescribePending(JNIEnv* env) {
    if (env->ExceptionOccurred()) env->ExceptionDescribe();
}

}  // namespace

bool StackTraceText(JNIEnv* env, jthrowable throwable, Array<jchar>& text) {
    text.Clear();
    jobject bytes = NewObjectOf(env, "java/io/ByteArrayOutputStream", "()V", nullptr);
    jobject print = bytes ? NewObjectOf(env, "java/io/PrintStream", "(Ljava/io/OutputStream;)V", bytes) : nullptr;
    if (!print) return false;
    jclass thrownClass = env->GetObjectClass(throwable);
    jmethodID printStackTrace =
        thrownClass ? env->GetMethodID(thrownClass, "printStackTrace", "(Ljava/io/PrintStream;)V") : nullptr;
    if (!printStackTrace) return false;
    env->CallVoidMethod(throwable, printStackTrace, print);
    DescribePending(env);
    jclass bytesClass = env->GetObjectClass(bytes);
    jmethodID toString = bytesClass ? env->GetMethodID(bytesClass, "toString", "()Ljava/lang/String;") : nullptr;
    if (!toString) return false;
    auto trace = static_cast<jstring>(env->CallObjectMethod(bytes, toString));
    DescribePending(env);
    if (!trace) return false;
    // The text as the characters it is, not as modified UTF-8 bytes.
    jsize length = env->GetStringLength(trace);
    const jchar* chars = env->GetStringChars(trace, nullptr);
    if (!chars) return false;
    for (jsize i = 0; i < length; ++i) text.Append(chars[i]);
    env->ReleaseStringChars(trace, chars);
    return true;
}

bool ReportUncaughtException(Launcher& launcher, jthrowable throwable, JNIEnv* env) {
    (void)launcher;
    Array<jchar> text;
    if (!StackTraceText(env, throwable, text) || text.IsEmpty()) return false;
    JavaExceptionDialog dialog(&text[0], text.Count());
    return dialog.ShowModal(os::ActiveWindow()) != JavaExceptionDialog::kIgnore;
}
