#include "support/fake_platform.h"

#include <string.h>

#include <fstream>
#include <sstream>
#include <strings.h>

#include "framework/kstring.h"
#include "framework/string_list.h"
#include "jre/missing_jre_dialog.h"
#include "jvm/exception_report.h"

namespace {

// The product's own string table, read from its resource script, so tests
// see exactly the texts users see.
std::map<unsigned, std::string> ProductTexts() {
    std::map<std::string, unsigned> ids;
    std::ifstream header(KINDLING_RESOURCE_DIR "/resource.h");
    for (std::string line; std::getline(header, line);) {
        std::istringstream words(line);
        std::string directive, name;
        unsigned id;
        if (words >> directive >> name >> id && directive == "#define") ids[name] = id;
    }
    std::map<unsigned, std::string> texts;
    std::ifstream script(KINDLING_RESOURCE_DIR "/kindling.rc");
    bool inTable = false;
    for (std::string line; std::getline(script, line);) {
        if (line.compare(0, 11, "STRINGTABLE") == 0) inTable = true;
        if (inTable && line.compare(0, 3, "END") == 0) break;
        size_t open = line.find('"'), close = line.rfind('"');
        if (!inTable || open == std::string::npos || close == open) continue;
        std::istringstream words(line.substr(0, open));
        std::string name;
        words >> name;
        std::string text;
        for (size_t i = open + 1; i < close; ++i) {
            if (line[i] == '\\' && line[i + 1] == 'n') {
                text += '\n';
                ++i;
            } else {
                text += line[i];
            }
        }
        if (ids.count(name)) texts[ids[name]] = text;
    }
    return texts;
}

FakeSystem* current = new FakeSystem();

bool IsLead932(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Copies like the platform does: at most size - 1 characters and a NUL.
unsigned long CopyOut(const std::string& value, char* buffer, unsigned long size) {
    if (size == 0) return 0;
    unsigned long count = value.size() < size - 1 ? static_cast<unsigned long>(value.size()) : size - 1;
    memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
    return count;
}
}  // namespace

FakeSystem& Fake() { return *current; }

// In place, so references taken before a reset stay valid.
void ResetFake() { *current = FakeSystem(); }

FakeSystem::FakeSystem() {
    static const std::map<unsigned, std::string> productTexts = ProductTexts();
    texts = productTexts;
}

std::map<std::string, std::map<std::string, std::string>>& FakeSystem::Ini() {
    std::string path = modulePath;
    size_t dot = path.rfind('.');
    return iniFiles[path.substr(0, dot) + ".ini"];
}

void FakeSystem::Register(const std::string& key, const std::string& version, const std::string& javaHome) {
    registry[key].subkeys.push_back(version);
    registry[key + version].values["JavaHome"] = javaHome;
}

namespace os {

bool PathExists(const char* path) { return Fake().files.count(path) > 0; }

bool ReadRegistryString(const char* keyPath, const char* valueName, String& value) {
    auto key = Fake().registry.find(keyPath);
    if (key == Fake().registry.end()) return false;
    auto found = key->second.values.find(valueName);
    if (found == key->second.values.end() || found->second.empty()) return false;
    value = found->second.c_str();
    return true;
}

void ListRegistrySubkeys(const char* keyPath, StringList& names) {
    auto key = Fake().registry.find(keyPath);
    if (key == Fake().registry.end()) return;
    for (const std::string& name : key->second.subkeys) names.Append(name.c_str());
}

Handle LoadDynamicLibrary(const char* path, const char* dependencyFolder, unsigned long& error) {
    Fake().dependencyFolders.push_back(dependencyFolder);
    auto library = Fake().libraries.find(path);
    if (library == Fake().libraries.end() || library->second.loadError) {
        error = library == Fake().libraries.end() ? 126 : library->second.loadError;
        return nullptr;
    }
    Fake().loadedLibraries.push_back(path);
    return &library->second;
}

void* FindExport(Handle library, const char* name, unsigned long& error) {
    auto* fake = static_cast<FakeSystem::Library*>(library);
    if (!fake->exports.count(name)) {
        error = 127;
        return nullptr;
    }
    error = 0;
    return const_cast<std::string*>(&*fake->exports.find(name));
}

void SetEnvironment(const char* name, const char* value) { Fake().environment[name] = value; }

bool ExpandEnvironmentText(const char* text, String& expanded) {
    std::string in = text, out;
    for (size_t i = 0; i < in.size();) {
        size_t close = in[i] == '%' ? in.find('%', i + 1) : std::string::npos;
        if (close == std::string::npos) {
            out += in[i++];
            continue;
        }
        std::string name = in.substr(i + 1, close - i - 1);
        auto found = Fake().environment.end();
        for (auto it = Fake().environment.begin(); it != Fake().environment.end(); ++it) {
            if (strcasecmp(it->first.c_str(), name.c_str()) == 0) found = it;  // names ignore case
        }
        if (found == Fake().environment.end()) {
            out += in.substr(i, close - i);  // undefined: kept, and its closing % may open the next one
            i = close;
        } else {
            out += found->second;
            i = close + 1;
        }
    }
    expanded = out.c_str();
    return true;
}

unsigned long long TotalPhysicalMemory() { return Fake().totalPhysicalMemory; }

// A thread runs to its end when started; joining hands back its exit code.
Handle StartThread(unsigned stackSize, ThreadRoutine routine, void* parameter) {
    Fake().threadStackSizes.push_back(stackSize);
    if (Fake().threadStartFails) return nullptr;
    static unsigned long exitCode;
    exitCode = routine(parameter);
    return &exitCode;
}

unsigned long JoinThread(Handle thread) { return *static_cast<unsigned long*>(thread); }

// Each byte is the character of the same number (Latin-1).
int DecodeAnsi(const char* text, int length, unsigned short* out, int capacity) {
    int count = 0;
    for (int i = 0; i < length && count < capacity; ++i) out[count++] = static_cast<unsigned char>(text[i]);
    return count;
}


int CharSize(const char* p) {
    if (!*p) return 0;
    if (Fake().codePage932 && IsLead932(static_cast<unsigned char>(*p)) && p[1]) return 2;
    return 1;
}

bool IsSpaceChar(const char* p, int size) {
    return size == 1 && (*p == ' ' || (*p >= '\t' && *p <= '\r'));
}

const char* CommandLine() { return Fake().commandLine.c_str(); }

bool ModuleFileName(String& path, unsigned long& error) {
    if (Fake().modulePathError) {
        error = Fake().modulePathError;
        return false;
    }
    path = Fake().modulePath.c_str();
    return true;
}

unsigned long ReadProfileValue(const char* section, const char* key, char* buffer, unsigned long size,
                                const char* file) {
    Fake().profileReads.push_back(std::string(section) + "/" + key);
    Fake().profileReadSizes.push_back(size);
    std::string value;
    auto f = Fake().iniFiles.find(file);
    if (f != Fake().iniFiles.end()) {
        auto s = f->second.find(section);
        if (s != f->second.end()) {
            auto k = s->second.find(key);
            if (k != s->second.end()) value = k->second;
        }
    }
    return CopyOut(value, buffer, size);
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
    Fake().profileWrites.push_back({section, key, value, file});
    Fake().iniFiles[file][section][key] = value;
    return true;
}

int LoadResourceText(unsigned id, char* buffer, int size) {
    auto text = Fake().texts.find(id);
    if (text == Fake().texts.end() || size <= 0) return 0;
    return static_cast<int>(CopyOut(text->second, buffer, static_cast<unsigned long>(size)));
}

void ShowMessageBox(Handle owner, const char* text, const char* caption, unsigned style) {
    Fake().boxes.push_back({owner, text, caption != nullptr, style});
}

bool SetCurrentDir(const char* path) {
    Fake().currentDirChanges.push_back(path);
    return true;
}

Handle ActiveWindow() { return Fake().activeWindow; }

void PrepareUserInterface() { Fake().userInterfacePrepared = true; }

int InitializeModule(Handle) { return Fake().moduleInitResult; }

void TerminateModule() { Fake().moduleTerminated = true; }

}  // namespace os

int MissingJreDialog::ShowModal(os::Handle owner) {
    Fake().dialogMessages.push_back(message.c_str());
    Fake().dialogOwner = owner;
    if (!Fake().dialogPick.empty()) AcceptPickedFolder(Fake().dialogPick.c_str());
    return Fake().dialogResult;
}

int JavaExceptionDialog::ShowModal(os::Handle) {
    Fake().exceptionReports.push_back(std::u16string(reinterpret_cast<const char16_t*>(reportText),
                                                     static_cast<size_t>(reportLength)));
    return Fake().exceptionDialogResult;
}
