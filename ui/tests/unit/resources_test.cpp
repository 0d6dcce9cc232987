// What the built Orlimo.exe carries, read back the way Windows reads it: the
// dialog templates (also after the face is changed), the version record made
// from core/version.h, the manifest and the icons.
#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <tuple>
#include <vector>

#include "dialog_template.h"
#include "drive.h"
#include "resource.h"
#include "skin_patch_dlg.h"
#include "version.h"

namespace {

// A well-formed dialog template (plain or extended) as plain values, read apart
// from the program's own template code so that each checks the other. An
// ordinal in place of a class name reads as "#" and its number.
using TemplateItem = std::tuple<int, DWORD, std::wstring>;  // id, style, class

struct TemplateValues {
    DWORD style = 0;
    DWORD exStyle = 0;
    std::wstring caption;
    std::wstring face;
    std::vector<TemplateItem> items;
};

TemplateValues ReadTemplate(const void* data)
{
    const auto* words = static_cast<const WORD*>(data);
    std::size_t at = 0;
    auto dword = [words](std::size_t i) { return words[i] | DWORD{words[i + 1]} << 16; };
    auto text = [&] {
        const std::wstring s(reinterpret_cast<const wchar_t*>(words + at));
        at += s.size() + 1;
        return s;
    };
    auto nameOrOrdinal = [&] {
        if (words[at] != 0xFFFF) return text();
        at += 2;
        return L"#" + std::to_wstring(words[at - 1]);
    };

    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    TemplateValues t{dword(extended ? 6 : 0), dword(extended ? 4 : 2)};
    const int count = words[extended ? 8 : 4];
    at = extended ? 13 : 9;  // past the position and size
    nameOrOrdinal();         // menu
    nameOrOrdinal();         // window class
    t.caption = text();
    if (t.style & DS_SETFONT) {
        at += extended ? 3 : 1;  // point size; weight, italic and character set
        t.face = text();
    }
    for (int i = 0; i < count; ++i) {
        at = (at + 1) & ~std::size_t{1};                    // each item starts on a DWORD
        const DWORD style = dword(extended ? at + 4 : at);  // after the help id and extended style
        at += extended ? 10 : 8;
        const int id = extended ? static_cast<int>(dword(at)) : static_cast<short>(words[at]);
        at += extended ? 2 : 1;
        t.items.push_back({id, style, nameOrOrdinal()});
        nameOrOrdinal();                // title
        at += 1 + (words[at] + 1) / 2;  // creation data
    }
    return t;
}

// A resource of Orlimo.exe (looked for first where this program is).
std::string_view Resource(LPCWSTR type, int id, WORD language = 0x0412 /* Korean */)
{
    static const HMODULE program = ::LoadLibraryExW(
        L"Orlimo.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC info = ::FindResourceExW(program, type, MAKEINTRESOURCEW(id), language);
    return {info ? static_cast<const char*>(::LockResource(::LoadResource(program, info))) : "",
            info ? ::SizeofResource(program, info) : 0};
}

// The table names classes as the resource compiler writes them. Faces of odd
// and even length move the controls by different amounts.
TEST(ProgramResources, DialogTemplatesAlsoWithAnotherFace)
{
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_VCENTER | BS_FLAT;
    const TemplateValues main{
        WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME |
            DS_SETFONT,
        WS_EX_APPWINDOW,
        drive::kMainTitle,
        L"굴림",
        {{IDC_SKIN_EDIT,
          kChild | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
              ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
          L"EDIT"},
         {IDC_PASTE, kButton | BS_MULTILINE, L"BUTTON"},
         {IDC_APPLY, kButton, L"BUTTON"},
         {IDC_REMOVE, kButton, L"BUTTON"},
         {IDC_COPY, kButton | BS_MULTILINE, L"BUTTON"},
         {IDCANCEL, kButton, L"BUTTON"},
         {IDOK, WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON, L"BUTTON"},
         {IDC_STATIC, kChild | BS_GROUPBOX, L"BUTTON"}}};
    const TemplateValues about{
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
        0,
        L"Orlimo에 대하여\u2026",
        L"굴림",
        {{IDC_STATIC, kChild | SS_ICON, L"STATIC"},
         {IDC_STATIC, kChild | WS_GROUP | SS_LEFT | SS_NOPREFIX, L"STATIC"},
         {IDC_STATIC, kChild | WS_GROUP | SS_LEFT, L"STATIC"},
         {IDOK, kChild | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, L"BUTTON"}}};
    for (const auto& [id, want] : {std::pair{IDD_SKINPATCH_DIALOG, main}, {IDD_ABOUTBOX, about}}) {
        const TemplateValues built = ReadTemplate(Resource(RT_DIALOG, id).data());
        EXPECT_EQ(std::tie(built.style, built.exStyle, built.caption, built.face),
                  std::tie(want.style, want.exStyle, want.caption, want.face));
        EXPECT_EQ(built.items, want.items) << "the controls of template " << id;
        for (const wchar_t* face : {L"X", L"NanumGothic", L"맑은 고딕", L"Noto Sans CJK KR"}) {
            DialogTemplate changed;  // from this program, which links the same resources
            ASSERT_TRUE(changed.Load(::GetModuleHandleW(nullptr), static_cast<UINT>(id)));
            changed.SetFaceName(face);
            const TemplateValues read = ReadTemplate(changed.Data());
            EXPECT_EQ(read.face, face);
            EXPECT_TRUE(read.caption == built.caption && read.items == built.items) << face;
        }
    }
}

TEST(ProgramResources, VersionRecordComesFromVersionH)
{
    std::vector<BYTE> record(::GetFileVersionInfoSizeW(L"Orlimo.exe", nullptr));
    ASSERT_TRUE(
        ::GetFileVersionInfoW(L"Orlimo.exe", 0, static_cast<DWORD>(record.size()), record.data()));
    auto query = [&record](const std::wstring& key) {
        void* value = nullptr;
        UINT length = 0;
        ::VerQueryValueW(record.data(), key.c_str(), &value, &length);
        return length ? static_cast<const WORD*>(value) : nullptr;
    };
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    ASSERT_NE(fixed, nullptr);
    const DWORD high = MAKELONG(ORLIMO_VERSION_MINOR, ORLIMO_VERSION_MAJOR);
    const DWORD low = MAKELONG(ORLIMO_VERSION_BUILD, ORLIMO_VERSION_PATCH);
    EXPECT_EQ(std::tie(fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                       fixed->dwProductVersionLS),
              std::tie(high, low, high, low));
    // The translation (Korean, Unicode) names the block that holds the strings.
    const WORD* translation = query(L"\\VarFileInfo\\Translation");
    ASSERT_NE(translation, nullptr);
    wchar_t block[16];
    std::swprintf(block, 16, L"%04x%04x", translation[0], translation[1]);
    EXPECT_STREQ(block, L"041204b0");
    for (const auto& [name, value] : {std::pair{L"FileVersion", L"" ORLIMO_VERSION_COMMAS},
                                      {L"ProductVersion", L"" ORLIMO_VERSION_COMMAS},
                                      {L"ProductName", L"" ORLIMO_PRODUCT_NAME}}) {
        const auto* text = reinterpret_cast<const wchar_t*>(
            query(L"\\StringFileInfo\\" + std::wstring(block) + L"\\" + name));
        EXPECT_STREQ(text ? text : L"(none)", value);
    }
}

TEST(ProgramResources, ManifestAsInvokerWithCommonControls6AndDpiAwareness)
{
    const std::string_view xml = Resource(RT_MANIFEST, 1, LANG_NEUTRAL);
    EXPECT_NE(xml.find("level=\"asInvoker\" uiAccess=\"false\""), xml.npos);
    EXPECT_NE(xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
                       "processorArchitecture=\"amd64\" publicKeyToken=\"6595b64144ccf1df\""),
              xml.npos);
    // This program carries the same manifest.
    EXPECT_EQ(::GetAwarenessFromDpiAwarenessContext(::GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_PER_MONITOR_AWARE);
}

// The icon group holds six images (48, 32 and 16 pixels, each in 8 and 32
// bits), which the dialog shows as its icons; its system menu ends with a
// separator and the About entry of the string table.
TEST(ProgramResources, IconsAndTheAboutEntryReachTheDialog)
{
    const std::string_view group = Resource(RT_GROUP_ICON, IDR_MAINFRAME);
    std::set<std::pair<int, int>> images;  // (pixels, bits per pixel) of the images there
    for (std::size_t at = 6; at + 14 <= group.size(); at += 14) {
        const auto* entry = reinterpret_cast<const BYTE*>(group.data() + at);
        if (!Resource(RT_ICON, entry[12] | entry[13] << 8).empty())
            images.emplace(entry[0], entry[6]);
    }
    EXPECT_EQ(images, (std::set<std::pair<int, int>>{
                          {48, 8}, {48, 32}, {32, 8}, {32, 32}, {16, 8}, {16, 32}}));
    CSkinPatchDlg dialog;
    const HWND window = dialog.Create(nullptr);
    const LRESULT icon = ::SendMessageW(window, WM_GETICON, ICON_BIG, 0);
    EXPECT_TRUE(icon && ::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(::SendMessageW(window, WM_QUERYDRAGICON, 0, 0), icon);
    HMENU menu = ::GetSystemMenu(window, FALSE);
    const UINT last = static_cast<UINT>(::GetMenuItemCount(menu) - 1);
    EXPECT_TRUE(::GetMenuState(menu, last - 1, MF_BYPOSITION) & MF_SEPARATOR);
    wchar_t entry[32] = {};
    ::GetMenuStringW(menu, last, entry, 32, MF_BYPOSITION);
    EXPECT_STREQ(entry, L"&About Orlimo...");
}

}  // namespace
