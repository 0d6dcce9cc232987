// Keeps the dialogs' captions readable where the template's font, 굴림, is
// not installed: the template gets a face that has Hangul instead.
#pragma once

#include <string_view>

class DialogTemplate;

namespace orlimo::ui {

// True when the face, as the font mapper realises it, has a glyph for every
// character of `text`.
[[nodiscard]] bool FaceHasGlyphs(std::wstring_view face, std::wstring_view text);

// Keeps the template's face when it shows Hangul, else puts in the first of a
// list of Korean faces that does; with none, the template stays as it is.
void EnsureHangulFace(DialogTemplate& dialogTemplate);

}  // namespace orlimo::ui
