#include "clipboard.h"

#include <cwchar>
#include <stdexcept>

namespace orlimo::ui {
namespace {

class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) noexcept : m_open(::OpenClipboard(owner) != FALSE) {}
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope()
    {
        if (m_open) ::CloseClipboard();
    }
    [[nodiscard]] bool IsOpen() const noexcept { return m_open; }

private:
    bool m_open;
};

class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL block) noexcept : m_block(block), m_data(::GlobalLock(block))
    {
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    ~GlobalLockScope()
    {
        if (m_data) ::GlobalUnlock(m_block);
    }
    [[nodiscard]] const void* Data() const noexcept { return m_data; }

private:
    HGLOBAL m_block;
    void* m_data;
};

}  // namespace

std::wstring ClipboardText(HWND owner)
{
    OpenClipboardScope clipboard(owner);
    if (!clipboard.IsOpen()) throw std::runtime_error("the clipboard is busy");
    HANDLE block = ::GetClipboardData(CF_UNICODETEXT);
    if (!block) return {};
    GlobalLockScope locked(block);
    const auto* text = static_cast<const wchar_t*>(locked.Data());
    if (!text) return {};
    return std::wstring(text, ::wcsnlen(text, ::GlobalSize(block) / sizeof(wchar_t)));
}

}  // namespace orlimo::ui
