// The in-place phases of the removing transform, in one forward sweep.
#pragma once

#include <cstdint>
#include <string_view>

namespace orlimo {

// Takes out of text[0, length) every script element around an occurrence of
// `call`, with its line tail, as the in-place phase does: each removal
// closes the text up at once, so later searches (the backward start-tag
// search in particular) see the text already closed up. Works inside the
// block; sets `length` and writes a NUL there. Returns the number removed.
// Linear in `length`; allocates at most a small stack of remembered scans,
// and may throw std::bad_alloc with the text part way closed up (the command
// then stores nothing).
[[nodiscard]] int32_t CloseUpScriptElements(char* text, int32_t& length, std::string_view call);

}  // namespace orlimo
