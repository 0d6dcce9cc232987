// Strings of the program's string table, read in place.
#pragma once

#include <string_view>

#include "win32.h"

namespace orlimo::ui {

// The module whose resources the dialogs, icons and strings come from.
[[nodiscard]] HINSTANCE ResourceModule() noexcept;

// The string `id` of the resource module as a view into the loaded resource
// (no copy, no allocation); empty when there is no such string.
[[nodiscard]] std::wstring_view LoadStringView(UINT id) noexcept;

}  // namespace orlimo::ui
