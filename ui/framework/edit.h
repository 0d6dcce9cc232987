// The wrapper of one edit control that a dialog binds with DDX_Control.
#pragma once

#include <string>
#include <string_view>

#include "win32.h"

class CEdit {
public:
    CEdit() = default;
    CEdit(const CEdit&) = delete;
    CEdit& operator=(const CEdit&) = delete;

    // Binds the control, unless the wrapper's control still exists: a dialog
    // run again binds its new one.
    void Attach(HWND control) noexcept
    {
        if (!::IsWindow(m_hWnd)) m_hWnd = control;
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }

    // The whole text. Throws std::bad_alloc.
    [[nodiscard]] std::wstring GetWindowText() const;
    // Replaces the whole text with `text` (which holds no NUL) as one edit that
    // Ctrl+Z takes back, and puts the caret at the start. Only the stretch
    // that differs from the current text is replaced, with painting held off:
    // the control lays out every line it is given, which is what a long text
    // costs. Throws std::length_error when `text` is longer than the control's
    // limit (the control would cut it) and std::bad_alloc, also when the
    // control has no room for it; the text is then as it was.
    void ReplaceAllText(std::wstring_view text) const;

    // 0 sets the largest limit the control takes.
    void SetLimitText(UINT limit) const noexcept { SendMessage(EM_SETLIMITTEXT, limit, 0); }
    [[nodiscard]] UINT GetLimitText() const noexcept
    {
        return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT, 0, 0));
    }

    HWND m_hWnd = nullptr;
};
