// The application's module object: the executable's instance handle for
// resources and windows, kept from start-up to shut-down.
#pragma once

#include <windows.h>

class AppModule {
public:
    HRESULT Init(HINSTANCE instance);
    void Term();
    HINSTANCE Instance() const { return instance_ ? instance_ : GetModuleHandleA(nullptr); }

private:
    HINSTANCE instance_ = nullptr;
    CRITICAL_SECTION lock_;
    bool initialized_ = false;
};

extern AppModule appModule;
