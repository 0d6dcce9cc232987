#include "skin_file.h"

#include <algorithm>
#include <climits>

#include "resource.h"
#include "unicode.h"

namespace orlimo::ui {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr UINT kKoreanCodePage = 949;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) noexcept : m_handle(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
    }
    [[nodiscard]] HANDLE get() const noexcept { return m_handle; }

private:
    HANDLE m_handle;
};

// Bare LF and bare CR become CR LF, as in a copy from an editor.
[[nodiscard]] std::wstring WithCrLf(std::wstring_view text)
{
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            result += L"\r\n";
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace

std::optional<std::wstring> DecodeSkinText(std::string_view bytes)
{
    if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
    try {
        return ToUtf16(bytes.substr(0, 3) == kUtf8Bom ? bytes.substr(3) : bytes);
    } catch (const InvalidUtf8Error&) {
    }
    const int units = ::MultiByteToWideChar(kKoreanCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                            static_cast<int>(bytes.size()), nullptr, 0);
    if (units <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(kKoreanCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                          static_cast<int>(bytes.size()), text.data(), units);
    return text;
}

std::wstring ReadSkinFile(const std::wstring& path, std::size_t maxUnits)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw Refusal(IDS_FILE_UNREADABLE);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw Refusal(IDS_FILE_IS_FOLDER);
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file.get() == INVALID_HANDLE_VALUE || !::GetFileSizeEx(file.get(), &size)) {
        throw Refusal(IDS_FILE_UNREADABLE);
    }
    // Each unit takes at most three bytes (a byte-order mark aside); the
    // conversions take at most INT_MAX bytes.
    const auto maxBytes = static_cast<LONGLONG>(std::min<std::size_t>(INT_MAX, maxUnits * 3 + 3));
    if (size.QuadPart > maxBytes) throw Refusal(IDS_FILE_TOO_LARGE);

    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(bytes.size() - got),
                        &read, nullptr)) {
            throw Refusal(IDS_FILE_UNREADABLE);
        }
        if (read == 0) break;  // the file has shrunk since
        got += read;
    }
    bytes.resize(got);

    const std::optional<std::wstring> decoded = DecodeSkinText(bytes);
    if (!decoded) throw Refusal(IDS_FILE_NOT_TEXT);
    if (decoded->empty()) throw Refusal(IDS_FILE_EMPTY);  // it would empty the box
    std::string().swap(bytes);
    std::wstring text = WithCrLf(*decoded);
    if (text.size() > maxUnits) throw Refusal(IDS_FILE_TOO_LARGE);
    return text;
}

}  // namespace orlimo::ui
