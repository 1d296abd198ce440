#include "uidriver.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace uidriver {
namespace {

constexpr DWORD kPollMs = 30;
// A dialog's controls and texts are filled in around the time it is shown;
// it is read again this long after it first appeared.
constexpr DWORD kSettleMs = 150;
// Another process's window that does not answer this fast counts as hung.
constexpr UINT kMessageTimeoutMs = 1000;

std::string Narrow(const std::wstring& w, UINT codePage) {
    if (w.empty()) return std::string();
    int n = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// WM_GETTEXT is marshalled between processes, unlike GetWindowText, which
// does not ask another process's window for its text.
std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length))
        return std::wstring();
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied))
        return std::wstring();
    return std::wstring(buffer.data(), std::min<size_t>(copied, length));
}

std::string ClassOf(HWND hwnd) {
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

BOOL CALLBACK AddControl(HWND child, LPARAM param) {
    Control c;
    c.className = ClassOf(child);
    c.id = GetDlgCtrlID(child);
    std::wstring text = TextOf(child);
    c.text = Narrow(text, CP_ACP);
    c.textUtf8 = Narrow(text, CP_UTF8);
    c.enabled = IsWindowEnabled(child) != FALSE;
    c.visible = IsWindowVisible(child) != FALSE;
    c.style = static_cast<unsigned long>(GetWindowLongPtrW(child, GWL_STYLE));
    reinterpret_cast<std::vector<Control>*>(param)->push_back(c);
    return TRUE;
}

SeenWindow Capture(HWND hwnd) {
    SeenWindow w;
    w.className = ClassOf(hwnd);
    std::wstring caption = TextOf(hwnd);
    w.caption = Narrow(caption, CP_ACP);
    w.captionUtf8 = Narrow(caption, CP_UTF8);
    w.processId = ProcessOf(hwnd);
    EnumChildWindows(hwnd, AddControl, reinterpret_cast<LPARAM>(&w.controls));
    if (HWND owner = GetWindow(hwnd, GW_OWNER)) {
        w.hasOwner = true;
        w.ownerClassName = ClassOf(owner);
        w.ownerCaption = Narrow(TextOf(owner), CP_ACP);
        w.ownerIsSameProcess = ProcessOf(owner) == w.processId;
    }
    w.style = static_cast<unsigned long>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    w.exStyle = static_cast<unsigned long>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    RECT r = {};
    GetWindowRect(hwnd, &r);
    w.left = r.left;
    w.top = r.top;
    w.width = r.right - r.left;
    w.height = r.bottom - r.top;
    return w;
}

// A user can press only a button that is visible and enabled.
bool IsPressableButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

std::string PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button)) return "button " + std::to_string(id) + " is disabled: not pressed";
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return "pressed button " + std::to_string(id) + (button ? "" : " (no such control)");
}

// The dialog manager turns Escape into IDCANCEL inside the target's own
// message loop (IsDialogMessage), so the key goes to the focused control
// of the target's thread; that also works when this process has no focus.
std::string PressEscape(HWND dialog) {
    SetForegroundWindow(dialog);
    HWND target = dialog;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus &&
        IsChild(dialog, info.hwndFocus))
        target = info.hwndFocus;
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_ESCAPE, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, scan | 1);
    PostMessageW(target, WM_KEYUP, VK_ESCAPE, scan | 1 | (LPARAM(3) << 30));
    return target == dialog ? "Escape to the dialog" : "Escape to the focused control";
}

std::string Apply(HWND dialog, const Action& action) {
    switch (action.reply) {
    case Reply::Default:
        if (IsPressableButton(dialog, IDOK)) return PressButton(dialog, IDOK);
        if (IsPressableButton(dialog, IDCANCEL)) return PressButton(dialog, IDCANCEL);
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return "closed (no OK or Cancel button)";
    case Reply::PressButton:
        return PressButton(dialog, action.buttonId);
    case Reply::Escape:
        return PressEscape(dialog);
    case Reply::CloseBox:
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return "closed";
    case Reply::Leave:
        break;
    }
    return "left alone";
}

// The target and every process it started: a launcher that restarts
// itself must not escape the driver, and a timeout kills them all.
std::set<DWORD> ProcessesOf(HANDLE job, DWORD mainPid) {
    std::set<DWORD> pids = {mainPid};
    if (!job) return pids;
    std::vector<ULONG_PTR> buffer(256);
    auto* list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
    if (QueryInformationJobObject(job, JobObjectBasicProcessIdList, list,
                                  static_cast<DWORD>(buffer.size() * sizeof(ULONG_PTR)), nullptr)) {
        const ULONG_PTR* ids = list->ProcessIdList;
        for (DWORD i = 0; i < list->NumberOfProcessIdsInList; ++i) pids.insert(static_cast<DWORD>(ids[i]));
    }
    return pids;
}

struct Enumeration {
    const std::set<DWORD>* pids;
    std::vector<HWND> found;
};

BOOL CALLBACK AddTopLevel(HWND hwnd, LPARAM param) {
    auto* e = reinterpret_cast<Enumeration*>(param);
    if (IsWindowVisible(hwnd) && e->pids->count(ProcessOf(hwnd))) e->found.push_back(hwnd);
    return TRUE;
}

std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char ch : s) {
        char buf[8];
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch == '\n') {
            out += "\\n";
        } else if (ch == '\r') {
            out += "\\r";
        } else if (ch == '\t') {
            out += "\\t";
        } else if (ch < 0x20 || ch == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02X", ch);
            out += buf;
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out + "\"";
}

std::string Hex(unsigned long v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08lX", v);
    return buf;
}

std::string LastError(const char* what) {
    return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

}  // namespace

