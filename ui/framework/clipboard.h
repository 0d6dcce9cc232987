// Reading the clipboard's text.
#pragma once

#include <string>

#include "win32.h"

namespace orlimo::ui {

// The clipboard's Unicode text up to its first NUL; empty when it holds none.
// Throws std::runtime_error when the clipboard cannot be opened (another
// program holds it) and std::bad_alloc.
[[nodiscard]] std::wstring ClipboardText(HWND owner);

}  // namespace orlimo::ui
