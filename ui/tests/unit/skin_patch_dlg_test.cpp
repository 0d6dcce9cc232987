// The main dialog as the host of the commands, driven through its window
// messages: what reaches the edit box, what the message boxes say, and what
// is left when a command cannot finish.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include <commctrl.h>

#include "allocation_failure.h"
#include "hangul_face.h"
#include "message_box_catcher.h"
#include "resource.h"
#include "skin_patch_dlg.h"
#include "unicode.h"
#include "win_app.h"

namespace {

CWinApp g_app;  // names the message boxes from the string table, as in Orlimo.exe

const std::wstring kScript =
    L"<script type=\"text/javascript\" src=\"./images/bbcode35.js\"></script>\r\n";
const std::wstring kComment = L"[##_rp_rep_desc_##]";
const std::wstring kGuest = L"[##_guest_rep_desc_##]";
const std::wstring kOpen = L"<div class=\"bbcode\">";

// Hangul, an emoji and a Hanja outside the basic plane: every character must
// come back as it was.
const std::wstring kSkin =
    L"<html>\r\n<head>\r\n<title>나의 블로그 \U0001F431 \U00020000</title>\r\n"
    L"</head>\r\n<body>\r\n<ol>\r\n<li><p>" +
    kComment + L"</p></li>\r\n</ol>\r\n<div class=\"guest\">" + kGuest +
    L"</div>\r\n<p>방명록 \U0001F600</p>\r\n</body>\r\n</html>\r\n";

std::wstring Replace(std::wstring text, const std::wstring& from, const std::wstring& to)
{
    const std::size_t at = text.find(from);
    if (at != std::wstring::npos) text.replace(at, from.size(), to);
    return text;
}

const std::wstring kApplied =
    Replace(Replace(Replace(kSkin, L"</head>", kScript + L"</head>"), L"<p>" + kComment + L"</p>",
                    kOpen + L"<p>" + kComment + L"</p></div>"),
            kGuest, kOpen + kGuest + L"</div>");

// Equality of long texts, told by lengths and the first difference (a full
// diff of a million characters would take the test's memory).
::testing::AssertionResult SameText(const std::wstring& actual, const std::wstring& expected)
{
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    return ::testing::AssertionFailure() << "lengths " << actual.size() << " and "
                                         << expected.size() << ", first difference at " << at;
}

std::wstring Resource(UINT id)
{
    const wchar_t* text = nullptr;
    const int n =
        ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return std::wstring(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

class SkinPatchDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hwnd = m_dlg.Create(nullptr);
        ASSERT_NE(m_hwnd, nullptr);
        m_edit = ::GetDlgItem(m_hwnd, IDC_SKIN_EDIT);
        ASSERT_NE(m_edit, nullptr);
    }

    void SetText(const std::wstring& text) { ::SetWindowTextW(m_edit, text.c_str()); }

    std::wstring Text() const
    {
        std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(m_edit)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            ::GetWindowTextW(m_edit, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    // Presses a button and returns the message boxes it showed.
    std::vector<ShownBox> Click(int id)
    {
        MessageBoxCatcher catcher(m_hwnd);
        ::SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(m_hwnd, id)));
        return std::move(catcher.boxes);  // no allocation: a failure may be armed
    }

    LRESULT Edit(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_edit, message, wParam, lParam);
    }

    CSkinPatchDlg m_dlg;
    HWND m_hwnd = nullptr;
    HWND m_edit = nullptr;
};

TEST_F(SkinPatchDlgTest, CommandsCarryEveryCharacterThroughAndReportInKorean)
{
    SetText(kSkin);
    auto boxes = Click(IDC_APPLY);
    EXPECT_EQ(Text(), kApplied);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Orlimo");
    EXPECT_EQ(boxes[0].text, L"3 개의 BBCode 관련 코드 추가");
    EXPECT_FALSE(boxes[0].hasIcon);

    boxes = Click(IDC_APPLY);  // takes out its own markup first
    EXPECT_EQ(Text(), kApplied);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"3 개의 BBCode 관련 코드 제거, 3 개 추가");

    boxes = Click(IDC_REMOVE);
    EXPECT_EQ(Text(), kSkin);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"3 개의 BBCode 관련 코드 제거!");

    boxes = Click(IDC_REMOVE);
    EXPECT_EQ(Text(), kSkin);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"한 일 없음");
}

