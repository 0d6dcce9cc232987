// The text buffer's life: loaded from the host, spliced, stored back.
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

void CSkinPatchCore::InsertText(std::string_view insert, int32_t position)
{
    if (position < 0 || position > m_nTextLen) throw std::out_of_range("insert position");
    const int64_t newLength = int64_t{m_nTextLen} + static_cast<int64_t>(insert.size());
    if (newLength > INT32_MAX - 1) throw std::length_error("the skin text is too long");

    // Build the new block completely before touching the members.
    auto block = orlimo::NewUninitializedBytes(static_cast<std::size_t>(newLength) + 1);
    const std::size_t head = static_cast<std::size_t>(position);
    const std::size_t rest = static_cast<std::size_t>(m_nTextLen) - head;
    std::memcpy(block.get(), m_pszText.get(), head);
    std::memcpy(block.get() + head, insert.data(), insert.size());
    std::memcpy(block.get() + head + insert.size(), m_pszText.get() + head, rest);
    block[static_cast<std::size_t>(newLength)] = '\0';

    m_pszText = std::move(block);
    m_nTextLen = static_cast<int32_t>(newLength);
}
