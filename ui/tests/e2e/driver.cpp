// Orlimo's test driver: runs under the same Wine as Orlimo.exe and answers
// one request per line on stdin, one reply per line on stdout ("ok ..." or
// "err ..."). It finds windows and controls, reads and sets their text, clicks
// buttons, drops files and reads the clipboard, the way a person's eyes and
// mouse would, without pixel positions. Texts travel as hex of UTF-16LE, so that anything
// a window can hold (a lone surrogate too) crosses the pipe unchanged.
//
// Every wait has a timeout, every cross-process message a time limit.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT kSendTimeoutMs = 10000;

std::string ToHex(std::wstring_view text)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(text.size() * 4);
    for (wchar_t c : text) {
        const auto unit = static_cast<unsigned>(c);
        for (unsigned byte : {unit & 0xFF, unit >> 8}) {
            hex += kDigits[byte >> 4];
            hex += kDigits[byte & 0xF];
        }
    }
    return hex.empty() ? "-" : hex;
}

std::wstring FromHex(const std::string& hex)
{
    std::wstring text;
    if (hex == "-") return text;
    for (std::size_t i = 0; i + 3 < hex.size(); i += 4) {
        const unsigned lo = static_cast<unsigned>(std::stoul(hex.substr(i, 2), nullptr, 16));
        const unsigned hi = static_cast<unsigned>(std::stoul(hex.substr(i + 2, 2), nullptr, 16));
        text += static_cast<wchar_t>(lo | hi << 8);
    }
    return text;
}

HWND ParseHwnd(const std::string& s)
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::stoull(s, nullptr, 16)));
}

std::string HwndText(HWND hwnd)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    return buffer;
}

// Polls `probe` until it gives a window or `ms` have passed.
template <typename Probe>
HWND WaitFor(Probe probe, DWORD ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (HWND found = probe()) return found;
        if (std::chrono::steady_clock::now() >= deadline) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
}

// Polls `condition` until it holds or `ms` have passed.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
}

std::wstring WindowText(HWND hwnd)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