TEST_F(SkinPatchDlgTest, UndoRightAfterACommandBringsBackTheTextBeforeIt)
{
    SetText(kSkin);
    Click(IDC_APPLY);
    ASSERT_EQ(Text(), kApplied);
    Edit(EM_UNDO);
    EXPECT_EQ(Text(), kSkin);
    Edit(WM_CHAR, 0x1A);  // Ctrl+Z undoes the undo
    EXPECT_EQ(Text(), kApplied);

    Click(IDC_REMOVE);
    ASSERT_EQ(Text(), kSkin);
    Edit(WM_CHAR, 0x1A);
    EXPECT_EQ(Text(), kApplied);
}

TEST_F(SkinPatchDlgTest, UnpairedSurrogateIsRefusedAndTheTextKept)
{
    const std::wstring texts[] = {
        L"<head></head>" + kComment + L" high at the end \xD83D",
        L"\xDE00 low at the start</head>",
        L"reversed \xDE00\xD83D pair " + kGuest,
    };
    const std::wstring refusal = Resource(IDS_UNPAIRED_SURROGATE);
    EXPECT_EQ(refusal, L"텍스트에 처리할 수 없는 문자가 있습니다.\n텍스트는 바뀌지 않았습니다.");
    for (const std::wstring& text : texts) {
        for (int command : {IDC_APPLY, IDC_REMOVE}) {
            SetText(text);
            const auto boxes = Click(command);
            EXPECT_EQ(Text(), text);
            ASSERT_EQ(boxes.size(), 1u) << "one error box and no report";
            EXPECT_EQ(boxes[0].text, refusal);
            EXPECT_EQ(boxes[0].caption, L"Orlimo");
            EXPECT_TRUE(boxes[0].hasIcon);
        }
    }
}

// Every allocation of a command refused in turn: each failure is told in
// Korean and leaves the text as it was; past the last one the command works.
TEST_F(SkinPatchDlgTest, RunningOutOfMemoryLeavesTheTextAndSaysSo)
{
    const std::wstring outOfMemory = Resource(IDS_OUT_OF_MEMORY);
    ASSERT_NE(outOfMemory.find(L"메모리가 부족"), std::wstring::npos);
    for (int command : {IDC_APPLY, IDC_REMOVE}) {
        const std::wstring before = command == IDC_APPLY ? kSkin : kApplied;
        int failures = 0;
        for (int64_t nth = 1;; ++nth) {
            SetText(before);
            std::vector<ShownBox> boxes;
            bool triggered = false;
            {
                ScopedAllocationFailure fail(nth);
                boxes = Click(command);
                triggered = ScopedAllocationFailure::Triggered();
            }
            ASSERT_EQ(boxes.size(), 1u) << "allocation " << nth;
            if (!triggered) {
                EXPECT_NE(boxes[0].text, outOfMemory);
                EXPECT_EQ(Text(), command == IDC_APPLY ? kApplied : kSkin);
                break;
            }
            ++failures;
            EXPECT_EQ(boxes[0].text, outOfMemory) << "allocation " << nth;
            EXPECT_TRUE(boxes[0].hasIcon);
            EXPECT_EQ(Text(), before) << "allocation " << nth;
            ASSERT_LT(nth, 1000);
        }
        EXPECT_GE(failures, 3);
    }
}

// No text is ever cut: the box holds as much as the control can, and where
// its limit is lower (set here by hand) a command that would pass it is
// refused, never cut short.
TEST_F(SkinPatchDlgTest, NoTextIsEverCut)
{
    EXPECT_GE(static_cast<UINT>(Edit(EM_GETLIMITTEXT)), 0x7FFFFFFEu);

    // Remove gives this skin back exactly: no line end follows a wrapped p.
    std::wstring skin = L"<head>\r\n</head>\r\n<p>" + kComment + L"</p><br>\r\n";
    std::wstring line;  // long lines: the control's layout costs by the line
    while (line.size() < 1000) line += L"<li>줄 채우기</li>";
    while (skin.size() < 1050000) skin += line + L"\r\n";
    skin += L"<p>" + kComment + L"</p><b>end</b>";
    SetText(skin);
    ASSERT_TRUE(SameText(Text(), skin));

    Click(IDC_APPLY);
    const std::wstring applied = Text();
    EXPECT_NE(applied.find(L"</p></div><b>end</b>"), std::wstring::npos) << "nothing cut";
    Click(IDC_REMOVE);
    EXPECT_TRUE(SameText(Text(), skin));
    Edit(WM_CHAR, 0x1A);  // Ctrl+Z: the longer text comes back whole
    EXPECT_TRUE(SameText(Text(), applied));

    Edit(EM_SETLIMITTEXT, skin.size());
    SetText(skin);
    const auto boxes = Click(IDC_APPLY);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Resource(IDS_TEXT_TOO_LONG));
    EXPECT_TRUE(SameText(Text(), skin));
}

