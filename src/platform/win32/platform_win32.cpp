// The seam's Win32 implementation.
#include <windows.h>
#include <commctrl.h>

#include "framework/kstring.h"
#include "framework/win32/app_module.h"
#include "platform/platform.h"

namespace os {

int CharSize(const char* p) {
    if (!*p) return 0;
    return static_cast<int>(CharNextA(p) - p);
}

bool IsSpaceChar(const char* p, int size) {
    WORD types[2] = {0, 0};
    if (size < 1 || size > 2) return false;
    if (!GetStringTypeExA(GetThreadLocale(), CT_CTYPE1, p, size, types)) return false;
    return (types[0] & C1_SPACE) != 0;
}

const char* CommandLine() {
    const char* line = GetCommandLineA();
    return line ? line : "";
}

bool ModuleFileName(String& path, unsigned long& error) {
    char* buffer = path.GetBuffer(MAX_PATH);
    if (!buffer) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    error = GetLastError();
    path.ReleaseBuffer(length < MAX_PATH ? static_cast<int>(length) : MAX_PATH - 1);
    return length != 0;
}

unsigned long ReadProfileValue(const char* section, const char* key, char* buffer, unsigned long size,
                                const char* file) {
    return GetPrivateProfileStringA(section, key, "", buffer, size, file);
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

int LoadResourceText(unsigned id, char* buffer, int size) {
    return LoadStringA(appModule.Instance(), id, buffer, size);
}

void ShowMessageBox(Handle owner, const char* text, const char* caption, unsigned style) {
    // A stale owner (a splash window already gone) would make the box fail: show it unowned.
    HWND window = static_cast<HWND>(owner);
    if (window && !IsWindow(window)) window = nullptr;
    MessageBoxA(window, text, caption, style);
}

bool SetCurrentDir(const char* path) { return SetCurrentDirectoryA(path) != FALSE; }

Handle ActiveWindow() { return GetActiveWindow(); }

void PrepareUserInterface() {
    SetThreadLocale(GetSystemDefaultLCID());
    DefWindowProcA(nullptr, WM_NULL, 0, 0);
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
}

int InitializeModule(Handle module) { return appModule.Init(static_cast<HINSTANCE>(module)); }

void TerminateModule() { appModule.Term(); }

}  // namespace os
