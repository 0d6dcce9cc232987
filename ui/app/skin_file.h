// A skin file dropped on the main dialog, read as text.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "win32.h"

namespace orlimo::ui {

// Why a file is not loaded: the id of the string-table message that says so.
class SkinFileError : public std::runtime_error {
public:
    explicit SkinFileError(UINT id) : std::runtime_error("skin file not loaded"), messageId(id) {}
    UINT messageId;
};

// The bytes of a skin file as text: UTF-8 (a leading byte-order mark dropped)
// when they are well-formed UTF-8, else code page 949, in which older skins
// are stored. nullopt when they are neither, or hold a NUL, which an edit box
// cannot hold. Throws std::bad_alloc.
[[nodiscard]] std::optional<std::wstring> DecodeSkinText(std::string_view bytes);

// The text of the file at `path`, at most `maxUnits` UTF-16 units long.
// Throws SkinFileError (a folder, an unreadable file, a longer text, not
// text) and std::bad_alloc.
[[nodiscard]] std::wstring ReadSkinFile(const std::wstring& path, std::size_t maxUnits);

}  // namespace orlimo::ui
