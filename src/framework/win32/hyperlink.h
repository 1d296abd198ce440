// A static text control turned into a link: its text, read when attached, is
// both the label and the address a click opens.
#pragma once

#include <windows.h>

#include "framework/kstring.h"

class Hyperlink {
public:
    static constexpr COLORREF kLinkColor = RGB(0, 0, 255);
    static constexpr COLORREF kVisitedColor = RGB(128, 0, 128);

    Hyperlink() = default;
    ~Hyperlink();
    Hyperlink(const Hyperlink&) = delete;
    Hyperlink& operator=(const Hyperlink&) = delete;

    // Subclasses the control until it is destroyed; false when there is
    // none or this object is already bound.
    bool Attach(HWND control);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void Open();
    void Detach();

    HWND control_ = nullptr;
    HWND tooltip_ = nullptr;
    WNDPROC previous_ = nullptr;
    HFONT font_ = nullptr;
    String address_;
    bool visited_ = false;
};
