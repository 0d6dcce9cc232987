// The layout of a resizable dialog whose edit boxes and group boxes take the
// room: as the dialog grows or shrinks, they grow or shrink with it, and every
// other control keeps its size and its distance from the bottom-right corner.
// The size the dialog has when Attach runs is the smallest it can be given.
#pragma once

#include "win32.h"

class CAnchorLayout {
public:
    // Takes the dialog's current size as the starting point and the minimum.
    void Attach(HWND dialog) noexcept;
    // WM_SIZE: moves and sizes the controls by the change of the client area.
    void OnSize(WPARAM type, int cx, int cy) noexcept;
    // WM_GETMINMAXINFO.
    void OnGetMinMaxInfo(MINMAXINFO& info) const noexcept;

private:
    HWND m_dialog = nullptr;
    SIZE m_client{};   // the client area the controls are placed for
    SIZE m_minimum{};  // the window's smallest size
};
