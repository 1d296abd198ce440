// Modal dialogs over a dialog template of the executable's resources. A
// derived class answers the messages it cares about; the rest go to the
// dialog manager's defaults.
#pragma once

#include <windows.h>

class Dialog {
public:
    // A Unicode dialog's controls keep text the ANSI code page cannot hold.
    explicit Dialog(int templateId, bool unicode = false) : templateId_(templateId), unicode_(unicode) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // The value given to EndDialog, or -1 when the dialog cannot be created.
    int DoModal(HWND owner);
    HWND Window() const { return window_; }

protected:
    // Lives on the caller's stack; never deleted through the base.
    ~Dialog() = default;

    // WM_INITDIALOG: TRUE lets the dialog manager set the initial focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // WM_COMMAND by the command id alone; true when handled.
    virtual bool OnCommand(int) { return false; }
    // Any other message: what the dialog procedure returns, FALSE when not handled.
    virtual INT_PTR OnMessage(UINT, WPARAM, LPARAM) { return FALSE; }

    void EndDialog(int result) { ::EndDialog(window_, result); }
    HWND Item(int id) const { return GetDlgItem(window_, id); }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    bool unicode_;
    HWND window_ = nullptr;
};

// Centres window over its owner when the owner is visible and not minimised,
// else in the work area of the monitor; either way kept inside that work area.
void CenterWindow(HWND window, HWND owner);
