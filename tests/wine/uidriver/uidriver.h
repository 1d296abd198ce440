// Starts a Windows program, records the top-level windows it shows and
// answers its dialogs, so integration tests can check what a user would
// see. Runs as a Windows program itself (under Wine in CI).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace uidriver {

struct Control {
    std::string className;
    int id = 0;                 // GetDlgCtrlID; message box body is 0xFFFF
    std::string text;           // ANSI code page, as WM_GETTEXT A returns it
    std::string textUtf8;       // same text as UTF-8
    bool enabled = false;
    bool visible = false;
    unsigned long style = 0;
};

struct SeenWindow {
    std::string className;      // "#32770" for message boxes and dialogs
    std::string caption;        // ANSI code page
    std::string captionUtf8;
    std::vector<Control> controls;  // direct and nested children, z/tab order
    bool hasOwner = false;
    std::string ownerClassName;
    std::string ownerCaption;
    bool ownerIsSameProcess = false;
    unsigned long style = 0, exStyle = 0;
    int width = 0, height = 0;  // outer size in pixels
    int left = 0, top = 0;      // screen position when first seen
    unsigned long processId = 0;
    std::string reply;          // what the driver did with it, for reports

    bool IsDialog() const { return className == "#32770"; }
    // Text of the static with id 0xFFFF (message box body), else "".
    std::string MessageText() const;
    // Texts of visible push buttons, in tab order.
    std::vector<std::string> ButtonTexts() const;
    const Control* FindControl(int id) const;
};

enum class Reply { Default, PressButton, Escape, CloseBox, Leave };

struct Action {
    Reply reply = Reply::Default;
    int buttonId = 0;           // for PressButton
};

struct RunOptions {
    std::string program;        // lpApplicationName; empty: taken from commandLine
    std::string commandLine;    // exact lpCommandLine, passed unchanged
    std::string workingDir;     // empty: inherit
    // replies[i] answers the i-th dialog (#32770) seen; later ones and any
    // without an entry get Reply::Default. Other windows are only recorded.
    std::vector<Action> replies;
    // Optional, overrides replies. Called for every new window with its
    // index in RunResult::windows; the action is applied to dialogs only.
    std::function<Action(HWND, const SeenWindow&, size_t index)> onWindow;
    unsigned timeoutMs = 30000;
};

// Exit code a timed-out target is terminated with.
constexpr unsigned long kKilledExitCode = 0xDEAD0001UL;

struct RunResult {
    bool started = false;
    bool timedOut = false;      // the target was killed; exitCode is kKilledExitCode
    unsigned long exitCode = 0; // full 32-bit GetExitCodeProcess value
    unsigned long processId = 0;
    std::vector<SeenWindow> windows;
    std::string error;
};

// Starts the target and watches the visible top-level windows of it and of
// the processes it starts, until it exits or the timeout kills them all.
// Whatever the target leaves running when it exits is killed too.
RunResult Run(const RunOptions&);

// Human-readable report for test failure output.
std::string Describe(const RunResult&);
std::string Describe(const SeenWindow&);

}  // namespace uidriver
