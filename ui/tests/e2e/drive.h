// Orlimo's windows driven as a person drives them, from this process or from
// another: the program started next to this one, the active window waited
// for by its title, texts read, buttons clicked, keys pressed through the
// system's input queue. Every wait has a deadline. The tests and
// bench/dialog_timing.cpp share it.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "version.h"

namespace drive {

inline const std::wstring kMainTitle = L"Orlimo (skin.html) v" ORLIMO_VERSION_SHORT;

// Calls `probe` until it gives something true or `ms` pass; returns its last answer.
template <typename Probe>
auto WaitFor(Probe probe, DWORD ms = 20000)
{
    for (const ULONGLONG end = ::GetTickCount64() + ms;; ::Sleep(20)) {
        auto answer = probe();
        if (answer || ::GetTickCount64() >= end) return answer;
    }
}

// A window's text, also one of another process (WM_GETTEXT carries it over).
inline std::wstring Text(HWND window)
{
    std::wstring text(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
    text.resize(
        ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    return text;
}

// The active window once it is titled `title`; null after 20 s.
inline HWND Active(const std::wstring& title)
{
    return WaitFor([&title] {
        HWND window = ::GetForegroundWindow();
        return window && Text(window) == title ? window : nullptr;
    });
}

inline void Click(HWND dialog, int id)
{
    ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Modifiers of a key to press: kCtrl | 'Z' is Ctrl+Z.
constexpr int kShift = 0x100, kCtrl = 0x200, kAlt = 0x400;

// Presses the keys in turn, each with its modifiers, for whichever window has
// the keyboard focus.
inline void Press(std::initializer_list<int> keys)
{
    for (int key : keys) {
        const int held[] = {key & kShift ? VK_SHIFT : 0, key & kCtrl ? VK_CONTROL : 0,
                            key & kAlt ? VK_MENU : 0, key & 0xFF};
        for (int k : held)
            if (k) ::keybd_event(static_cast<BYTE>(k), 0, 0, 0);
        for (auto k = std::rbegin(held); k != std::rend(held); ++k)
            if (*k) ::keybd_event(static_cast<BYTE>(*k), 0, KEYEVENTF_KEYUP, 0);
    }
}

// Orlimo.exe (looked for first in this program's folder), started until its
// main dialog is the active window, and ended at the end if it still runs.
class Program {
public:
    explicit Program(const std::wstring& exe = L"Orlimo.exe")
    {
        STARTUPINFOW startup{sizeof startup};
        std::wstring command = L"\"" + exe + L"\"";
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &m_process)) {
            main = Active(kMainTitle);
        }
    }
    ~Program()
    {
        ::TerminateProcess(m_process.hProcess, 1);  // nothing when it has ended
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    [[nodiscard]] bool Ended() const
    {
        return ::WaitForSingleObject(m_process.hProcess, 20000) == WAIT_OBJECT_0;
    }

    HWND main = nullptr;
    PROCESS_INFORMATION m_process{};
};

}  // namespace drive
