#include "edit.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT kNoLimit = 0x7FFFFFFE;  // the largest limit a multi-line edit takes
constexpr WPARAM kCtrlZ = 0x1A;

// Lifts the text limit of an edit control for the lifetime of the object.
class ScopedLimitLift {
public:
    explicit ScopedLimitLift(HWND edit) noexcept
        : m_edit(edit), m_limit(::SendMessageW(edit, EM_GETLIMITTEXT, 0, 0))
    {
        ::SendMessageW(m_edit, EM_SETLIMITTEXT, kNoLimit, 0);
    }
    ScopedLimitLift(const ScopedLimitLift&) = delete;
    ScopedLimitLift& operator=(const ScopedLimitLift&) = delete;
    ~ScopedLimitLift() { ::SendMessageW(m_edit, EM_SETLIMITTEXT, static_cast<WPARAM>(m_limit), 0); }

private:
    HWND m_edit;
    LRESULT m_limit;
};

// The messages by which the control undoes an edit: the undo messages, Ctrl+Z
// and Alt+Backspace.
[[nodiscard]] bool IsUndo(UINT message, WPARAM wParam) noexcept
{
    switch (message) {
        case WM_UNDO:
        case EM_UNDO:
            return true;
        case WM_CHAR:
            return wParam == kCtrlZ;
        case WM_SYSKEYDOWN:
            return wParam == VK_BACK;
        default:
            return false;
    }
}

}  // namespace

CEdit::~CEdit()
{
    if (m_hWnd) ::RemoveWindowSubclass(m_hWnd, &CEdit::SubclassProc, kSubclassId);
}

void CEdit::Attach(HWND control) noexcept
{
    if (m_hWnd || !control) return;
    m_hWnd = control;
    ::SetWindowSubclass(control, &CEdit::SubclassProc, kSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
}

std::wstring CEdit::GetWindowText() const
{
    // The length may be overstated, never understated; the copy says how much
    // text there really is.
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void CEdit::ReplaceAllText(const wchar_t* text) const noexcept
{
    ScopedLimitLift lift(m_hWnd);
    SendMessage(EM_SETSEL, 0, -1);
    SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    SendMessage(EM_SETSEL, 0, 0);
    SendMessage(EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK CEdit::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR data) noexcept
{
    auto* self = reinterpret_cast<CEdit*>(data);
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, &CEdit::SubclassProc, kSubclassId);
        if (self) self->m_hWnd = nullptr;
    } else if (IsUndo(message, wParam)) {
        ScopedLimitLift lift(window);
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
