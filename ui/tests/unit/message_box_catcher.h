// Answers the message boxes that the dialog under test shows on this thread:
// a thread timer, which a message box's own loop dispatches, records each
// box's caption, text and icon and presses its OK button.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "allocation_failure.h"

struct ShownBox {
    std::wstring caption;
    std::wstring text;
    bool hasIcon = false;
};

class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(HWND owner) : m_owner(owner)
    {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 10, &MessageBoxCatcher::OnTimer);
    }
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;
    ~MessageBoxCatcher()
    {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }

    std::vector<ShownBox> boxes;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        if (s_current) {
            ::EnumThreadWindows(::GetCurrentThreadId(), &MessageBoxCatcher::Answer,
                                reinterpret_cast<LPARAM>(s_current));
        }
    }

    static BOOL CALLBACK Answer(HWND hwnd, LPARAM self)
    {
        auto* catcher = reinterpret_cast<MessageBoxCatcher*>(self);
        if (::GetWindow(hwnd, GW_OWNER) != catcher->m_owner || !::IsWindowVisible(hwnd))
            return TRUE;
        AllocationFailureSuspended exempt;  // the catcher's own bookkeeping
        ShownBox box;
        box.caption = Text(hwnd);
        box.text = Text(::GetDlgItem(hwnd, 0xFFFF));
        ::EnumChildWindows(
            hwnd,
            [](HWND child, LPARAM found) -> BOOL {
                wchar_t name[16] = {};
                ::GetClassNameW(child, name, 16);
                if (::lstrcmpiW(name, L"Static") == 0 && ::IsWindowVisible(child) &&
                    (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                    ::SendMessageW(child, STM_GETICON, 0, 0) != 0) {
                    *reinterpret_cast<bool*>(found) = true;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&box.hasIcon));
        catcher->boxes.push_back(box);
        ::SendMessageW(hwnd, WM_COMMAND, IDOK, 0);
        return FALSE;
    }

    static std::wstring Text(HWND hwnd)
    {
        wchar_t buffer[1024] = {};
        ::GetWindowTextW(hwnd, buffer, 1024);
        return buffer;
    }

    static inline MessageBoxCatcher* s_current = nullptr;
    HWND m_owner;
    UINT_PTR m_timer = 0;
};
