// UTF-16 <-> UTF-8: every character crosses, anything without a UTF-8 form is
// refused instead of being replaced. A skin file's bytes: UTF-8, else code
// page 949.
#include "unicode.h"

#include <gtest/gtest.h>

#include <optional>

#include "skin_file.h"

namespace {

using orlimo::ui::ToUtf16;
using orlimo::ui::ToUtf8;

TEST(Unicode, RoundTripsEveryPlane)
{
    const std::pair<std::wstring, std::string> cases[] = {
        {L"", ""},
        {L"<head>", "<head>"},
        {L"한글", "\xED\x95\x9C\xEA\xB8\x80"},
        {L"\U0001F600", "\xF0\x9F\x98\x80"},  // emoji: a surrogate pair
        {L"\U00020000", "\xF0\xA0\x80\x80"},  // a Hanja outside the basic plane
        {L"\u00A0\u2026\uFFFD", "\xC2\xA0\xE2\x80\xA6\xEF\xBF\xBD"},
        {std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& [utf16, utf8] : cases) {
        EXPECT_EQ(ToUtf8(utf16), utf8);
        EXPECT_EQ(ToUtf16(utf8), utf16);
    }
}

TEST(Unicode, UnpairedSurrogatesHaveNoUtf8)
{
    for (const std::wstring& text :
         {std::wstring(L"a\xD83D"), std::wstring(L"\xDE00z"), std::wstring(L"\xDE00\xD83D"),
          std::wstring(L"\xD83D\xD83D")}) {
        EXPECT_THROW((void)ToUtf8(text), orlimo::ui::UnpairedSurrogateError);
    }
}

TEST(Unicode, MalformedUtf8IsRefused)
{
    for (const std::string& bytes : {std::string("\xFF"), std::string("\xED\x95"),
                                     std::string("\xC0\xAF"), std::string("\xED\xA0\x80")}) {
        EXPECT_THROW((void)ToUtf16(bytes), orlimo::ui::InvalidUtf8Error);
    }
}

TEST(Unicode, SkinFilesAreUtf8OrElseCodePage949)
{
    using Text = std::optional<std::wstring>;
    const std::pair<std::string, Text> cases[] = {
        {"", L""},
        {"<p>\xED\x95\x9C\xEA\xB8\x80</p>", L"<p>한글</p>"},
        {"\xEF\xBB\xBF<p>\xED\x95\x9C</p>", L"<p>한</p>"},  // the byte-order mark goes
        {"<p>\xC7\xD1\xB1\xDB</p>", L"<p>한글</p>"},        // code page 949
        {std::string("a\0b", 3), std::nullopt},             // an edit box holds no NUL
        {"\x81\x20", std::nullopt},                         // neither
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(orlimo::ui::DecodeSkinText(bytes), text) << ::testing::PrintToString(bytes);
    }
}

}  // namespace
