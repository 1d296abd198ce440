#include "framework/win32/dialog_resize.h"

namespace {

RECT ClientRectOf(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

void DialogResize::Initialize(HWND dialog, const Entry* map, int count) {
    dialog_ = dialog;
    // Children paint themselves; without clipping the dialog's background flickers over them.
    SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_CLIPCHILDREN);
    RECT client;
    GetClientRect(dialog, &client);
    initialClient_ = {client.right, client.bottom};
    RECT window;
    GetWindowRect(dialog, &window);
    minimumWindow_ = {window.right - window.left, window.bottom - window.top};
    count_ = 0;
    for (int i = 0; i < count && count_ < kMaxEntries; ++i) {
        HWND control = GetDlgItem(dialog, map[i].id);
        if (!control) continue;
        map_[count_] = map[i];
        initialRects_[count_] = ClientRectOf(dialog, control);
        ++count_;
    }
    int gripWidth = GetSystemMetrics(SM_CXVSCROLL);
    int gripHeight = GetSystemMetrics(SM_CYHSCROLL);
    grip_ = CreateWindowExW(0, L"SCROLLBAR", nullptr,
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN,
                            client.right - gripWidth, client.bottom - gripHeight, gripWidth, gripHeight, dialog,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
}

bool DialogResize::HandleMessage(UINT message, LPARAM lParam) {
    if (!dialog_) return false;
    if (message == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = minimumWindow_.cx;
        info->ptMinTrackSize.y = minimumWindow_.cy;
        return true;
    }
    if (message == WM_SIZE) {
        Layout(LOWORD(lParam), HIWORD(lParam));
        return true;
    }
    return false;
}

void DialogResize::Layout(int width, int height) {
    int dx = width - initialClient_.cx;
    int dy = height - initialClient_.cy;
    HDWP positions = BeginDeferWindowPos(count_ + 1);
    for (int i = 0; i < count_ && positions; ++i) {
        RECT rect = initialRects_[i];
        unsigned flags = map_[i].flags;
        if (flags & kMoveX) OffsetRect(&rect, dx, 0);
        if (flags & kMoveY) OffsetRect(&rect, 0, dy);
        if (flags & kSizeX) rect.right += dx;
        if (flags & kSizeY) rect.bottom += dy;
        positions = DeferWindowPos(positions, GetDlgItem(dialog_, map_[i].id), nullptr, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions && grip_) {
        RECT grip;
        GetWindowRect(grip_, &grip);
        int gripWidth = grip.right - grip.left;
        int gripHeight = grip.bottom - grip.top;
        positions = DeferWindowPos(positions, grip_, nullptr, width - gripWidth, height - gripHeight, 0, 0,
                                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions) EndDeferWindowPos(positions);
    InvalidateRect(dialog_, nullptr, TRUE);
}