std::string SeenWindow::MessageText() const {
    for (const Control& c : controls)
        if ((c.id & 0xFFFF) == 0xFFFF && c.className == "Static") return c.text;
    return std::string();
}

std::vector<std::string> SeenWindow::ButtonTexts() const {
    std::vector<std::string> texts;
    for (const Control& c : controls) {
        unsigned long type = c.style & BS_TYPEMASK;
        if (c.className == "Button" && c.visible && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON))
            texts.push_back(c.text);
    }
    return texts;
}

const Control* SeenWindow::FindControl(int id) const {
    for (const Control& c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

RunResult Run(const RunOptions& options) {
    RunResult result;
    std::vector<char> commandLine(options.commandLine.begin(), options.commandLine.end());
    commandLine.push_back('\0');

    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(options.program.empty() ? nullptr : options.program.c_str(),
                        options.commandLine.empty() ? nullptr : commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr,
                        options.workingDir.empty() ? nullptr : options.workingDir.c_str(), &si, &pi)) {
        result.error = LastError("CreateProcess");
        if (job) CloseHandle(job);
        return result;
    }
    result.started = true;
    result.processId = pi.dwProcessId;
    if (job && !AssignProcessToJobObject(job, pi.hProcess)) {
        CloseHandle(job);
        job = nullptr;
    }
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);

    struct Tracked {
        size_t index;
        DWORD firstSeen;
        bool settled;
    };
    std::map<HWND, Tracked> tracked;
    size_t dialogsAnswered = 0;
    const DWORD start = GetTickCount();
    bool exited = false;

    while (!exited) {
        exited = WaitForSingleObject(pi.hProcess, kPollMs) == WAIT_OBJECT_0;
        const DWORD now = GetTickCount();

        // Forget destroyed windows: a later window may get the same handle.
        for (auto it = tracked.begin(); it != tracked.end();)
            it = IsWindow(it->first) ? std::next(it) : tracked.erase(it);

        std::set<DWORD> pids = ProcessesOf(job, pi.dwProcessId);
        Enumeration e = {&pids, {}};
        EnumWindows(AddTopLevel, reinterpret_cast<LPARAM>(&e));

        // Z-order puts an owned window above its owner; bottom first comes
        // closer to the order they were shown in.
        std::reverse(e.found.begin(), e.found.end());
        for (HWND hwnd : e.found) {
            auto it = tracked.find(hwnd);
            if (it == tracked.end()) {
                // Record at once: a short-lived window may be gone by the
                // time it would have settled.
                tracked[hwnd] = {result.windows.size(), now, false};
                result.windows.push_back(Capture(hwnd));
                continue;
            }
            Tracked& t = it->second;
            if (t.settled || now - t.firstSeen < kSettleMs) continue;
            t.settled = true;
            // Replying to one dialog may destroy another window of this round.
            SeenWindow settled = Capture(hwnd);
            if (!IsWindow(hwnd)) continue;
            SeenWindow& seen = result.windows[t.index];
            seen = settled;

            Action action;
            if (options.onWindow)
                action = options.onWindow(hwnd, seen, t.index);
            else if (seen.IsDialog() && dialogsAnswered < options.replies.size())
                action = options.replies[dialogsAnswered];
            if (seen.IsDialog()) {
                ++dialogsAnswered;
                seen.reply = Apply(hwnd, action);
            }
        }

        if (!exited && now - start >= options.timeoutMs) {
            result.timedOut = true;
            if (job) TerminateJobObject(job, kKilledExitCode);
            TerminateProcess(pi.hProcess, kKilledExitCode);
            WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
    }

    DWORD code = 0;
    if (GetExitCodeProcess(pi.hProcess, &code)) result.exitCode = code;
    CloseHandle(pi.hProcess);
    if (job) CloseHandle(job);  // kills whatever the target left running
    return result;
}

std::string Describe(const SeenWindow& w) {
    std::string s = "class " + Quoted(w.className) + " caption " + Quoted(w.caption) + " " +
                    std::to_string(w.width) + "x" + std::to_string(w.height) + " at " + std::to_string(w.left) +
                    "," + std::to_string(w.top) + " style " + Hex(w.style) + " exstyle " + Hex(w.exStyle) +
                    " pid " + std::to_string(w.processId) + "\n";
    s += "  owner: ";
    if (w.hasOwner)
        s += "class " + Quoted(w.ownerClassName) + " caption " + Quoted(w.ownerCaption) +
             (w.ownerIsSameProcess ? " (same process)" : " (other process)") + "\n";
    else
        s += "none\n";
    if (w.IsDialog()) s += "  message: " + Quoted(w.MessageText()) + "\n";
    for (const Control& c : w.controls) {
        s += "  control " + Quoted(c.className) + " id " + std::to_string(c.id) + " " + Quoted(c.text) +
             " style " + Hex(c.style) + (c.visible ? "" : " hidden") + (c.enabled ? "" : " disabled") + "\n";
    }
    if (!w.reply.empty()) s += "  reply: " + w.reply + "\n";
    return s;
}

std::string Describe(const RunResult& r) {
    std::string s;
    if (!r.started) return "not started: " + r.error + "\n";
    s += "pid " + std::to_string(r.processId) + ", ";
    if (r.timedOut)
        s += "timed out and killed\n";
    else
        s += "exit code " + Hex(r.exitCode) + " (" + std::to_string(static_cast<long>(r.exitCode)) + ")\n";
    if (!r.error.empty()) s += "error: " + r.error + "\n";
    s += std::to_string(r.windows.size()) + " window(s)\n";
    for (size_t i = 0; i < r.windows.size(); ++i) s += "window " + std::to_string(i) + ": " + Describe(r.windows[i]);
    return s;
}

}  // namespace uidriver
