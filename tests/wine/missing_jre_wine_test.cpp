// The "JRE Not Found" dialog of the real executable, started with a
// configuration that leads to no runtime; and the window pieces it is built
// from (centring, the link), driven inside this process.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/win32/dialog.h"
#include "framework/win32/hyperlink.h"
#include "jre/missing_jre_dialog.h"
#include "launcher/launcher.h"
#include "resource.h"
#include "wine_support.h"

namespace {

const char* const kCaption = "JRE Not Found";
const char* const kRuntimeSection = "Java Runtime Environment";
const std::string kNotFound = "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE (";
const std::string kNotFoundServer =
    "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE with a server JVM (";
const std::string kFrom = ") from:";

uidriver::Action Press(int id) {
    uidriver::Action action;
    action.reply = uidriver::Reply::PressButton;
    action.buttonId = id;
    return action;
}

uidriver::Action ReplyWith(uidriver::Reply reply) {
    uidriver::Action action;
    action.reply = reply;
    return action;
}

const uidriver::SeenWindow* FindDialog(const uidriver::RunResult& result, const std::string& caption) {
    for (const auto& window : result.windows) {
        if (window.IsDialog() && window.caption == caption) return &window;
    }
    return nullptr;
}

std::string ControlText(const uidriver::SeenWindow& window, int id) {
    const uidriver::Control* control = window.FindControl(id);
    return control ? control->text : "(no control " + std::to_string(id) + ")";
}

bool ControlEnabled(const uidriver::SeenWindow& window, int id) {
    const uidriver::Control* control = window.FindControl(id);
    return control && control->enabled;
}

// Another process's window text, asked for by message so it is marshalled.
std::string WindowText(HWND window) {
    char buffer[1024] = "";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             5000, &copied))
        return "(no answer)";
    return std::string(buffer, copied);
}

RECT WorkArea() {
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

std::string IniValue(const std::string& ini, const char* key) {
    char buffer[1024] = "";
    GetPrivateProfileStringA(kRuntimeSection, key, "(absent)", buffer, sizeof buffer, ini.c_str());
    return buffer;
}

// Lists `folder`, and with `below` every folder under it. The picker matches a
// path against its tree by item ids that hold the last access time, which
// the first listing after a change moves (relatime): a folder listed while
// the picker looks would no longer match.
void ListFolders(const std::string& folder, bool below) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = entry.cFileName;
        if (below && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..") {
            ListFolders(folder + "\\" + name, true);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

// A folder holding the given files, each with some content.
void MakeFiles(const std::string& folder, const std::vector<std::string>& files) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& file : files) {
        for (size_t slash = file.find('\\'); slash != std::string::npos; slash = file.find('\\', slash + 1)) {
            CreateDirectoryA((folder + "\\" + file.substr(0, slash)).c_str(), nullptr);
        }
        WriteFileBytes(folder + "\\" + file, "stand-in, not a library");
    }
}

// A copy of the executable in a fresh folder, with a configuration that names
// a main class; no runtime lies anywhere it looks, so the dialog shows.
class MissingJreStart : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CopyProgram(KindlingExe(), app / "run.exe")); }

    void WriteIni(const std::string& runtimeKeys = "") {
        ini = "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n" + runtimeKeys;
        WriteFileBytes(IniPath(), ini);
    }
    std::string IniPath() const { return app / "run.ini"; }

    uidriver::RunResult Start(std::vector<uidriver::Action> replies) {
        return RunProgram(app / "run.exe", "run.exe", app.Path(), std::move(replies));
    }
    // A start whose windows are all answered by onWindow.
    uidriver::RunResult Drive(decltype(uidriver::RunOptions::onWindow) onWindow) {
        uidriver::RunOptions options;
        options.program = app / "run.exe";
        options.commandLine = "run.exe";
        options.workingDir = app.Path();
        options.onWindow = std::move(onWindow);
        return uidriver::Run(options);
    }

    TempFolder app;
    std::string ini;
};

