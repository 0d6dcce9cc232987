// The platform-free heart of Orlimo: the skin text buffer, its search and
// splice primitives, the adding and removing transforms, and the Apply and
// Remove commands written against four host operations.
//
// A front end derives from CSkinPatchCore and provides the host operations
// (the Windows dialog with its edit box, the command line with files). All
// scanning works on bytes; every marker is ASCII, so the text may be UTF-8 or
// any ASCII-compatible code page.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

class CSkinPatchCore {
public:
    // Positions and lengths are signed 32-bit by design; the searches return
    // -1 for "not found". A text longer than this is refused by LoadText, so
    // that no insertion can overflow a position (Apply grows a text by less
    // than 2.4 times its length).
    static constexpr int32_t kMaxTextLength = 512 * 1024 * 1024;

    CSkinPatchCore() = default;
    CSkinPatchCore(const CSkinPatchCore&) = delete;
    CSkinPatchCore& operator=(const CSkinPatchCore&) = delete;
    virtual ~CSkinPatchCore() = default;

    // ---- Commands -------------------------------------------------------
    // Each loads the host's text, transforms it, stores it back (always, even
    // when nothing changed) and shows the Korean report.
    //
    // On failure a command throws before it stores anything: std::bad_alloc
    // when memory runs out, std::length_error when the host's text is longer
    // than kMaxTextLength. The host's text is then unchanged, no report is
    // shown and the text buffer is released.
    void OnApplyBBCode();   // remove old markup, then add it afresh
    void OnRemoveBBCode();  // remove all BBCode markup

    // ---- Text buffer ----------------------------------------------------
    // Valid from LoadText until StoreText (or until a command ends).
    void LoadText();   // host text -> buffer
    void StoreText();  // buffer -> host text (bytes up to the first NUL); releases it

    // The current text, without its terminating NUL.
    [[nodiscard]] std::string_view Text() const noexcept
    {
        return {m_pszText.get(), static_cast<std::size_t>(m_nTextLen)};
    }

    // ---- Transforms -----------------------------------------------------
    // Both work on the loaded buffer and leave a NUL at m_nTextLen.
    [[nodiscard]] int32_t AddBBCode();     // returns the number of additions
    [[nodiscard]] int32_t RemoveBBCode();  // returns the number of pieces removed

    // ---- Search primitives ----------------------------------------------
    // Pure functions of their arguments. Comparisons never reach past the end
    // of `text`. Case folding maps only ASCII A-Z to a-z, on both sides.

    // First p >= start where `needle` matches exactly, or -1.
    [[nodiscard]] static int32_t FindText(std::string_view text, std::string_view needle,
                                          int32_t start) noexcept;
    // As FindText, ASCII letters compared without regard to case; `needle`
    // is not empty.
    [[nodiscard]] static int32_t FindTextNoCase(std::string_view text, std::string_view needle,
                                                int32_t start) noexcept;
    // The nearest "<" at or before `start`, if the name that follows it
    // begins with `name` (any case); otherwise -1. Only the nearest "<"
    // counts, and the name test is a prefix test ("p" matches "<pre").
    [[nodiscard]] static int32_t FindTagOpenBack(std::string_view text, std::string_view name,
                                                 int32_t start) noexcept;
    // If the first "<" at or after `start` opens an end tag whose name begins
    // with `name` (any case), the position just past the next ">"; else -1.
    // The "<" must lie at or before length - name length - 3.
    [[nodiscard]] static int32_t FindTagCloseFwd(std::string_view text, std::string_view name,
                                                 int32_t start) noexcept;
    // Bytes of blanks/tabs from `start`, plus 2 if a CR LF follows them.
    [[nodiscard]] static int32_t MeasureLineTail(std::string_view text, int32_t start) noexcept;

    // Splices `insert` into the buffer at `position` (0..m_nTextLen). Strong
    // guarantee: if allocation fails the buffer still holds the old text.
    void InsertText(std::string_view insert, int32_t position);

protected:
    // ---- Host operations --------------------------------------------------
    // The number of bytes of the host's whole text.
    [[nodiscard]] virtual int32_t HostTextLength() = 0;
    // Copies the whole text and a NUL into dest, at most `capacity` bytes.
    virtual void HostGetText(char* dest, int32_t capacity) = 0;
    // Replaces the host's whole text. text.data()[text.size()] is NUL.
    virtual void HostSetText(std::string_view text) = 0;
    // Shows a report (UTF-8) and returns once the user has seen it.
    virtual void HostShowMessage(std::string_view utf8) = 0;

    int32_t m_nTextLen = 0;             // bytes of text, NUL not counted
    std::unique_ptr<char[]> m_pszText;  // >= m_nTextLen + 1 bytes, NUL at m_nTextLen

private:
    void ReleaseText() noexcept;
    // Removes every script element around `call`, in place; returns how many.
    [[nodiscard]] int32_t RemoveScriptElementsInPlace(std::string_view call);
};
