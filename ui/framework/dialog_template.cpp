#include "dialog_template.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr WORD kExtendedSignature = 0xFFFF;
constexpr std::size_t kPlainHeaderWords = 9;      // style .. cy of DLGTEMPLATE
constexpr std::size_t kExtendedHeaderWords = 13;  // dlgVer .. cy of DLGTEMPLATEEX

// Word index just past the zero-terminated string at `at`, or 0 when it runs
// off the end.
[[nodiscard]] std::size_t SkipString(const std::vector<WORD>& words, std::size_t at) noexcept
{
    for (std::size_t i = at; i < words.size(); ++i) {
        if (words[i] == 0) return i + 1;
    }
    return 0;
}

// Word index past a menu or class field: 0 (none), 0xFFFF and an ordinal, or a
// string. 0 when it runs off the end.
[[nodiscard]] std::size_t SkipNameOrOrdinal(const std::vector<WORD>& words, std::size_t at) noexcept
{
    if (at >= words.size()) return 0;
    if (words[at] == 0) return at + 1;
    if (words[at] == 0xFFFF) return at + 2 <= words.size() ? at + 2 : 0;
    return SkipString(words, at);
}

[[nodiscard]] std::size_t RoundUpToDword(std::size_t words) noexcept
{
    return (words + 1) & ~std::size_t{1};
}

}  // namespace

bool DialogTemplate::Load(HINSTANCE module, UINT id)
{
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!info) return false;
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = ::SizeofResource(module, info);
    if (!bytes || size < kPlainHeaderWords * sizeof(WORD)) return false;

    m_words.assign((size + 1) / sizeof(WORD), 0);
    std::memcpy(m_words.data(), bytes, size);
    LocateFace();
    return true;
}

void DialogTemplate::LocateFace() noexcept
{
    m_faceAt = m_faceEnd = 0;
    const bool extended = IsExtended();
    if ((Style() & DS_SETFONT) == 0) return;

    std::size_t at = extended ? kExtendedHeaderWords : kPlainHeaderWords;
    at = SkipNameOrOrdinal(m_words, at);               // menu
    if (at != 0) at = SkipNameOrOrdinal(m_words, at);  // window class
    if (at != 0) at = SkipString(m_words, at);         // caption
    if (at == 0) return;
    at += extended ? 3 : 1;  // point size; weight, italic and character set
    const std::size_t end = at < m_words.size() ? SkipString(m_words, at) : 0;
    if (end == 0) return;
    m_faceAt = at;
    m_faceEnd = end;
}

bool DialogTemplate::IsExtended() const noexcept
{
    return m_words.size() >= kExtendedHeaderWords && m_words[0] == 1 &&
           m_words[1] == kExtendedSignature;
}

DWORD DialogTemplate::Style() const noexcept
{
    if (m_words.size() < kPlainHeaderWords) return 0;
    const std::size_t at = IsExtended() ? 6 : 0;
    return m_words[at] | static_cast<DWORD>(m_words[at + 1]) << 16;
}

void DialogTemplate::AddStyle(DWORD style) noexcept
{
    if (m_words.size() < kPlainHeaderWords) return;
    const std::size_t at = IsExtended() ? 6 : 0;
    const DWORD combined = Style() | style;
    m_words[at] = LOWORD(combined);
    m_words[at + 1] = HIWORD(combined);
}

std::wstring_view DialogTemplate::FaceName() const noexcept
{
    if (m_faceAt == 0) return {};
    return {reinterpret_cast<const wchar_t*>(m_words.data() + m_faceAt), m_faceEnd - m_faceAt - 1};
}

void DialogTemplate::SetFaceName(std::wstring_view face)
{
    if (m_faceAt == 0) return;
    // The items start on the next DWORD boundary after the face; each keeps
    // its alignment when the block moves by a whole number of DWORDs.
    const std::size_t itemsAt = std::min(RoundUpToDword(m_faceEnd), m_words.size());
    std::vector<WORD> words(m_words.begin(),
                            m_words.begin() + static_cast<std::ptrdiff_t>(m_faceAt));
    words.insert(words.end(), face.begin(), face.end());
    words.push_back(0);
    words.resize(RoundUpToDword(words.size()), 0);
    words.insert(words.end(), m_words.begin() + static_cast<std::ptrdiff_t>(itemsAt),
                 m_words.end());
    m_words = std::move(words);
    LocateFace();
}
