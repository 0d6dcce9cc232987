// Owners of device contexts and GDI objects: each gives back what it took
// when it goes out of scope.
#pragma once

#include "win32.h"

namespace orlimo::ui {

// A font created by the program, deleted at the end.
class UniqueFont {
public:
    explicit UniqueFont(HFONT handle) noexcept : m_handle(handle) {}
    UniqueFont(const UniqueFont&) = delete;
    UniqueFont& operator=(const UniqueFont&) = delete;
    ~UniqueFont()
    {
        if (m_handle) ::DeleteObject(m_handle);
    }
    [[nodiscard]] HFONT get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != nullptr; }

private:
    HFONT m_handle;
};

// The device context of a window (or of the screen, with no window), released
// at the end.
class WindowDC {
public:
    explicit WindowDC(HWND window) noexcept : m_window(window), m_dc(::GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC()
    {
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    [[nodiscard]] HDC get() const noexcept { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// An object selected into a device context; the previous one is put back at
// the end.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept
        : m_dc(dc), m_previous(::SelectObject(dc, object))
    {
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject()
    {
        if (m_previous && m_previous != HGDI_ERROR) ::SelectObject(m_dc, m_previous);
    }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace orlimo::ui

// The paint context of one WM_PAINT: BeginPaint here, EndPaint at the end.
class CPaintDC {
public:
    explicit CPaintDC(HWND window) noexcept : m_hWnd(window)
    {
        m_hDC = ::BeginPaint(window, &m_ps);
    }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

    HDC m_hDC = nullptr;
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};
