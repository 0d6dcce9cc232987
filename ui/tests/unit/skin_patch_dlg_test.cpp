// The main dialog in this process, driven through its window messages: what
// reaches the edit box and the clipboard, what the message boxes say, what is
// left when a command, a paste or a dropped file cannot finish, the wait
// cursor and the font.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <tuple>
#include <utility>

#include "allocation_failure.h"
#include "clipboard.h"
#include "drive.h"
#include "gdi.h"
#include "hangul_face.h"
#include "resource.h"
#include "skin_patch_dlg.h"
#include "string_resource.h"
#include "win_app.h"

namespace {

CWinApp g_app;  // names the message boxes from the string table, as in Orlimo.exe

// Hangul, an emoji and a Hanja outside the basic plane: every character must
// come back as it was.
const std::wstring kSkin =
    L"<html>\r\n<head>\r\n<title>나의 블로그 \U0001F431 \U00020000</title>\r\n</head>\r\n<body>\r\n"
    L"<ol>\r\n<li><p>[##_rp_rep_desc_##]</p></li>\r\n</ol>\r\n<div class=\"guest\">"
    L"[##_guest_rep_desc_##]</div>\r\n<p>방명록 \U0001F600</p>\r\n</body>\r\n</html>\r\n";

// The error box of a string-table message, as the test notes it.
std::wstring Error(UINT id)
{
    return L"Orlimo: " + std::wstring(orlimo::ui::LoadStringView(id)) + L" (error)";
}

// Files as the shell hands them to a window: a DROPFILES block (fixed memory,
// so its address is its handle), which the window frees.
WPARAM DropOf(const std::vector<std::wstring>& paths)
{
    std::wstring names;
    for (const std::wstring& path : paths) names += path + L'\0';
    auto* drop = static_cast<DROPFILES*>(
        ::GlobalAlloc(GPTR, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t)));
    *drop = {sizeof(DROPFILES), {}, FALSE, TRUE};
    names.copy(reinterpret_cast<wchar_t*>(drop + 1), names.size());
    return reinterpret_cast<WPARAM>(drop);
}

// A file of `bytes` in the tests' own folder; with no name, the folder.
std::wstring File(const char* name = "", std::string_view bytes = {})
{
    const auto path = std::filesystem::temp_directory_path() / "orlimo-drop" / name;
    std::filesystem::create_directories(path.parent_path());
    if (*name) std::ofstream(path, std::ios::binary) << bytes;
    return path.wstring();
}

class SkinPatchDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(m_hwnd = m_dlg.Create(nullptr), nullptr);
        m_edit = ::GetDlgItem(m_hwnd, IDC_SKIN_EDIT);
        const SUBCLASSPROC spy = [](HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR) -> LRESULT {
            if (message == EM_SCROLLCARET && !s_cursor) s_cursor = ::GetCursor();
            return ::DefSubclassProc(edit, message, wParam, lParam);
        };
        ::SetWindowSubclass(m_edit, spy, 1, 0);
    }

    std::wstring Text() const { return drive::Text(m_edit); }

    // Sends a message to the dialog (by default a button's click) and returns
    // the message boxes it showed, as AnswerBoxes notes them. Whatever changes
    // or copies the text does it under the wait cursor, and the cursor from
    // before comes back.
    std::wstring Send(WPARAM wParam, UINT message = WM_COMMAND)
    {
        const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
        ::SetCursor(arrow);
        s_cursor = nullptr;
        s_dialog = m_hwnd;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &AnswerBoxes);
        ::SendMessageW(m_hwnd, message, wParam, 0);
        ::KillTimer(nullptr, timer);
        EXPECT_TRUE(!s_cursor || s_cursor == ::LoadCursorW(nullptr, IDC_WAIT)) << "while it works";
        EXPECT_EQ(::GetCursor(), arrow) << "after the work";
        return std::move(s_boxes);  // no allocation: a failure may be armed
    }
    std::wstring Click(int id) { return Send(MAKEWPARAM(id, BN_CLICKED)); }

    // A thread timer, which a box's own message loop dispatches: notes each
    // box over the dialog as "caption: text", with " (error)" when it shows an
    // icon, separated by " / ", and presses its OK button.
    static void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD)
    {
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND box, LPARAM) -> BOOL {
                if (::GetWindow(box, GW_OWNER) != s_dialog || !::IsWindowVisible(box)) return TRUE;
                AllocationFailureSuspended exempt;  // the test's own bookkeeping
                bool icon = false;
                for (HWND c = nullptr; (c = ::FindWindowExW(box, c, L"Static", nullptr));) {
                    icon |= ::IsWindowVisible(c) && ::SendMessageW(c, STM_GETICON, 0, 0);
                }
                s_boxes += (s_boxes.empty() ? L"" : L" / ") + drive::Text(box) + L": " +
                           drive::Text(::GetDlgItem(box, 0xFFFF)) + (icon ? L" (error)" : L"");
                if (s_dropBehindBox)
                    ::SendMessageW(s_dialog, WM_DROPFILES, std::exchange(s_dropBehindBox, 0), 0);
                ::SendMessageW(box, WM_COMMAND, IDOK, 0);
                return FALSE;
            },
            0);
    }

    static inline HCURSOR s_cursor = nullptr;  // when the edit box was changed or copied
    static inline HWND s_dialog = nullptr;
    static inline std::wstring s_boxes;
    static inline WPARAM s_dropBehindBox = 0;  // dropped on the dialog while the next box is open
    CSkinPatchDlg m_dlg;
    HWND m_hwnd = nullptr, m_edit = nullptr;
};

// A file dropped while the report box is open is let go: the text stays the
// one the box reports on.
TEST_F(SkinPatchDlgTest, CommandsCarryEveryCharacterThroughAndReportInKorean)
{
    ::SetWindowTextW(m_edit, kSkin.c_str());
    s_dropBehindBox = DropOf({File("behind.html", "<p>dropped</p>")});
    EXPECT_EQ(Click(IDC_APPLY), L"Orlimo: 3 개의 BBCode 관련 코드 추가");
    EXPECT_EQ(s_dropBehindBox, 0U) << "dropped while the box was open";
    EXPECT_NE(Text().find(L"<div class=\"bbcode\">[##_guest_rep_desc_##]</div>"), kSkin.npos);
    EXPECT_EQ(Click(IDC_REMOVE), L"Orlimo: 3 개의 BBCode 관련 코드 제거!");
    EXPECT_EQ(Text(), kSkin);
    // A text without a UTF-8 form is refused as it is.
    for (const auto& [text, command] :
         {std::pair{L"<head></head>[##_rp_rep_desc_##] \xD83D", IDC_APPLY},
          {L"\xDE00 low", IDC_REMOVE}}) {
        ::SetWindowTextW(m_edit, text);
        EXPECT_EQ(Click(command), Error(IDS_UNPAIRED_SURROGATE));
        EXPECT_EQ(Text(), text);
    }
}

// Every allocation of Apply refused in turn (the core's tests refuse those of
// both commands inside the core): each failure is told and leaves the text;
// past the last one Apply works.
TEST_F(SkinPatchDlgTest, RunningOutOfMemoryLeavesTheTextAndSaysSo)
{
    int64_t nth = 1;
    for (bool triggered = true; triggered; ++nth) {
        ::SetWindowTextW(m_edit, kSkin.c_str());
        std::wstring shown;
        {
            ScopedAllocationFailure fail(nth);
            shown = Click(IDC_APPLY);
            triggered = ScopedAllocationFailure::Triggered();
        }
        EXPECT_EQ(shown,
                  triggered ? Error(IDS_OUT_OF_MEMORY) : L"Orlimo: 3 개의 BBCode 관련 코드 추가")
            << "allocation " << nth;
        EXPECT_EQ(Text() == kSkin, triggered) << "allocation " << nth;
        ASSERT_LT(nth, 1000);
    }
    EXPECT_GT(nth, 4) << "a few allocations to refuse";
}

