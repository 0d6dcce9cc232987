#include "edit.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

// Painting of a window held off for the lifetime of the object, then the
// whole window redrawn once.
class ScopedRedrawOff {
public:
    explicit ScopedRedrawOff(HWND window) noexcept : m_window(window)
    {
        ::SendMessageW(m_window, WM_SETREDRAW, FALSE, 0);
    }
    ScopedRedrawOff(const ScopedRedrawOff&) = delete;
    ScopedRedrawOff& operator=(const ScopedRedrawOff&) = delete;
    ~ScopedRedrawOff()
    {
        ::SendMessageW(m_window, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(m_window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
    }

private:
    HWND m_window;
};

}  // namespace

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

void CEdit::ReplaceAllText(std::wstring_view text) const
{
    if (text.size() > GetLimitText()) throw std::length_error("longer than the edit box takes");
    const std::wstring old = GetWindowText();
    const std::size_t common = std::min(old.size(), text.size());
    const std::size_t prefix = static_cast<std::size_t>(
        std::mismatch(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(common), text.begin())
            .first -
        old.begin());
    std::size_t suffix = 0;
    while (suffix < common - prefix &&
           old[old.size() - 1 - suffix] == text[text.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::wstring changed(text.substr(prefix, text.size() - prefix - suffix));

    ScopedRedrawOff frozen(m_hWnd);
    if (old.size() == text.size() && changed.empty()) {
        SendMessage(EM_EMPTYUNDOBUFFER);  // nothing older may come back with Ctrl+Z
    } else {
        SendMessage(EM_SETSEL, prefix, static_cast<LPARAM>(old.size() - suffix));
        SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(changed.c_str()));
        // The control leaves its text alone when it cannot make room.
        if (static_cast<std::size_t>(::GetWindowTextLengthW(m_hWnd)) != text.size()) {
            throw std::bad_alloc();
        }
    }
    SendMessage(EM_SETSEL, 0, 0);
    SendMessage(EM_SCROLLCARET);
}
