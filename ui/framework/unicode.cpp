#include "unicode.h"

#include <climits>

#include "win32.h"

namespace orlimo::ui {
namespace {

[[nodiscard]] int CheckedLength(std::size_t units)
{
    if (units > INT_MAX) throw std::length_error("text too long to convert");
    return static_cast<int>(units);
}

}  // namespace

std::string ToUtf8(std::wstring_view utf16)
{
    if (utf16.empty()) return {};
    const int units = CheckedLength(utf16.size());
    const int bytes = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), units,
                                            nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) throw UnpairedSurrogateError();
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    if (::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), units, utf8.data(),
                              bytes, nullptr, nullptr) != bytes) {
        throw UnpairedSurrogateError();
    }
    return utf8;
}

std::wstring ToUtf16(std::string_view utf8)
{
    if (utf8.empty()) return {};
    const int bytes = CheckedLength(utf8.size());
    const int units =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), bytes, nullptr, 0);
    if (units <= 0) throw InvalidUtf8Error();
    std::wstring utf16(static_cast<std::size_t>(units), L'\0');
    if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), bytes, utf16.data(),
                              units) != units) {
        throw InvalidUtf8Error();
    }
    return utf16;
}

}  // namespace orlimo::ui