TEST_F(MissingJreStart, ShowsTheDialogWithOnlyBrowseAndCancelUsable) {
    WriteIni();
    DWORD_PTR icon = 0;  // icons are the process's own: only their presence shows here
    auto result = Drive([&](HWND window, const uidriver::SeenWindow& seen, size_t) {
        if (seen.caption == kCaption) {
            SendMessageTimeoutA(GetDlgItem(window, IDC_DIALOG_ICON), STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
        }
        return Press(IDCANCEL);
    });
    ASSERT_EQ(result.windows.size(), 1u) << uidriver::Describe(result);
    const uidriver::SeenWindow& dialog = result.windows[0];
    EXPECT_EQ(dialog.caption, kCaption);
    EXPECT_FALSE(dialog.hasOwner);
    EXPECT_EQ(ControlText(dialog, IDC_MESSAGE), kNotFound + "latest version" + kFrom);
    EXPECT_EQ(ControlText(dialog, IDC_DOWNLOAD_URL), "https://adoptium.net/");
    EXPECT_EQ(ControlText(dialog, IDC_BROWSE_HINT), "If you have a JRE installed you can browse for it below:");
    EXPECT_EQ(ControlText(dialog, IDC_JRE_PATH), "");
    EXPECT_EQ(ControlText(dialog, IDC_BROWSE), "Browse...");
    EXPECT_NE(icon, 0u) << "no icon in control 204";
    std::vector<std::string> statics;
    for (const auto& control : dialog.controls) {
        if (control.id == -1) statics.push_back(control.text);
    }
    EXPECT_EQ(statics, (std::vector<std::string>{"JRE Path:", "Missing JRE"}));
    EXPECT_EQ(dialog.ButtonTexts(), (std::vector<std::string>{"OK", "Cancel", "Browse..."}));
    EXPECT_FALSE(ControlEnabled(dialog, IDOK));
    EXPECT_TRUE(ControlEnabled(dialog, IDCANCEL));
    EXPECT_TRUE(ControlEnabled(dialog, IDC_BROWSE));

    // No owner: centred in the work area.
    RECT area = WorkArea();
    EXPECT_NEAR(dialog.left, area.left + (area.right - area.left - dialog.width) / 2, 1);
    EXPECT_NEAR(dialog.top, area.top + (area.bottom - area.top - dialog.height) / 2, 1);
}

TEST_F(MissingJreStart, MessageNamesTheRequiredVersionAndTheServerVm) {
    struct Case { const char* keys; std::string frame; const char* phrase; };
    const Case cases[] = {
        {"", kNotFound, "latest version"},
        {"Minimum Version=any\r\nMaximum Version=any\r\n", kNotFound, "latest version"},
        {"Minimum Version=1.5\r\n", kNotFound, "minimum version 1.5"},
        {"Minimum Version=1.5\r\nMaximum Version=any\r\n", kNotFound, "minimum version 1.5"},
        {"Maximum Version=1.5\r\n", kNotFound, "maximum version 1.5"},
        {"Minimum Version=1.5.0_06\r\nMaximum Version=1.5.0_06\r\n", kNotFound, "version 1.5.0.6 is required"},
        {"Minimum Version=1.4\r\nMaximum Version=1.5\r\n", kNotFound, "version between 1.4 and 1.5"},
        {"JVM Type=server\r\n", kNotFoundServer, "latest version"},
        {"JVM Type=server\r\nMinimum Version=1.5\r\nMaximum Version=any\r\n", kNotFoundServer, "minimum version 1.5"},
        {"JVM Type=favor_server\r\n", kNotFound, "latest version"},
        {"JVM Type=Server\r\n", kNotFound, "latest version"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        WriteIni(c.keys);
        auto result = Start({Press(IDCANCEL)});
        const uidriver::SeenWindow* dialog = FindDialog(result, kCaption);
        ASSERT_NE(dialog, nullptr) << uidriver::Describe(result);
        EXPECT_EQ(ControlText(*dialog, IDC_MESSAGE), c.frame + c.phrase + kFrom);
    }
}

// Enter sends OK's command even while OK is disabled: without a library it must not end the dialog.
TEST_F(MissingJreStart, OkCommandWithoutAPickKeepsTheDialogOpen) {
    WriteIni("");
    bool stillOpen = false;
    auto result = Drive([&](HWND window, const uidriver::SeenWindow&, size_t) {
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        Sleep(500);
        stillOpen = IsWindow(window) && IsWindowVisible(window);
        return Press(IDCANCEL);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(result.exitCode, kExitMinusOne) << uidriver::Describe(result);
    EXPECT_EQ(ReadFileBytes(IniPath()), ini);
}

TEST_F(MissingJreStart, CancelEscapeAndCloseBoxEndTheLaunchAndLeaveTheIniAlone) {
    struct Case { const char* name; uidriver::Action reply; WPARAM command; };
    const Case cases[] = {
        {"Cancel", Press(IDCANCEL), 0},
        {"Escape", ReplyWith(uidriver::Reply::Escape), 0},
        {"close box", ReplyWith(uidriver::Reply::CloseBox), 0},
        // Only the command id counts, whatever the notification code.
        {"Cancel as from an accelerator", ReplyWith(uidriver::Reply::Leave), MAKEWPARAM(IDCANCEL, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteIni("Minimum Version=1.4\r\n");
        auto result = Drive([&](HWND window, const uidriver::SeenWindow&, size_t) {
            if (c.command) PostMessageA(window, WM_COMMAND, c.command, 0);
            return c.reply;
        });
        EXPECT_FALSE(result.timedOut) << uidriver::Describe(result);
        ASSERT_EQ(result.windows.size(), 1u) << uidriver::Describe(result);
        EXPECT_EQ(result.windows[0].caption, kCaption);
        EXPECT_EQ(result.exitCode, kExitMinusOne);
        EXPECT_EQ(ReadFileBytes(IniPath()), ini);
    }
}

// What the main dialog showed after one use of Browse.
struct AfterPick {
    std::string pathBox;
    bool okEnabled;
    bool operator==(const AfterPick& other) const {
        return pathBox == other.pathBox && okEnabled == other.okEnabled;
    }
};

void PrintTo(const AfterPick& after, std::ostream* out) {
    *out << "{\"" << after.pathBox << "\", OK " << (after.okEnabled ? "enabled" : "disabled") << "}";
}

// The picker reads the folder from its own process: the path is written there
// and handed over with the picker's own selection message.
bool SelectInPicker(HWND picker, DWORD processId, const std::string& path) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return false;
    void* remote = VirtualAllocEx(process, nullptr, path.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR ignored = 0;
    bool sent = remote && WriteProcessMemory(process, remote, path.c_str(), path.size() + 1, nullptr) &&
                SendMessageTimeoutA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(remote),
                                    SMTO_ABORTIFHUNG, 5000, &ignored);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    // The picker answers nothing; a selection it took has left the tree's root.
    HWND tree = FindWindowExA(picker, nullptr, WC_TREEVIEWA, nullptr);
    LRESULT root = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    LRESULT caret = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    return sent && caret && caret != root;
}

// Uses Browse once per entry of `picks` (an empty entry cancels the picker),
// records the dialog after each, then presses `finish` on the dialog.
class MissingJreBrowse : public MissingJreStart {
protected:
    uidriver::RunResult Browse(const std::vector<std::string>& picks, int finish) {
        after.clear();
        pickers.clear();
        ListFolders(java.Path().substr(0, java.Path().rfind('\\')), false);
        ListFolders(java.Path(), true);
        HWND dialog = nullptr;
        size_t next = 0;
        return Drive([&](HWND window, const uidriver::SeenWindow& seen, size_t) {
            if (seen.caption == kCaption) {
                dialog = window;
                PostMessageA(dialog, WM_COMMAND, next < picks.size() ? IDC_BROWSE : finish, 0);
                return ReplyWith(uidriver::Reply::Leave);
            }
            if (!dialog || !seen.hasOwner || seen.ownerCaption != kCaption || next >= picks.size()) {
                return uidriver::Action();  // a later box: its default button
            }
            pickers.push_back(seen);
            const std::string& pick = picks[next++];
            if (!pick.empty() && !SelectInPicker(window, seen.processId, pick)) {
                ADD_FAILURE() << "the picker took no selection of " << pick;
            }
            PostMessageA(window, WM_COMMAND, pick.empty() ? IDCANCEL : IDOK, 0);
            for (int waited = 0; IsWindow(window) && waited < 10000; waited += 20) Sleep(20);
            // Answered once the dialog's thread is back in its message loop,
            // after the Browse handler has finished.
            DWORD_PTR ignored;
            SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
            after.push_back(
                {WindowText(GetDlgItem(dialog, IDC_JRE_PATH)), IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE});
            PostMessageA(dialog, WM_COMMAND, next < picks.size() ? IDC_BROWSE : finish, 0);
            return ReplyWith(uidriver::Reply::Leave);
        });
    }

    TempFolder java;
    std::vector<AfterPick> after;
    std::vector<uidriver::SeenWindow> pickers;
};

TEST_F(MissingJreBrowse, OnlyAPickWithAJvmLibraryEnablesOk) {
    WriteIni();
    const std::string good = java / "good", empty = java / "empty", other = java / "other";
    MakeFiles(good, {"bin\\client\\jvm.dll"});
    MakeFiles(other, {"bin\\java.dll", "lib\\rt.jar"});
    CreateDirectoryA(empty.c_str(), nullptr);
    auto result = Browse({"", empty, good, good, other, "", good}, IDCANCEL);
    EXPECT_FALSE(result.timedOut) << uidriver::Describe(result);
    EXPECT_EQ(after, (std::vector<AfterPick>{
                         {"", false},     // picker cancelled: nothing changes
                         {empty, false},  // no jvm.dll
                         {good, true},
                         {good, true},    // the same folder again
                         {other, false},  // a runtime-like folder without jvm.dll disables OK again
                         {other, false},  // cancelled: the last pick stays
                         {good, true},
                     }));
    ASSERT_EQ(pickers.size(), 7u);
    for (const auto& picker : pickers) {
        bool titled = false;
        for (const auto& control : picker.controls) {
            titled |= control.visible && control.text == "Browse for JRE folder";
        }
        EXPECT_TRUE(titled) << uidriver::Describe(picker);
        EXPECT_EQ(picker.ButtonTexts(), (std::vector<std::string>{"OK", "Cancel"})) << "no new-folder button";
    }
    EXPECT_EQ(result.exitCode, kExitMinusOne);
    EXPECT_EQ(ReadFileBytes(IniPath()), ini) << "Cancel after a good pick writes nothing";
}

TEST_F(MissingJreBrowse, ServerTypeAcceptsOnlyAServerVm) {
    WriteIni("JVM Type=server\r\n");
    const std::string client = java / "client", server = java / "server";
    MakeFiles(client, {"bin\\client\\jvm.dll", "bin\\hotspot\\jvm.dll"});
    MakeFiles(server, {"bin\\server\\jvm.dll"});
    auto result = Browse({client, server, client}, IDCANCEL);
    EXPECT_FALSE(result.timedOut) << uidriver::Describe(result);
    EXPECT_EQ(after, (std::vector<AfterPick>{{client, false}, {server, true}, {client, false}}));
}

TEST_F(MissingJreBrowse, OkWritesTheFolderAsJrePathAndTheNextStartUsesIt) {
    WriteIni("Minimum Version=1.4\r\n");
    const std::string runtime = java / "runtime";
    MakeFiles(runtime, {"bin\\client\\jvm.dll"});
    auto first = Browse({runtime}, IDOK);
    EXPECT_FALSE(first.timedOut) << uidriver::Describe(first);
    ASSERT_EQ(after, (std::vector<AfterPick>{{runtime, true}}));
    EXPECT_EQ(IniValue(IniPath(), "JRE Path"), runtime + "\\");
    EXPECT_EQ(IniValue(IniPath(), "Main Class"), "com.example.App");
    EXPECT_EQ(IniValue(IniPath(), "Minimum Version"), "1.4");
    // The stand-in jvm.dll is no library: the launch goes on to load it and fails.
    const std::string loadFailure = "Failed to load Java VM library: " + runtime + "\\bin\\client\\jvm.dll (errno = ";
    EXPECT_EQ(first.exitCode, kExitMinusOne);
    ASSERT_EQ(first.windows.size(), 3u) << uidriver::Describe(first);  // dialog, picker, error box
    EXPECT_EQ(first.windows[2].MessageText().find(loadFailure), 0u) << uidriver::Describe(first);

    auto second = Start({});
    EXPECT_FALSE(second.timedOut) << uidriver::Describe(second);
    ASSERT_EQ(second.windows.size(), 1u) << uidriver::Describe(second);
    EXPECT_EQ(second.windows[0].MessageText().find(loadFailure), 0u) << uidriver::Describe(second);
    EXPECT_EQ(second.exitCode, kExitMinusOne);
}

// Centring, in this process: the dialog's own runs never have an owner.
TEST(MissingJreFramework, CenterWindowUsesAUsableOwnerAndStaysInTheWorkArea) {
    const RECT area = WorkArea();
    const int width = 300, height = 200;
    const int middleLeft = (area.left + area.right - width) / 2, middleTop = (area.top + area.bottom - height) / 2;
    enum OwnerState { kNone, kShown, kHidden, kMinimised };
    struct Case { const char* name; OwnerState state; RECT owner; POINT expected; };
    const Case cases[] = {
        {"no owner", kNone, {}, {middleLeft, middleTop}},
        {"shown owner", kShown, {100, 100, 500, 400}, {150, 150}},
        {"owner smaller than the window", kShown, {400, 300, 500, 400}, {300, 250}},
        {"hidden owner", kHidden, {100, 100, 500, 400}, {middleLeft, middleTop}},
        {"minimised owner", kMinimised, {100, 100, 500, 400}, {middleLeft, middleTop}},
        {"owner past the bottom right", kShown,
         {area.right - 100, area.bottom - 50, area.right + 300, area.bottom + 250},
         {area.right - width, area.bottom - height}},
        {"owner past the top left", kShown, {area.left - 350, area.top - 250, area.left + 50, area.top + 50},
         {area.left, area.top}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND owner = nullptr;
        if (c.state != kNone) {
            owner = CreateWindowExA(0, "Static", "owner", WS_POPUP | WS_CAPTION, c.owner.left, c.owner.top,
                                    c.owner.right - c.owner.left, c.owner.bottom - c.owner.top, nullptr, nullptr,
                                    nullptr, nullptr);
            ASSERT_NE(owner, nullptr);
            if (c.state == kShown) ShowWindow(owner, SW_SHOWNOACTIVATE);
            if (c.state == kMinimised) ShowWindow(owner, SW_SHOWMINNOACTIVE);
        }
        HWND window = CreateWindowExA(0, "Static", "window", WS_POPUP, 0, 0, width, height, owner, nullptr, nullptr,
                                      nullptr);
        ASSERT_NE(window, nullptr);
        CenterWindow(window, owner);
        RECT placed;
        GetWindowRect(window, &placed);
        EXPECT_EQ(placed.left, c.expected.x);
        EXPECT_EQ(placed.top, c.expected.y);
        EXPECT_EQ(placed.right - placed.left, width);
        DestroyWindow(window);
        if (owner) DestroyWindow(owner);
    }
}

TEST(MissingJreFramework, DialogThatCannotBeCreatedCountsAsCancel) {
    // This program carries no template 201.
    MissingJreDialog dialog("message", JvmType::Default);
    EXPECT_NE(dialog.ShowModal(nullptr), MissingJreDialog::kOk);
}

// The link over a static of a dialog-class window, in this process.
class MissingJreLink : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};
        InitCommonControlsEx(&classes);
        parent = CreateWindowExA(0, "#32770", "link", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 400, 120, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override {
        if (IsWindow(parent)) DestroyWindow(parent);
    }

    HWND AddStatic(const std::string& text) {
        HWND control = CreateWindowExA(0, "Static", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 370, 16,
                                       parent, reinterpret_cast<HMENU>(IDC_DOWNLOAD_URL), nullptr, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return control;
    }

    struct TooltipSearch {
        HWND owner;
        HWND found;
    };
    HWND Tooltip() const {
        TooltipSearch search = {parent, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    static BOOL CALLBACK FindTooltip(HWND window, LPARAM param) {
        auto* search = reinterpret_cast<TooltipSearch*>(param);
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == search->owner) {
            search->found = window;
        }
        return TRUE;
    }

    // The longest horizontal run of exactly that colour in the control's own drawing.
    static int LongestRun(HWND control, COLORREF color) {
        RECT client;
        GetClientRect(control, &client);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = client.right;
        info.bmiHeader.biHeight = -client.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        const DWORD want = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        int longest = 0;
        for (int y = 0; y < client.bottom; ++y) {
            const DWORD* row = static_cast<const DWORD*>(bits) + y * client.right;
            for (int x = 0, run = 0; x < client.right; ++x) {
                run = (row[x] & 0xFFFFFF) == want ? run + 1 : 0;
                if (run > longest) longest = run;
            }
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return longest;
    }

    HWND parent = nullptr;
};

// No glyph of an address has a stroke this long; only an underline does.
constexpr int kUnderlineRun = 40;

TEST_F(MissingJreLink, AttachedStaticIsAnUnderlinedLinkWithHandCursorAndTooltip) {
    const std::string address = "https://adoptium.net/";
    HWND control = AddStatic(address);
    EXPECT_EQ(SendMessageA(control, WM_NCHITTEST, 0, MAKELPARAM(115, 115)), HTTRANSPARENT);
    Hyperlink link;
    ASSERT_TRUE(link.Attach(control));
    EXPECT_FALSE(link.Attach(control)) << "a second binding would chain the procedure to itself";

    EXPECT_EQ(SendMessageA(control, WM_NCHITTEST, 0, MAKELPARAM(115, 115)), HTCLIENT) << "the mouse must reach it";
    EXPECT_TRUE(
        SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));

    HWND tooltip = Tooltip();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[256] = "";
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::string(text), address);

    EXPECT_GE(LongestRun(control, Hyperlink::kLinkColor), kUnderlineRun);
    EXPECT_EQ(LongestRun(control, Hyperlink::kVisitedColor), 0);
}

TEST_F(MissingJreLink, ClickOpensTheAddressAndTheLinkShowsVisited) {
    TempFolder folder;
    const std::string marker = folder / "opened.txt", script = folder / "open.bat";
    WriteFileBytes(script, "@echo opened> \"" + marker + "\"\r\n");
    HWND control = AddStatic(script);
    Hyperlink link;
    ASSERT_TRUE(link.Attach(control));
    EXPECT_GE(LongestRun(control, Hyperlink::kLinkColor), kUnderlineRun);

    SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    for (int waited = 0; GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES && waited < 15000;
         waited += 50) {
        Sleep(50);
    }
    EXPECT_NE(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "the address was not opened";
    EXPECT_GE(LongestRun(control, Hyperlink::kVisitedColor), kUnderlineRun);
    EXPECT_EQ(LongestRun(control, Hyperlink::kLinkColor), 0);
}

TEST_F(MissingJreLink, ReleasesTheControlAndTooltipWithWhicheverGoesFirst) {
    HWND control = AddStatic("https://adoptium.net/");
    HWND tooltip;
    {
        Hyperlink link;
        ASSERT_TRUE(link.Attach(control));
        tooltip = Tooltip();
        ASSERT_NE(tooltip, nullptr);
    }
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_EQ(SendMessageA(control, WM_NCHITTEST, 0, MAKELPARAM(115, 115)), HTTRANSPARENT) << "still subclassed";

    Hyperlink link;
    ASSERT_TRUE(link.Attach(control));
    tooltip = Tooltip();
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(tooltip));
    // The object outlives its window; a fresh static can be bound again.
    parent = CreateWindowExA(0, "#32770", "link", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(link.Attach(AddStatic("https://adoptium.net/")));
}

}  // namespace
