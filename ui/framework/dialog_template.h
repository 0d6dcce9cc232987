// A copy of a dialog template resource (plain or extended) that can be given
// another font face, or more window styles, before the dialog is created from
// it.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "win32.h"

class DialogTemplate {
public:
    // Copies the template `id` of `module`; false when there is none.
    // Throws std::bad_alloc.
    bool Load(HINSTANCE module, UINT id);

    [[nodiscard]] const DLGTEMPLATE* Data() const noexcept
    {
        return reinterpret_cast<const DLGTEMPLATE*>(m_words.data());
    }
    // The face of the template's font; empty when it names none (no
    // DS_SETFONT) or the template is malformed.
    [[nodiscard]] std::wstring_view FaceName() const noexcept;
    // Puts `face` in place of the font face; nothing happens when FaceName()
    // is empty. Throws std::bad_alloc.
    void SetFaceName(std::wstring_view face);

    // Adds window styles to the dialog's own.
    void AddStyle(DWORD style) noexcept;

private:
    [[nodiscard]] bool IsExtended() const noexcept;
    [[nodiscard]] DWORD Style() const noexcept;
    // Finds the font face; leaves m_faceAt at 0 when there is none.
    void LocateFace() noexcept;

    std::vector<WORD> m_words;  // the template; the vector keeps it DWORD-aligned
    std::size_t m_faceAt = 0;   // word index of the face name
    std::size_t m_faceEnd = 0;  // word index just past its NUL
};
