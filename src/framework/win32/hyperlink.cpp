#include "framework/win32/hyperlink.h"

#include <commctrl.h>
#include <shellapi.h>

Hyperlink::~Hyperlink() {
    Detach();
    if (font_) DeleteObject(font_);
}

bool Hyperlink::Attach(HWND control) {
    if (!control || control_) return false;
    int length = GetWindowTextLengthA(control);
    char* buffer = address_.GetBuffer(length);
    if (!buffer) return false;
    address_.ReleaseBuffer(GetWindowTextA(control, buffer, length + 1));

    if (!font_) {
        LOGFONTA logFont;
        HGDIOBJ base = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
        if (!base || !GetObjectA(base, sizeof logFont, &logFont)) {
            GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
        }
        logFont.lfUnderline = TRUE;
        font_ = CreateFontIndirectA(&logFont);
    }

    // Owned by the dialog, so it goes with it. Mouse messages are relayed
    // rather than letting the tooltip subclass the control on top of us.
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(control), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (tooltip_) {
        TOOLINFOA tool = {};
        // The V2 size is understood by comctl32 5 and 6 alike.
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = GetParent(control);
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<char*>(address_.c_str());
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }

    control_ = control;
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
    InvalidateRect(control, nullptr, TRUE);
    return true;
}

void Hyperlink::Detach() {
    if (!control_) return;
    SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    SetWindowLongPtrA(control_, GWLP_USERDATA, 0);
    // Already gone when the dialog took it down before its controls.
    if (tooltip_ && IsWindow(tooltip_)) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    control_ = nullptr;
}

LRESULT CALLBACK Hyperlink::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Hyperlink*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    WNDPROC previous = self->previous_;
    if (self->tooltip_ && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        MSG relayed = {window, message, wParam, lParam, 0, {0, 0}};
        SendMessageA(self->tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    switch (message) {
    case WM_NCHITTEST:
        // A static without SS_NOTIFY is transparent to the mouse.
        return HTCLIENT;
    case WM_SETCURSOR:
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        self->Paint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        self->Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_LBUTTONUP:
        self->Open();
        return 0;
    case WM_NCDESTROY:
        self->Detach();
        break;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

void Hyperlink::Paint(HDC dc) {
    RECT rect;
    GetClientRect(control_, &rect);
    // The dialog's own background, as the static would have drawn it.
    HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(control_), WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(control_)));
    FillRect(dc, &rect, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, font_);
    SetTextColor(dc, visited_ ? kVisitedColor : kLinkColor);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, address_.c_str(), address_.Length(), &rect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

void Hyperlink::Open() {
    ShellExecuteA(GetParent(control_), "open", address_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    visited_ = true;
    InvalidateRect(control_, nullptr, TRUE);
}