// No text is ever cut: a skin longer than the 1,000,000 characters the box
// once took goes in by paste, through both commands and out by copy whole. Where the
// box's limit is lower (set here by hand) a command that would pass it is
// refused. Texts are compared with EXPECT_TRUE: a diff would be too long.
TEST_F(SkinPatchDlgTest, NoTextIsEverCut)
{
    // Remove gives this skin back exactly: no line end follows a wrapped p.
    std::wstring skin = L"<head>\r\n</head>\r\n<p>[##_rp_rep_desc_##]</p><br>\r\n";
    std::wstring line;  // long lines: the control's layout costs by the line
    while (line.size() < 1000) line += L"<li>줄 채우기</li>";
    while (skin.size() < 1050000) skin += line + L"\r\n";
    skin += L"<p>[##_rp_rep_desc_##]</p><b>끝</b>";
    orlimo::ui::SetClipboardText(m_hwnd, skin);
    Click(IDC_PASTE);
    ASSERT_TRUE(Text() == skin) << Text().size();
    Click(IDC_APPLY);
    Click(IDC_COPY);
    EXPECT_TRUE(orlimo::ui::ClipboardText(nullptr) == Text());
    Click(IDC_REMOVE);
    EXPECT_TRUE(Text() == skin) << "nothing cut on the way";

    ::SendMessageW(m_edit, EM_SETLIMITTEXT, skin.size(), 0);
    ::SetWindowTextW(m_edit, skin.c_str());
    EXPECT_EQ(Click(IDC_APPLY), Error(IDS_TEXT_TOO_LONG));
    EXPECT_TRUE(Text() == skin);
}