// Every button's work runs under the wait cursor, and the cursor from before
// comes back when it ends, failures included.
TEST_F(SkinPatchDlgTest, ButtonsShowTheWaitCursorWhileTheyWork)
{
    static HCURSOR seen = nullptr;  // the cursor while the edit box is changed or copied
    SUBCLASSPROC spy = [](HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) -> LRESULT {
        if (message == EM_SCROLLCARET && !seen) seen = ::GetCursor();
        return ::DefSubclassProc(edit, message, wParam, lParam);
    };
    ASSERT_TRUE(::SetWindowSubclass(m_edit, spy, 1, 0));
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    ::SetCursor(arrow);
    SetText(kSkin);
    for (int id : {IDC_COPY, IDC_PASTE, IDC_APPLY, IDC_REMOVE}) {
        seen = nullptr;
        Click(id);
        EXPECT_EQ(seen, ::LoadCursorW(nullptr, IDC_WAIT)) << "button " << id;
        EXPECT_EQ(::GetCursor(), arrow) << "button " << id;
    }
    SetText(L"\xD800");
    ASSERT_EQ(Click(IDC_APPLY).size(), 1u);
    EXPECT_EQ(::GetCursor(), arrow) << "after a failure";
    ::RemoveWindowSubclass(m_edit, spy, 1);
}

TEST_F(SkinPatchDlgTest, SystemMenuEndsWithTheAboutEntry)
{
    HMENU menu = ::GetSystemMenu(m_hwnd, FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_TRUE(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(count - 1), text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&About Orlimo...");
}

TEST_F(SkinPatchDlgTest, IconsAndDragIconAreTheApplicationIcon)
{
    const auto big = ::SendMessageW(m_hwnd, WM_GETICON, ICON_BIG, 0);
    EXPECT_NE(big, 0);
    EXPECT_NE(::SendMessageW(m_hwnd, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(::SendMessageW(m_hwnd, WM_QUERYDRAGICON, 0, 0), big);
}

// The captions must never show boxes: the dialog's font has every Hangul
// syllable of the buttons.
TEST_F(SkinPatchDlgTest, DialogFontShowsHangul)
{
    auto font = reinterpret_cast<HFONT>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, font);
    const std::wstring hangul = L"클립보드에서붙이기적용해제로복사종료";
    std::vector<WORD> glyphs(hangul.size());
    ::GetGlyphIndicesW(dc, hangul.c_str(), static_cast<int>(hangul.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS);
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    for (WORD glyph : glyphs) EXPECT_NE(glyph, 0xFFFF);

    // Where 굴림 cannot show Hangul (Wine without Korean fonts of Windows'
    // own), another face stands in for it.
    LOGFONTW logFont{};
    ::GetObjectW(font, sizeof logFont, &logFont);
    if (!orlimo::ui::FaceHasGlyphs(L"굴림", hangul)) {
        EXPECT_STRNE(logFont.lfFaceName, L"굴림");
    } else {
        EXPECT_STREQ(logFont.lfFaceName, L"굴림");
    }
    std::printf("dialog font: %s\n", orlimo::ui::ToUtf8(logFont.lfFaceName).c_str());
}

TEST(Manifest, MakesTheProgramDpiAware)
{
    // The test program carries Orlimo's manifest.
    const DPI_AWARENESS awareness =
        ::GetAwarenessFromDpiAwarenessContext(::GetThreadDpiAwarenessContext());
    EXPECT_EQ(awareness, DPI_AWARENESS_PER_MONITOR_AWARE);
}

}  // namespace
