#include "framework/win32/dialog.h"

#include "framework/win32/app_module.h"

int Dialog::DoModal(HWND owner) {
    LPARAM self = reinterpret_cast<LPARAM>(this);
    if (unicode_) {
        return static_cast<int>(
            DialogBoxParamW(appModule.Instance(), MAKEINTRESOURCEW(templateId_), owner, Procedure, self));
    }
    return static_cast<int>(
        DialogBoxParamA(appModule.Instance(), MAKEINTRESOURCEA(templateId_), owner, Procedure, self));
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<Dialog*>(lParam);
        self->window_ = window;
        return self->OnInitDialog();
    }
    // WM_SETFONT and a few others come before WM_INITDIALOG, with no object yet.
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        self->window_ = nullptr;
        return FALSE;
    }
    if (message == WM_COMMAND) return self->OnCommand(LOWORD(wParam));
    return self->OnMessage(message, wParam, lParam);
}

void CenterWindow(HWND window, HWND owner) {
    HMONITOR monitor = MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT area;
    if (GetMonitorInfoA(monitor, &info)) {
        area = info.rcWork;
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT around = area;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);

    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int left = (around.left + around.right - width) / 2;
    int top = (around.top + around.bottom - height) / 2;
    // Right and bottom edges first, so a window larger than the area shows its caption.
    if (left + width > area.right) left = area.right - width;
    if (left < area.left) left = area.left;
    if (top + height > area.bottom) top = area.bottom - height;
    if (top < area.top) top = area.top;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
