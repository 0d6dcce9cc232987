// The clipboard's Unicode text, read and written.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "win32.h"

namespace orlimo::ui {

// Another program kept the clipboard open through every try.
class ClipboardBusyError : public std::runtime_error {
public:
    ClipboardBusyError() : std::runtime_error("the clipboard is busy") {}
};

// The clipboard's text up to its first NUL; empty when it holds none. Throws
// ClipboardBusyError and std::bad_alloc.
[[nodiscard]] std::wstring ClipboardText(HWND owner);

// Puts `text` on the clipboard in place of what it holds, owned by `owner`.
// Throws ClipboardBusyError and std::bad_alloc with the clipboard as it was,
// std::runtime_error when the clipboard takes no text.
void SetClipboardText(HWND owner, std::wstring_view text);

}  // namespace orlimo::ui
