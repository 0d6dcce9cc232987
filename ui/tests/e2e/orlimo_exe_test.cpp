// Orlimo.exe as a person uses it: the real program in a process of its own,
// keys through the input queue, the clipboard shared with it. What needs no
// second program is proven in this one (unit/).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "clipboard.h"
#include "drive.h"
#include "resource.h"
#include "unicode.h"

namespace {

using namespace drive;

const std::wstring kAbout = L"Orlimo에 대하여\u2026";

// The screen under the window, written as a 32-bit BMP file.
void SaveScreenshot(HWND window, const char* path)
{
    RECT r;
    ::GetWindowRect(window, &r);
    BITMAPINFOHEADER header{sizeof header, r.right - r.left, r.bottom - r.top, 1, 32};
    const DWORD size = static_cast<DWORD>(4 * header.biWidth * header.biHeight),
                offset = sizeof(BITMAPFILEHEADER) + sizeof header;
    const BITMAPFILEHEADER file{0x4D42, offset + size, 0, 0, offset};
    void* pixels = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&header),
                                        DIB_RGB_COLORS, &pixels, nullptr, 0);
    ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, header.biWidth, header.biHeight, screen, r.left, r.top, SRCCOPY);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(&file), sizeof file)
        .write(reinterpret_cast<const char*>(&header), sizeof header)
        .write(static_cast<const char*>(pixels), size);
    ::DeleteDC(memory);  // first, so that the bitmap is no longer selected
    ::DeleteObject(bitmap);
    ::ReleaseDC(nullptr, screen);
}

TEST(OrlimoExe, AsAPersonUsesIt)
{
    Program orlimo;
    const HWND main = orlimo.main;
    ASSERT_NE(main, nullptr) << "Orlimo.exe's dialog";
    const HWND edit = ::GetDlgItem(main, IDC_SKIN_EDIT);
    auto holds = [edit](const std::wstring& text) {
        return WaitFor([&] { return Text(edit) == text; });
    };

    // The focus starts in the edit box. Escape does nothing, there or on a
    // button; Enter starts a new line.
    Press({VK_ESCAPE, 'A', VK_RETURN, 'B', VK_TAB, VK_ESCAPE, kShift | VK_TAB, VK_END, 'C'});
    ASSERT_TRUE(holds(L"a\r\nbc"));

    // After a command (its report closed with Enter) the focus is back in the
    // edit box, so that Ctrl+Z takes the command back.
    const std::wstring skin = L"<head></head><p>[##_rp_rep_desc_##] 나의 블로그 \U0001F431</p>";
    orlimo::ui::SetClipboardText(nullptr, skin);
    Click(main, IDC_PASTE);
    ASSERT_TRUE(holds(skin)) << "paste replaces the whole text";
    Click(main, IDC_APPLY);
    EXPECT_TRUE(::FindWindowExW(Active(L"" ORLIMO_PRODUCT_NAME), nullptr, L"Static",
                                L"2 개의 BBCode 관련 코드 추가"));
    Press({VK_RETURN});
    ASSERT_TRUE(Active(kMainTitle));
    Press({kCtrl | 'Z'});
    ASSERT_TRUE(holds(skin)) << "Ctrl+Z after Apply";

    // F1 opens the About box, and F1 in it nothing (Escape would close only a
    // second box). So do the system menu's last entry, reached with Up, and
    // any system command from 0x10 to 0x1F.
    Press({VK_F1});
    EXPECT_TRUE(::FindWindowExW(Active(kAbout), nullptr, L"Static",
                                L"Orlimo Version " ORLIMO_VERSION_SHORT));
    Press({VK_F1, VK_ESCAPE});
    ASSERT_TRUE(Active(kMainTitle));
    Press({kAlt | VK_SPACE, VK_UP, VK_RETURN});
    ASSERT_TRUE(Active(kAbout)) << "the system menu";
    Press({VK_RETURN});
    ASSERT_TRUE(Active(kMainTitle));
    ::PostMessageW(main, WM_SYSCOMMAND, 0x001F, 0);
    ASSERT_TRUE(Active(kAbout)) << "system command 0x1F";
    Press({VK_RETURN});
    ASSERT_TRUE(Active(kMainTitle));

    // The window grows (it has a maximise box too): the edit box takes the
    // room, the buttons keep their size at the bottom right. Made larger and
    // holding the example skin, it is the picture in docs/. It shrinks no
    // further than its first size (which only a sizing frame ensures).
    EXPECT_TRUE(::GetWindowLongW(main, GWL_STYLE) & WS_MAXIMIZEBOX);
    std::ifstream example(ORLIMO_EXAMPLE_SKIN, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(example), {}};
    ::SetWindowTextW(edit, orlimo::ui::ToUtf16(bytes).c_str());
    auto rect = [main](int id) {
        RECT r;
        ::GetWindowRect(id ? ::GetDlgItem(main, id) : main, &r);
        return std::vector{r.left, r.top, r.right, r.bottom};
    };
    const auto window = rect(0), box = rect(IDC_SKIN_EDIT), button = rect(IDC_PASTE);
    auto resize = [&](int dx, int dy) {
        ::SetWindowPos(main, nullptr, 0, 0, window[2] - window[0] + dx, window[3] - window[1] + dy,
                       SWP_NOMOVE | SWP_NOZORDER);
    };
    resize(300, 180);
    EXPECT_EQ(rect(IDC_SKIN_EDIT), (std::vector{box[0], box[1], box[2] + 300, box[3] + 180}));
    EXPECT_EQ(rect(IDC_PASTE),
              (std::vector{button[0] + 300, button[1] + 180, button[2] + 300, button[3] + 180}));
    ::Sleep(500);                               // for the painting
    SaveScreenshot(main, "orlimo-dialog.bmp");  // in the current folder
    resize(-100, -100);
    EXPECT_EQ(rect(0), window);

    // Alt+F4 (the close box's command) ends the program, and so does 종료.
    Press({kAlt | VK_F4});
    EXPECT_TRUE(orlimo.Ended()) << "Alt+F4";
    Program again;
    Click(again.main, IDCANCEL);
    EXPECT_TRUE(again.Ended()) << "종료";
}

}  // namespace
