// What the built Orlimo.exe carries, read back the way Windows reads it: the
// dialog templates (also after the face is changed), the version record made
// from core/version.h, the manifest's DPI awareness and the icons.
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

// What Windows makes of a dialog template: the caption, the font's face and
// each control (id, class, style, text).
using Control = std::tuple<int, std::wstring, LONG, std::wstring>;
using Built = std::tuple<std::wstring, std::wstring, std::vector<Control>>;

Built Build(const void* dialogTemplate)
{
    const HWND window = ::CreateDialogIndirectParamW(
        ::GetModuleHandleW(nullptr), static_cast<const DLGTEMPLATE*>(dialogTemplate), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    Built built{drive::Text(window), font.lfFaceName, {}};
    for (HWND c = ::GetWindow(window, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        ::GetClassNameW(c, name, 32);
        std::get<2>(built).emplace_back(::GetDlgCtrlID(c), name, ::GetWindowLongW(c, GWL_STYLE),
                                        drive::Text(c));
    }
    ::DestroyWindow(window);
    return built;
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

// A template given another face (faces of odd and even length move the
// controls by different amounts) builds the same dialog as the one in
// Orlimo.exe, in that face.
TEST(ProgramResources, DialogTemplatesKeepAllButTheFaceWhenItChanges)
{
    for (const int id : {IDD_SKINPATCH_DIALOG, IDD_ABOUTBOX}) {
        const auto [caption, face, controls] = Build(Resource(RT_DIALOG, id).data());
        EXPECT_GE(controls.size(), 4U) << id;
        for (const wchar_t* other : {L"X", L"NanumGothic", L"맑은 고딕", L"Noto Sans CJK KR"}) {
            DialogTemplate changed;  // from this program, which links the same resources
            ASSERT_TRUE(changed.Load(::GetModuleHandleW(nullptr), static_cast<UINT>(id)));
            changed.SetFaceName(other);
            EXPECT_EQ(Build(changed.Data()), Built(caption, other, controls)) << id;
        }
    }
}

// What Explorer shows: the numbers, and the strings of the block the
// translation (Korean, Unicode) names.
TEST(ProgramResources, VersionRecordComesFromVersionH)
{
    std::vector<BYTE> record(::GetFileVersionInfoSizeW(L"Orlimo.exe", nullptr));
    ASSERT_TRUE(
        ::GetFileVersionInfoW(L"Orlimo.exe", 0, static_cast<DWORD>(record.size()), record.data()));
    auto query = [&record](const wchar_t* key) {
        void* value = nullptr;
        UINT length = 0;
        return ::VerQueryValueW(record.data(), key, &value, &length) && length ? value : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    const auto* translation = static_cast<const DWORD*>(query(L"\\VarFileInfo\\Translation"));
    const auto* version =
        static_cast<const wchar_t*>(query(L"\\StringFileInfo\\041204b0\\ProductVersion"));
    ASSERT_TRUE(fixed && translation && version);
    const DWORD high = MAKELONG(ORLIMO_VERSION_MINOR, ORLIMO_VERSION_MAJOR);
    const DWORD low = MAKELONG(ORLIMO_VERSION_BUILD, ORLIMO_VERSION_PATCH);
    EXPECT_EQ(std::tie(fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                       fixed->dwProductVersionLS),
              std::tie(high, low, high, low));
    EXPECT_EQ(*translation, MAKELONG(0x0412, 1200));
    EXPECT_STREQ(version, L"" ORLIMO_VERSION_COMMAS);
}

// This program carries Orlimo.exe's manifest.
TEST(ProgramResources, ManifestMakesTheProgramPerMonitorDpiAware)
{
    EXPECT_EQ(::GetAwarenessFromDpiAwarenessContext(::GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_PER_MONITOR_AWARE);
}

// The icon group holds six images (48, 32 and 16 pixels, each in 8 and 32
// bits), which the dialog shows as its icons.
TEST(ProgramResources, IconsReachTheDialog)
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
}

}  // namespace
