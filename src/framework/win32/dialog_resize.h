// Resizing of a dialog: controls follow the bottom-right corner as a map
// says, a size grip sits in that corner, and the dialog never gets smaller
// than it opened.
#pragma once

#include <windows.h>

class DialogResize {
public:
    enum Flags : unsigned { kSizeX = 1, kSizeY = 2, kMoveX = 4, kMoveY = 8 };
    struct Entry {
        int id;
        unsigned flags;
    };

    // Takes the dialog's present layout as the initial one. Up to kMaxEntries.
    void Initialize(HWND dialog, const Entry* map, int count);
    // WM_SIZE and WM_GETMINMAXINFO; true when the message was handled.
    bool HandleMessage(UINT message, LPARAM lParam);

private:
    static constexpr int kMaxEntries = 16;
    void Layout(int width, int height);

    HWND dialog_ = nullptr;
    HWND grip_ = nullptr;
    SIZE initialClient_ = {0, 0};
    SIZE minimumWindow_ = {0, 0};
    Entry map_[kMaxEntries];
    RECT initialRects_[kMaxEntries];
    int count_ = 0;
};
