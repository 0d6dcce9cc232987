// The text buffer's life: loaded from the host, stored back, released; and
// the default copy for a host that hands over a view of its text.
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "skin_patch_core.h"
#include "uninitialized_bytes.h"

void CSkinPatchCore::LoadText()
{
    const int32_t length = HostTextLength();
    if (length < 0 || length > kMaxTextLength) {
        throw std::length_error("the skin text is too long");
    }
    auto block = orlimo::NewUninitializedBytes(static_cast<std::size_t>(length) + 1);
    HostGetText(block.get(), length + 1);
    m_pszText = std::move(block);
    m_nTextLen = length;
}

void CSkinPatchCore::StoreText()
{
    const char* text = m_pszText.get();
    HostSetText(std::string_view(text, std::strlen(text)));
    ReleaseText();
}

void CSkinPatchCore::ReleaseText() noexcept
{
    m_pszText.reset();
    m_nTextLen = 0;
}

int32_t TextViewHost::HostTextLength()
{
    m_hostText = HostTextView();
    constexpr std::size_t kTooLong = std::size_t{kMaxTextLength} + 1;
    return static_cast<int32_t>(std::min(m_hostText.size(), kTooLong));
}

void TextViewHost::HostGetText(char* dest, int32_t capacity)
{
    const std::size_t count = std::min(m_hostText.size(), static_cast<std::size_t>(capacity) - 1);
    std::memcpy(dest, m_hostText.data(), count);
    dest[count] = '\0';
    m_hostText = {};
    HostTextCopied();
}
