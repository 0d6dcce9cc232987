// The platform-free heart of Orlimo: the Apply and Remove commands, written
// against four host operations that a front end provides (the Windows dialog
// with its edit box, the command line with files, the web page's memory).
//
// All scanning works on bytes; every marker is ASCII, so the text may be
// UTF-8 or any ASCII-compatible code page. The searches are in
// text_search.h, the adding transform in add_bbcode.cpp, the removing one
// in remove_bbcode.cpp (docs/architecture.md maps the rest).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

class CSkinPatchCore {
public:
    // Positions and lengths are signed 32-bit by design. A text longer than
    // this is refused by LoadText, so that no insertion can overflow a
    // position (Apply grows a text by less than 2.4 times its length).
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
    // than kMaxTextLength (or whatever a host operation throws). The host's
    // text is then unchanged, no report is shown and the buffer is released.
    void OnApplyBBCode();   // remove old markup, then add it afresh
    void OnRemoveBBCode();  // remove all BBCode markup

protected:
    // ---- Host operations --------------------------------------------------
    // Called in this order, each once a command: the length, the text, then
    // (if nothing failed) the new text and the report.
    //
    // The number of bytes of the host's whole text.
    [[nodiscard]] virtual int32_t HostTextLength() = 0;
    // Copies the whole text and a NUL into dest, at most `capacity` bytes.
    virtual void HostGetText(char* dest, int32_t capacity) = 0;
    // Replaces the host's whole text. text.data()[text.size()] is NUL.
    virtual void HostSetText(std::string_view text) = 0;
    // Shows a report (UTF-8) and returns once the user has seen it.
    virtual void HostShowMessage(std::string_view utf8) = 0;

    // ---- The parts of a command -------------------------------------------
    void LoadText();   // host text -> buffer
    void StoreText();  // buffer -> host text (bytes up to the first NUL); releases it
    [[nodiscard]] int32_t AddBBCode();     // returns the number of additions
    [[nodiscard]] int32_t RemoveBBCode();  // returns the number of pieces removed

    // The current text, without its NUL.
    [[nodiscard]] std::string_view Text() const noexcept
    {
        return {m_pszText.get(), static_cast<std::size_t>(m_nTextLen)};
    }

    // The text buffer, from LoadText until StoreText or the command's end.
    // The byte at m_nTextLen is NUL all that time: every step that shortens
    // or rebuilds the text writes it again. So whatever reads a byte past a
    // text it searches meets a NUL, which no marker holds.
    int32_t m_nTextLen = 0;             // bytes of text, NUL not counted
    std::unique_ptr<char[]> m_pszText;  // >= m_nTextLen + 1 bytes

private:
    void ReleaseText() noexcept;
};

// The host operations' default for a host that holds its whole text in
// memory: it hands over a view of the text and the core copies it in. (The
// command line reads its file straight into the buffer instead.)
class TextViewHost : public CSkinPatchCore {
protected:
    // The host's whole text, asked for once as a command starts; the view
    // must stay valid until HostTextCopied.
    [[nodiscard]] virtual std::string_view HostTextView() = 0;
    // The buffer holds its copy now: the host may let its own go.
    virtual void HostTextCopied() noexcept {}

    // The view's length; a text longer than kMaxTextLength is told as one
    // byte longer than that, which LoadText refuses.
    [[nodiscard]] int32_t HostTextLength() override;
    void HostGetText(char* dest, int32_t capacity) override;

private:
    std::string_view m_hostText;  // from HostTextLength to HostGetText
};
