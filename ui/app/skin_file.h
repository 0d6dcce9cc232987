// A skin file dropped on the main dialog, read as text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "refusal.h"

namespace orlimo::ui {

// The bytes of a skin file as text: UTF-8 (a leading byte-order mark dropped)
// when they are well-formed UTF-8, else code page 949, in which older skins
// are stored. nullopt when they are neither, or hold a NUL, which an edit box
// cannot hold. Throws std::bad_alloc.
[[nodiscard]] std::optional<std::wstring> DecodeSkinText(std::string_view bytes);

// The text of the file at `path`, at most `maxUnits` UTF-16 units long, with
// every line end made CR LF: a Windows text box breaks lines only there
// (before Windows 10 1809), and most skins are stored with bare LF. Throws
// Refusal (a folder, an unreadable file, an empty file, a longer text, not
// text) and std::bad_alloc.
[[nodiscard]] std::wstring ReadSkinFile(const std::wstring& path, std::size_t maxUnits);

}  // namespace orlimo::ui
