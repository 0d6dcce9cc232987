#include "anchor_layout.h"

namespace {

[[nodiscard]] bool TakesTheRoom(HWND control) noexcept
{
    wchar_t name[16] = {};
    ::GetClassNameW(control, name, 16);
    if (::lstrcmpiW(name, L"Edit") == 0) return true;
    return ::lstrcmpiW(name, L"Button") == 0 &&
           (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

void CAnchorLayout::Attach(HWND dialog) noexcept
{
    m_dialog = dialog;
    RECT client{};
    RECT window{};
    ::GetClientRect(dialog, &client);
    ::GetWindowRect(dialog, &window);
    m_client = {client.right, client.bottom};
    m_minimum = {window.right - window.left, window.bottom - window.top};
}

void CAnchorLayout::OnSize(WPARAM type, int cx, int cy) noexcept
{
    if (!m_dialog || type == SIZE_MINIMIZED) return;
    const int dx = cx - m_client.cx;
    const int dy = cy - m_client.cy;
    if (dx == 0 && dy == 0) return;
    m_client = {cx, cy};

    int count = 0;
    for (HWND child = ::GetWindow(m_dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        ++count;
    }
    HDWP moves = ::BeginDeferWindowPos(count);
    for (HWND child = ::GetWindow(m_dialog, GW_CHILD); child && moves;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&rect), 2);
        const bool grows = TakesTheRoom(child);
        moves = ::DeferWindowPos(
            moves, child, nullptr, rect.left + (grows ? 0 : dx), rect.top + (grows ? 0 : dy),
            rect.right - rect.left + (grows ? dx : 0), rect.bottom - rect.top + (grows ? dy : 0),
            SWP_NOZORDER | SWP_NOACTIVATE | (grows ? SWP_NOMOVE : SWP_NOSIZE));
    }
    if (moves) ::EndDeferWindowPos(moves);
    // The group box paints only its frame: what it framed before must go.
    ::InvalidateRect(m_dialog, nullptr, TRUE);
}

void CAnchorLayout::OnGetMinMaxInfo(MINMAXINFO& info) const noexcept
{
    if (!m_dialog) return;
    info.ptMinTrackSize = {m_minimum.cx, m_minimum.cy};
}
