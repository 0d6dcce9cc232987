#include "clipboard.h"

#include <cwchar>
#include <new>

namespace orlimo::ui {
namespace {

// Another program may hold the clipboard for a moment (a clipboard viewer
// reading what has just changed): a few tries, half a second in all.
constexpr int kOpenTries = 10;
constexpr DWORD kRetryMs = 50;

class OpenClipboardScope {
public:
    // Throws ClipboardBusyError.
    explicit OpenClipboardScope(HWND owner)
    {
        for (int tries = 1; !::OpenClipboard(owner); ++tries) {
            if (tries == kOpenTries) throw ClipboardBusyError();
            ::Sleep(kRetryMs);
        }
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() { ::CloseClipboard(); }
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
    [[nodiscard]] void* Data() const noexcept { return m_data; }

private:
    HGLOBAL m_block;
    void* m_data;
};

// A movable global block, freed unless the clipboard has taken it.
class GlobalBlock {
public:
    // Throws std::bad_alloc.
    explicit GlobalBlock(std::size_t bytes) : m_block(::GlobalAlloc(GMEM_MOVEABLE, bytes))
    {
        if (!m_block) throw std::bad_alloc();
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    ~GlobalBlock()
    {
        if (m_block) ::GlobalFree(m_block);
    }
    [[nodiscard]] HGLOBAL get() const noexcept { return m_block; }
    void release() noexcept { m_block = nullptr; }

private:
    HGLOBAL m_block;
};

}  // namespace

std::wstring ClipboardText(HWND owner)
{
    OpenClipboardScope clipboard(owner);
    HANDLE block = ::GetClipboardData(CF_UNICODETEXT);
    if (!block) return {};
    GlobalLockScope locked(block);
    const auto* text = static_cast<const wchar_t*>(locked.Data());
    if (!text) return {};
    return std::wstring(text, ::wcsnlen(text, ::GlobalSize(block) / sizeof(wchar_t)));
}

void SetClipboardText(HWND owner, std::wstring_view text)
{
    // Everything that can fail comes before the clipboard is emptied.
    GlobalBlock block((text.size() + 1) * sizeof(wchar_t));
    {
        GlobalLockScope locked(block.get());
        auto* units = static_cast<wchar_t*>(locked.Data());
        if (!units) throw std::bad_alloc();
        units[text.copy(units, text.size())] = L'\0';
    }
    OpenClipboardScope clipboard(owner);
    if (!::EmptyClipboard() || !::SetClipboardData(CF_UNICODETEXT, block.get())) {
        throw std::runtime_error("the clipboard took no text");
    }
    block.release();
}

}  // namespace orlimo::ui
