#include "framework/win32/app_module.h"

AppModule appModule;

HRESULT AppModule::Init(HINSTANCE instance) {
    if (!instance) return E_INVALIDARG;
    instance_ = instance;
    // Window classes and dialogs registered later share this lock.
    InitializeCriticalSection(&lock_);
    initialized_ = true;
    return S_OK;
}

void AppModule::Term() {
    if (initialized_) DeleteCriticalSection(&lock_);
    initialized_ = false;
}