std::wstring ClassName(HWND hwnd)
{
    wchar_t name[256] = {};
    const int n = ::GetClassNameW(hwnd, name, 256);
    return std::wstring(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// Visible top-level windows, in z-order.
std::vector<HWND> TopWindows()
{
    std::vector<HWND> windows;
    ::EnumWindows(
        [](HWND hwnd, LPARAM out) -> BOOL {
            if (::IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A visible top-level window titled `title`, owned by `owner` unless that is
// null.
HWND FindTitled(const std::wstring& title, HWND owner)
{
    for (HWND hwnd : TopWindows()) {
        if (owner && ::GetWindow(hwnd, GW_OWNER) != owner) continue;
        if (WindowText(hwnd) == title) return hwnd;
    }
    return nullptr;
}

HWND Control(HWND dialog, int id)
{
    return id == 0 ? dialog : ::GetDlgItem(dialog, id);
}

// The clipboard, open for as long as the object lives.
class OpenClipboardScope {
public:
    OpenClipboardScope()
    {
        for (int attempt = 0; attempt < 100 && !m_open; ++attempt) {
            m_open = ::OpenClipboard(nullptr) != FALSE;
            if (!m_open) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope()
    {
        if (m_open) ::CloseClipboard();
    }
    [[nodiscard]] bool IsOpen() const { return m_open; }

private:
    bool m_open = false;
};

std::string ClipboardGet()
{
    OpenClipboardScope clipboard;
    if (!clipboard.IsOpen()) return "err clipboard busy";
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) return "ok -";
    const auto* text = static_cast<const wchar_t*>(::GlobalLock(data));
    if (!text) return "err lock";
    std::string reply = "ok " + ToHex(text);
    ::GlobalUnlock(data);
    return reply;
}

std::string ClipboardSet(const std::wstring& text)
{
    OpenClipboardScope clipboard;
    if (!clipboard.IsOpen()) return "err clipboard busy";
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!block) return "err alloc";
    auto* dest = static_cast<wchar_t*>(::GlobalLock(block));
    text.copy(dest, text.size());
    dest[text.size()] = L'\0';
    ::GlobalUnlock(block);
    if (!::SetClipboardData(CF_UNICODETEXT, block)) {
        ::GlobalFree(block);
        return "err set";
    }
    return "ok";
}

// Drops files on a window as the shell does: a DROPFILES block (laid out
// here) written into the window's process and posted with WM_DROPFILES; the
// window lets it go with DragFinish.
std::string DropFiles(HWND window, const std::vector<std::wstring>& paths)
{
    struct {
        DWORD pFiles;
        POINT pt;
        BOOL fNC;
        BOOL fWide;
    } header{sizeof header, {10, 10}, FALSE, TRUE};
    std::wstring names;
    for (const std::wstring& path : paths) names += path + L'\0';
    names += L'\0';
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    block.append(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(wchar_t));

    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, id);
    if (!process) return "err no process";
    void* remote =
        ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool written =
        remote && ::WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
    ::CloseHandle(process);
    if (!written) return "err write";
    return ::PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) ? "ok"
                                                                                     : "err post";
}

// The string `id` of the string table of the program file `exe`.
std::string LoadProgramString(const std::wstring& exe, UINT id)
{
    HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return "err cannot load";
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    std::string reply = "ok " + ToHex(std::wstring_view(text, length > 0 ? length : 0));
    ::FreeLibrary(module);
    return reply;
}

// The centre of the window's close box, checked by asking the window itself.
std::string ClosePoint(HWND hwnd)
{
    RECT rect;
    if (!::GetWindowRect(hwnd, &rect)) return "err no window";
    const int frame = ::GetSystemMetrics(SM_CXFIXEDFRAME);
    const int caption = ::GetSystemMetrics(SM_CYCAPTION);
    const int button = ::GetSystemMetrics(SM_CXSIZE);
    for (int dx = button / 2; dx < 3 * button; dx += 2) {
        const int x = rect.right - frame - dx;
        const int y = rect.top + frame + caption / 2;
        DWORD_PTR hit = 0;
        ::SendMessageTimeoutW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG,
                              kSendTimeoutMs, &hit);
        if (hit == HTCLOSE) return "ok " + std::to_string(x) + " " + std::to_string(y);
    }
    return "err no close box";
}

std::string Handle(const std::string& line)
{
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    auto arg = [&in]() {
        std::string s;
        in >> s;
        return s;
    };

    if (verb == "wait-window") {  // TITLE MS [OWNER]
        const std::wstring title = FromHex(arg());
        const DWORD ms = std::stoul(arg());
        const std::string ownerText = arg();
        HWND owner = ownerText.empty() ? nullptr : ParseHwnd(ownerText);
        HWND found = WaitFor([&] { return FindTitled(title, owner); }, ms);
        return found ? "ok " + HwndText(found) : "err timeout";
    }
    if (verb == "count-windows") {  // TITLE
        const std::wstring title = FromHex(arg());
        int count = 0;
        for (HWND hwnd : TopWindows()) count += WindowText(hwnd) == title;
        return "ok " + std::to_string(count);
    }
    if (verb == "wait-gone") {  // HWND MS
        HWND hwnd = ParseHwnd(arg());
        const DWORD ms = std::stoul(arg());
        return WaitUntil([&] { return !::IsWindow(hwnd); }, ms) ? "ok" : "err still there";
    }
    if (verb == "top-windows") {  // -> class:title ... (hex)
        std::string reply = "ok";
        for (HWND hwnd : TopWindows()) {
            reply += " " + ToHex(ClassName(hwnd)) + ":" + ToHex(WindowText(hwnd));
        }
        return reply;
    }
    if (verb == "click") {  // HWND ID
        HWND dialog = ParseHwnd(arg());
        HWND button = Control(dialog, std::stoi(arg()));
        if (!button) return "err no such control";
        ::PostMessageW(button, BM_CLICK, 0, 0);
        return "ok";
    }
    if (verb == "get-text") {  // HWND ID
        HWND dialog = ParseHwnd(arg());
        HWND control = Control(dialog, std::stoi(arg()));
        if (!control) return "err no such control";
        return "ok " + ToHex(WindowText(control));
    }
    if (verb == "set-text") {  // HWND ID TEXT
        HWND dialog = ParseHwnd(arg());
        HWND control = Control(dialog, std::stoi(arg()));
        const std::wstring text = FromHex(arg());
        if (!control) return "err no such control";
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                              SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
        return "ok";
    }
    if (verb == "send") {  // HWND ID MSG WPARAM LPARAM -> result
        HWND dialog = ParseHwnd(arg());
        HWND control = Control(dialog, std::stoi(arg()));
        const UINT message = static_cast<UINT>(std::stoul(arg(), nullptr, 0));
        const WPARAM wParam = std::stoull(arg(), nullptr, 0);
        const LPARAM lParam = static_cast<LPARAM>(std::stoll(arg(), nullptr, 0));
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(control, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                   kSendTimeoutMs, &result)) {
            return "err timeout";
        }
        return "ok " + std::to_string(static_cast<long long>(result));
    }
    if (verb == "post") {  // HWND ID MSG WPARAM LPARAM
        HWND dialog = ParseHwnd(arg());
        HWND control = Control(dialog, std::stoi(arg()));
        const UINT message = static_cast<UINT>(std::stoul(arg(), nullptr, 0));
        const WPARAM wParam = std::stoull(arg(), nullptr, 0);
        const LPARAM lParam = static_cast<LPARAM>(std::stoll(arg(), nullptr, 0));
        return ::PostMessageW(control, message, wParam, lParam) ? "ok" : "err post";
    }
    if (verb == "focus") {  // HWND -> id of the focused control of its thread
        HWND dialog = ParseHwnd(arg());
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info)) {
            return "err no thread info";
        }
        if (!info.hwndFocus) return "ok none";
        if (info.hwndFocus == dialog) return "ok 0";
        return "ok " + std::to_string(::GetDlgCtrlID(info.hwndFocus));
    }
    if (verb == "menu-mode") {  // HWND -> 1 while its thread tracks a menu
        HWND dialog = ParseHwnd(arg());
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info)) {
            return "err no thread info";
        }
        return (info.flags & GUI_INMENUMODE) ? "ok 1" : "ok 0";
    }
    if (verb == "rect") {  // HWND [ID] -> left top right bottom, on the screen
        HWND dialog = ParseHwnd(arg());
        const std::string id = arg();
        RECT rect;
        if (!::GetWindowRect(id.empty() ? dialog : Control(dialog, std::stoi(id)), &rect)) {
            return "err no window";
        }
        return "ok " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
               std::to_string(rect.right) + " " + std::to_string(rect.bottom);
    }
    if (verb == "close-point") return ClosePoint(ParseHwnd(arg()));
    if (verb == "drop") {  // HWND PATH...
        HWND window = ParseHwnd(arg());
        std::vector<std::wstring> paths;
        for (std::string path = arg(); !path.empty(); path = arg()) paths.push_back(FromHex(path));
        return DropFiles(window, paths);
    }
    if (verb == "load-string") {  // EXE ID
        const std::wstring exe = FromHex(arg());
        return LoadProgramString(exe, static_cast<UINT>(std::stoul(arg())));
    }
    if (verb == "clip-get") return ClipboardGet();
    if (verb == "clip-set") return ClipboardSet(FromHex(arg()));
    if (verb == "ping") return "ok";
    return "err unknown request";
}

void WriteLine(HANDLE out, const std::string& text)
{
    const std::string line = text + "\n";
    DWORD written = 0;
    ::WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

int main()
{
    HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    std::string pending;
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(in, buffer, sizeof buffer, &read, nullptr) || read == 0) return 0;
        pending.append(buffer, read);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line == "quit") return 0;
            std::string reply;
            try {
                reply = Handle(line);
            } catch (const std::exception& e) {
                reply = std::string("err ") + e.what();
            }
            WriteLine(out, reply);
        }
    }
}
