// The wrapper of one edit control that a dialog binds with DDX_Control.
//
// Its text limit bounds only what the user types or pastes: the program's own
// replacement of the whole text, and an undo that brings such a text back,
// are never cut to it.
#pragma once

#include <string>
#include <string_view>

#include "win32.h"

class CEdit {
public:
    CEdit() = default;
    CEdit(const CEdit&) = delete;
    CEdit& operator=(const CEdit&) = delete;
    ~CEdit();

    // Binds the control (once); it is subclassed until it is destroyed.
    void Attach(HWND control) noexcept;
    [[nodiscard]] HWND GetSafeHwnd() const noexcept { return m_hWnd; }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }

    // The whole text. Throws std::bad_alloc.
    [[nodiscard]] std::wstring GetWindowText() const;
    // Replaces the whole text as one edit that Ctrl+Z takes back; the caret
    // goes to the start, as with a fresh text.
    void ReplaceAllText(const wchar_t* text) const noexcept;

    void SetLimitText(UINT limit) const noexcept { SendMessage(EM_SETLIMITTEXT, limit, 0); }
    [[nodiscard]] UINT GetLimitText() const noexcept
    {
        return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT, 0, 0));
    }

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data) noexcept;
};
