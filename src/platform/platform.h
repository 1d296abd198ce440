// The one seam between the launch logic and the operating system.
// Everything above it is portable and unit-tested natively against a fake;
// the product links the Win32 implementation.
#pragma once

class String;
class StringList;

namespace os {

// Window, module and thread handles are pointer-sized on every platform.
using Handle = void*;

// Bytes taken by the character that starts at p, in the process's ANSI code
// page: 2 for a lead byte followed by a trail byte, else 1 (0 at the NUL).
int CharSize(const char* p);

// True when the character of `size` bytes at p is white space (C1_SPACE of
// the thread's locale).
bool IsSpaceChar(const char* p, int size);

// The process's whole command line as the system keeps it.
const char* CommandLine();

// Full path of the running executable; false with the system error code.
bool ModuleFileName(String& path, unsigned long& error);

// Profile (INI) access with the platform's own parsing rules.
// ReadProfileValue returns the count of characters copied, as the platform does.
unsigned long ReadProfileValue(const char* section, const char* key, char* buffer,
                                unsigned long size, const char* file);
bool WriteProfileValue(const char* section, const char* key, const char* value,
                        const char* file);

// Text of a string-table entry of the executable; returns the count copied.
int LoadResourceText(unsigned id, char* buffer, int size);

// A modal message box; its result is of no interest to the launcher.
void ShowMessageBox(Handle owner, const char* text, const char* caption, unsigned style);

bool SetCurrentDir(const char* path);

// Whether any file or folder of that name exists.
bool PathExists(const char* path);

// HKEY_LOCAL_MACHINE, read access, the process's default registry view.
// A string value read by size first; false when missing or empty.
bool ReadRegistryString(const char* keyPath, const char* valueName, String& value);
// Subkey names in enumeration order; none when the key cannot be opened.
void ListRegistrySubkeys(const char* keyPath, StringList& names);

// Dynamic libraries; null with the system error code on failure. The
// library's own dependencies are also looked for in dependencyFolder.
Handle LoadDynamicLibrary(const char* path, const char* dependencyFolder, unsigned long& error);
void* FindExport(Handle library, const char* name, unsigned long& error);

void SetEnvironment(const char* name, const char* value);
// %NAME% references replaced as ExpandEnvironmentStrings does (undefined ones
// stay as written); false leaves the text to the caller unexpanded.
bool ExpandEnvironmentText(const char* text, String& expanded);
// Threads. The routine's result is the thread's exit code.
using ThreadRoutine = unsigned long (*)(void* parameter);
// A new thread with that stack size (0: the executable's default), or null.
Handle StartThread(unsigned stackSize, ThreadRoutine routine, void* parameter);
// Waits without limit for the thread, closes its handle, returns its exit code.
unsigned long JoinThread(Handle thread);

// Text of the ANSI code page as UTF-16; returns the units written, at most
// capacity (length units always suffice).
int DecodeAnsi(const char* text, int length, unsigned short* out, int capacity);

// Total physical memory in bytes as GlobalMemoryStatus reports it (dwTotalPhys).
unsigned long long TotalPhysicalMemory();

// The active window of the calling thread, or null.
Handle ActiveWindow();

// Framework start-up: the UI state of the primary thread, and the module object.
void PrepareUserInterface();
int InitializeModule(Handle module);  // an HRESULT
void TerminateModule();

}  // namespace os