// A dropped file goes in as a paste would (Ctrl+Z takes it back): UTF-8 with
// or without a byte-order mark, else code page 949, every line end made CR LF,
// the only one a Windows text box breaks at. What cannot be read as a skin is
// refused with its reason and leaves the text.
TEST_F(SkinPatchDlgTest, DroppedFilesLoadOrAreRefused)
{
    EXPECT_TRUE(::GetWindowLongW(m_hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    const std::wstring bom = File("bom.html", "\xEF\xBB\xBF<p>\xED\x95\x9C</p>");
    const std::wstring cp949 = File("cp949.html", "<b>\xC7\xD1\xB1\xDB</b>");
    for (const auto& [path, text] : {
             std::pair{File("lf.html", "<p>\n\xED\x95\x9C\r\n\r</p>\r\r\n"),
                       L"<p>\r\n한\r\n\r\n</p>\r\n\r\n"},
             {bom, L"<p>한</p>"},
             {File("utf8.html", "<i>\xED\x95\x9C\xEA\xB8\x80</i>"), L"<i>한글</i>"},
             {cp949, L"<b>한글</b>"},
         }) {
        EXPECT_EQ(Send(DropOf({path}), WM_DROPFILES), L"");
        EXPECT_EQ(Text(), text);
    }
    for (const auto& [paths, refusal] : {
             std::pair<std::vector<std::wstring>, UINT>{{File()}, IDS_FILE_IS_FOLDER},
             {{File() + L"missing.html"}, IDS_FILE_UNREADABLE},
             {{bom, cp949}, IDS_DROP_ONE_FILE},
             {{File("binary.gif", std::string_view("GIF89a\0\1", 8))}, IDS_FILE_NOT_TEXT},
             {{File("neither.txt", "\x81\x20")}, IDS_FILE_NOT_TEXT},
             {{File("empty.html")}, IDS_FILE_EMPTY},
             {{File("bom-only.html", "\xEF\xBB\xBF")}, IDS_FILE_EMPTY},
         }) {
        EXPECT_EQ(Send(DropOf(paths), WM_DROPFILES), Error(refusal));
        EXPECT_EQ(Text(), L"<b>한글</b>");
    }
    ::SendMessageW(m_edit, WM_CHAR, 0x1A, 0);  // Ctrl+Z
    EXPECT_EQ(Text(), L"<i>한글</i>") << "Ctrl+Z after a drop";
    ::SendMessageW(m_edit, EM_SETLIMITTEXT, 7, 0);  // one less than the file's text
    EXPECT_EQ(Send(DropOf({bom}), WM_DROPFILES), Error(IDS_FILE_TOO_LARGE));
}

// The clipboard as a user may find it. Paste with no text there (nothing, an
// image, text its owner never renders, an empty text) or while another
// program holds it is refused and leaves the text; copy while it is held, or
// of an empty box, leaves the clipboard. A copy leaves the whole text
// selected, shown also when the box has no focus.
TEST_F(SkinPatchDlgTest, ClipboardFailuresAreToldAndChangeNothing)
{
    const HWND owner = ::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                         nullptr, nullptr, nullptr);
    ::SetWindowTextW(m_edit, kSkin.c_str());
    for (const auto& [format, data] : {std::pair<UINT, HANDLE>{0, nullptr},
                                       {CF_BITMAP, ::CreateBitmap(1, 1, 1, 32, nullptr)},
                                       {CF_UNICODETEXT, nullptr},
                                       {CF_UNICODETEXT, ::GlobalAlloc(GHND, sizeof(wchar_t))}}) {
        ASSERT_TRUE(::OpenClipboard(owner) && ::EmptyClipboard());
        if (format) ::SetClipboardData(format, data);
        ::CloseClipboard();
        EXPECT_EQ(Click(IDC_PASTE), Error(IDS_CLIPBOARD_NO_TEXT)) << format;
        EXPECT_EQ(Text(), kSkin);
    }

    orlimo::ui::SetClipboardText(m_hwnd, L"old");
    ASSERT_TRUE(::OpenClipboard(owner));  // another window holds it
    EXPECT_EQ(Click(IDC_PASTE), Error(IDS_PASTE_BUSY));
    EXPECT_EQ(Click(IDC_COPY), Error(IDS_COPY_BUSY));
    ::CloseClipboard();
    EXPECT_EQ(Text(), kSkin);
    EXPECT_EQ(orlimo::ui::ClipboardText(nullptr), L"old");

    EXPECT_EQ(Click(IDC_COPY), L"");
    EXPECT_EQ(orlimo::ui::ClipboardText(nullptr), kSkin);
    EXPECT_EQ(::SendMessageW(m_edit, EM_GETSEL, 0, 0), MAKELRESULT(0, kSkin.size()));
    EXPECT_TRUE(::GetWindowLongW(m_edit, GWL_STYLE) & ES_NOHIDESEL) << "shown without the focus";
    ::SetWindowTextW(m_edit, L"");
    EXPECT_EQ(Click(IDC_COPY), Error(IDS_NOTHING_TO_COPY));
    EXPECT_EQ(orlimo::ui::ClipboardText(nullptr), kSkin);
    ::DestroyWindow(owner);
}

// The buttons never show empty squares for Hangul: the dialog's font has a
// glyph for every syllable. Where 굴림 has none (Wine without Korean fonts of Windows'
// own) another face stands in; where it has them, 굴림 stays.
TEST_F(SkinPatchDlgTest, DialogFontShowsHangul)
{
    std::wstring hangul;
    for (HWND c = ::GetWindow(m_hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        for (wchar_t unit : drive::Text(c))
            if (unit >= 0xAC00) hangul += unit;
    }
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
    std::wstring glyphs(hangul.size(), L'\0');  // glyph indices
    orlimo::ui::WindowDC screen(nullptr);
    orlimo::ui::SelectedObject selected(screen.get(), font);
    ::GetGlyphIndicesW(screen.get(), hangul.c_str(), static_cast<int>(hangul.size()),
                       reinterpret_cast<WORD*>(glyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
    EXPECT_EQ(glyphs.find(L'\xFFFF'), glyphs.npos) << hangul;
    LOGFONTW face{};
    ::GetObjectW(font, sizeof face, &face);
    EXPECT_EQ(face.lfFaceName == std::wstring(L"굴림"), orlimo::ui::FaceHasGlyphs(L"굴림", hangul));
}

}  // namespace
