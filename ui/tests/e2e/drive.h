// Orlimo's windows driven as a person drives them, from this process or from
// another: the program started next to this one, the active window waited
// for by its title, texts read, buttons clicked, keys pressed through the
// system's input queue, the clipboard. Every wait has a deadline. The tests
// and bench/dialog_timing.cpp share it.
#pragma once

#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <thread>

#include "version.h"

namespace drive {

inline const std::wstring kMainTitle = L"Orlimo (skin.html) v" ORLIMO_VERSION_SHORT;

// Calls `probe` until it gives something true or `ms` pass; returns its last answer.
template <typename Probe>
auto WaitFor(Probe probe, DWORD ms = 20000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (auto answer = probe();; answer = probe()) {
        if (answer || std::chrono::steady_clock::now() >= end) return answer;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
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

// Presses the keys in order ({VK_CONTROL, 'Z'} is Ctrl+Z), then lets them go.
inline void Press(std::initializer_list<int> keys)
{
    for (int key : keys) ::keybd_event(static_cast<BYTE>(key), 0, 0, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        ::keybd_event(static_cast<BYTE>(*key), 0, KEYEVENTF_KEYUP, 0);
    }
}

inline bool SetClipboardText(const std::wstring& text)
{
    if (!WaitFor([] { return ::OpenClipboard(nullptr); }, 5000)) return false;
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (auto* copy = block ? static_cast<wchar_t*>(::GlobalLock(block)) : nullptr) {
        copy[text.copy(copy, text.size())] = L'\0';
        ::GlobalUnlock(block);
    }
    const bool set = block && ::SetClipboardData(CF_UNICODETEXT, block);
    ::CloseClipboard();
    return set;
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
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program()
    {
        if (!m_process.hProcess) return;
        ::TerminateProcess(m_process.hProcess, 1);  // nothing when it has ended
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    [[nodiscard]] bool Ended() const
    {
        return ::WaitForSingleObject(m_process.hProcess, 20000) == WAIT_OBJECT_0;
    }

    HWND main = nullptr;

private:
    PROCESS_INFORMATION m_process{};
};

}  // namespace drive
