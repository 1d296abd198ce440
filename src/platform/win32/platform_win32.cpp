// The seam's Win32 implementation.
#include <windows.h>
#include <commctrl.h>

#include "framework/kstring.h"
#include "framework/string_list.h"
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

bool PathExists(const char* path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

bool ReadRegistryString(const char* keyPath, const char* valueName, String& value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    bool read = false;
    if (RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS && size > 0) {
        char* buffer = value.GetBuffer(static_cast<int>(size));
        if (buffer && RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) ==
                          ERROR_SUCCESS) {
            buffer[size] = '\0';  // the data need not end with a NUL of its own
            value.ReleaseBuffer();
            read = true;
        } else if (buffer) {
            value.ReleaseBuffer(0);
        }
    }
    RegCloseKey(key);
    return read;
}

void ListRegistrySubkeys(const char* keyPath, StringList& names) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char name[MAX_PATH];
    for (DWORD index = 0;; ++index) {
        DWORD length = MAX_PATH;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.Append(String(name, static_cast<int>(length)));
    }
    RegCloseKey(key);
}

Handle LoadDynamicLibrary(const char* path, const char* dependencyFolder, unsigned long& error) {
    // A full path alone does not make the loader search the runtime's bin folder.
    if (dependencyFolder && *dependencyFolder) SetDllDirectoryA(dependencyFolder);
    HMODULE library = LoadLibraryA(path);
    error = library ? 0 : GetLastError();
    return library;
}

void* FindExport(Handle library, const char* name, unsigned long& error) {
    FARPROC entry = GetProcAddress(static_cast<HMODULE>(library), name);
    error = entry ? 0 : GetLastError();
    return reinterpret_cast<void*>(entry);
}

void SetEnvironment(const char* name, const char* value) { SetEnvironmentVariableA(name, value); }

bool ExpandEnvironmentText(const char* text, String& expanded) {
    DWORD size = ExpandEnvironmentStringsA(text, nullptr, 0);
    if (size == 0) return false;
    // Wine counts the size in UTF-16 units: double-byte text needs up to twice the room.
    DWORD room = size * 2 + 2;
    char* buffer = expanded.GetBuffer(static_cast<int>(room));
    if (!buffer) return false;
    DWORD written = ExpandEnvironmentStringsA(text, buffer, room);
    if (written == 0 || written > room) {
        expanded.ReleaseBuffer(0);
        return false;
    }
    expanded.ReleaseBuffer();
    return true;
}

namespace {
struct ThreadStart {
    ThreadRoutine routine;
    void* parameter;
};

DWORD WINAPI RunThreadRoutine(void* start) {
    ThreadStart copy = *static_cast<ThreadStart*>(start);
    HeapFree(GetProcessHeap(), 0, start);
    return copy.routine(copy.parameter);
}
}  // namespace

Handle StartThread(unsigned stackSize, ThreadRoutine routine, void* parameter) {
    auto* start = static_cast<ThreadStart*>(HeapAlloc(GetProcessHeap(), 0, sizeof(ThreadStart)));
    if (!start) return nullptr;
    *start = {routine, parameter};
    HANDLE thread = CreateThread(nullptr, stackSize, RunThreadRoutine, start, 0, nullptr);
    if (!thread) HeapFree(GetProcessHeap(), 0, start);
    return thread;
}

unsigned long JoinThread(Handle thread) {
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code;
}

int DecodeAnsi(const char* text, int length, unsigned short* out, int capacity) {
    if (length <= 0) return 0;
    return MultiByteToWideChar(CP_ACP, 0, text, length, reinterpret_cast<wchar_t*>(out), capacity);
}

unsigned long long TotalPhysicalMemory() {
    MEMORYSTATUS status;
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return status.dwTotalPhys;
}

void PrepareUserInterface() {
    SetThreadLocale(GetSystemDefaultLCID());
    DefWindowProcA(nullptr, WM_NULL, 0, 0);
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
}

int InitializeModule(Handle module) { return appModule.Init(static_cast<HINSTANCE>(module)); }

void TerminateModule() { appModule.Term(); }

}  // namespace os
