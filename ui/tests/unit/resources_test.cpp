// The resources of the built Orlimo.exe, read back the way Windows reads
// them: both dialog templates, the version record, the manifest, the icon
// group and the strings.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "resource.h"
#include "template_reader.h"
#include "version.h"

namespace {

constexpr WORD kKorean = MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT);
constexpr int kButton = 0x80, kEdit = 0x81, kStatic = 0x82;

// A control's class as its predefined ordinal, whether the template names it
// by ordinal or by name (both create the same control).
int ClassOrdinal(const TemplateItem& item)
{
    if (item.classOrdinal != 0) return item.classOrdinal;
    const std::pair<const wchar_t*, int> names[] = {
        {L"button", kButton}, {L"edit", kEdit}, {L"static", kStatic}};
    for (const auto& [name, ordinal] : names) {
        if (::lstrcmpiW(item.className.c_str(), name) == 0) return ordinal;
    }
    return 0;
}

std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1) + L"Orlimo.exe";
}

std::wstring Widen(const char* ascii)
{
    return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

class ProgramResources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_module = ::LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite()
    {
        if (s_module) ::FreeLibrary(s_module);
        s_module = nullptr;
    }
    void SetUp() override { ASSERT_NE(s_module, nullptr) << "Orlimo.exe next to the tests"; }

    static std::pair<const void*, DWORD> Find(LPCWSTR type, LPCWSTR name, WORD language)
    {
        HRSRC info = ::FindResourceExW(s_module, type, name, language);
        if (!info) return {nullptr, 0};
        return {::LockResource(::LoadResource(s_module, info)), ::SizeofResource(s_module, info)};
    }

    static DialogTemplateValues Dialog(int id)
    {
        auto [data, size] = Find(RT_DIALOG, MAKEINTRESOURCEW(id), kKorean);
        if (!data) throw std::runtime_error("no Korean dialog template");
        return TemplateReader(data, size).Read();
    }

    static inline HMODULE s_module = nullptr;
};

struct ExpectedItem {
    int id;
    int classOrdinal;
    const wchar_t* title;
    DWORD style;
    int x, y, cx, cy;
};

void ExpectItems(const DialogTemplateValues& dialog, const std::vector<ExpectedItem>& expected)
{
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const TemplateItem& item = dialog.items[i];
        const ExpectedItem& want = expected[i];
        SCOPED_TRACE(::testing::Message() << "control " << i << " (id " << want.id << ")");
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(ClassOrdinal(item), want.classOrdinal);
        if (want.title) {
            EXPECT_EQ(item.title, want.title);
        }
        EXPECT_EQ(item.style, want.style) << std::hex << item.style << " != " << want.style;
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ((std::vector<int>{item.x, item.y, item.cx, item.cy}),
                  (std::vector<int>{want.x, want.y, want.cx, want.cy}));
    }
}

TEST_F(ProgramResources, MainDialogTemplate)
{
    const DialogTemplateValues d = Dialog(IDD_SKINPATCH_DIALOG);
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                          WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(d.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ((std::vector<int>{d.x, d.y, d.cx, d.cy}), (std::vector<int>{0, 0, 311, 346}));
    EXPECT_EQ(d.caption, L"Orlimo (skin.html) v" + Widen(ORLIMO_VERSION_SHORT));
    EXPECT_EQ(d.caption, L"Orlimo (skin.html) v3.5");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.face, L"굴림");
    EXPECT_EQ(d.weight, 0);
    EXPECT_EQ(d.italic, 0);
    EXPECT_EQ(d.charset, 1);

    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    constexpr DWORD kButtonStyle = kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_VCENTER | BS_FLAT;
    ExpectItems(d, {
                       {IDC_SKIN_EDIT, kEdit, L"",
                        kChild | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
                            ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
                        18, 22, 275, 264},
                       {IDC_PASTE, kButton, L"클립보드에서 붙이기\n(paste)",
                        kButtonStyle | BS_MULTILINE, 41, 314, 68, 25},
                       {IDC_APPLY, kButton, L"BBCode 적용", kButtonStyle, 113, 314, 48, 25},
                       {IDC_REMOVE, kButton, L"BBCode 해제", kButtonStyle, 165, 314, 48, 25},
                       {IDC_COPY, kButton, L"클립보드로 복사\n(copy)", kButtonStyle | BS_MULTILINE,
                        217, 314, 57, 25},
                       {IDCANCEL, kButton, L"종료", kButtonStyle, 278, 314, 27, 25},
                       {IDOK, kButton, L"OK", WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON,
                        7, 325, 20, 14},
                       {-1, kButton, L"SKIN.HTML", kChild | BS_GROUPBOX, 7, 7, 297, 298},
                   });
}

TEST_F(ProgramResources, AboutBoxTemplate)
{
    const DialogTemplateValues d = Dialog(IDD_ABOUTBOX);
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.style,
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ((std::vector<int>{d.x, d.y, d.cx, d.cy}), (std::vector<int>{0, 0, 242, 40}));
    EXPECT_EQ(d.caption, L"Orlimo에 대하여\u2026");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.face, L"굴림");

    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    ExpectItems(
        d, {
               {-1, kStatic, nullptr, kChild | SS_ICON, 10, 10, 20, 20},
               {-1, kStatic, nullptr, kChild | WS_GROUP | SS_LEFT | SS_NOPREFIX, 40, 10, 144, 8},
               {-1, kStatic, nullptr, kChild | WS_GROUP | SS_LEFT, 40, 25, 123, 8},
               {IDOK, kButton, L"확인", kChild | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 191, 7,
                44, 26},
           });
    EXPECT_EQ(d.items[0].titleOrdinal, IDR_MAINFRAME);
    EXPECT_EQ(d.items[1].title, L"Orlimo Version " + Widen(ORLIMO_VERSION_SHORT));
    EXPECT_FALSE(d.items[2].title.empty());
}

TEST_F(ProgramResources, VersionRecord)
{
    const std::wstring path = ProgramPath();
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00030005u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00030005u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u) << "one translation";
    EXPECT_EQ(translation[0], 0x0412);
    EXPECT_EQ(translation[1], 1200);

    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"FileVersion", L"3, 5, 0, 1"}, {L"ProductVersion", L"3, 5, 0, 1"},
        {L"ProductName", L"Orlimo"},     {L"Comments", L""},
        {L"LegalTrademarks", L""},       {L"PrivateBuild", L""},
        {L"SpecialBuild", L""},          {L"OriginalFilename", L"Orlimo.exe"},
    };
    for (const auto& [name, value] : strings) {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\041204b0\\") + name;
        wchar_t* text = nullptr;
        length = 0;
        ASSERT_TRUE(
            ::VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &length))
            << "missing " << ::testing::PrintToString(std::wstring(name));
        EXPECT_EQ(length ? std::wstring(text) : std::wstring(), value);
    }
    EXPECT_EQ(Widen(ORLIMO_VERSION_COMMAS), L"3, 5, 0, 1");
}

TEST_F(ProgramResources, OneManifestAsInvokerWithCommonControls6AndDpiAwareness)
{
    std::vector<std::pair<ULONG_PTR, WORD>> manifests;
    ::EnumResourceNamesW(
        s_module, RT_MANIFEST,
        [](HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR out) -> BOOL {
            ::EnumResourceLanguagesW(
                module, type, name,
                [](HMODULE, LPCWSTR, LPCWSTR id, WORD language, LONG_PTR list) -> BOOL {
                    reinterpret_cast<std::vector<std::pair<ULONG_PTR, WORD>>*>(list)->emplace_back(
                        reinterpret_cast<ULONG_PTR>(id), language);
                    return TRUE;
                },
                out);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&manifests));
    ASSERT_EQ(manifests.size(), 1u);
    EXPECT_EQ(manifests[0].first, 1u);

    auto [data, size] = Find(RT_MANIFEST, MAKEINTRESOURCEW(1), manifests[0].second);
    ASSERT_NE(data, nullptr);
    const std::string xml(static_cast<const char*>(data), size);
#if defined(__x86_64__)
    const std::string architecture = "processorArchitecture=\"amd64\"";
#elif defined(__aarch64__)
    const std::string architecture = "processorArchitecture=\"arm64\"";
#else
    const std::string architecture = "processorArchitecture=\"x86\"";
#endif
    for (const std::string& piece :
         {std::string("level=\"asInvoker\""), std::string("uiAccess=\"false\""),
          std::string("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" ") +
              architecture,
          std::string("publicKeyToken=\"6595b64144ccf1df\" language=\"*\""),
          std::string("PerMonitorV2"), std::string("true/pm"), architecture}) {
        EXPECT_NE(xml.find(piece), std::string::npos) << piece;
    }
    EXPECT_EQ(xml.find("requireAdministrator"), std::string::npos);
}

TEST_F(ProgramResources, IconGroupHasSixImages)
{
    auto [data, size] = Find(RT_GROUP_ICON, MAKEINTRESOURCEW(IDR_MAINFRAME), kKorean);
    ASSERT_NE(data, nullptr);
    const auto* bytes = static_cast<const BYTE*>(data);
    ASSERT_GE(size, 6u);
    const int count = bytes[4] | bytes[5] << 8;
    ASSERT_EQ(size, 6u + 14u * static_cast<DWORD>(count));

    std::set<std::pair<int, int>> images;  // (pixels, bits per pixel)
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = bytes + 6 + 14 * i;
        const int width = entry[0] ? entry[0] : 256;
        const int bits = entry[6] | entry[7] << 8;
        const int id = entry[12] | entry[13] << 8;
        images.emplace(width, bits);
        EXPECT_EQ(entry[1], entry[0]) << "square";
        auto [image, imageSize] = Find(RT_ICON, MAKEINTRESOURCEW(id), kKorean);
        ASSERT_NE(image, nullptr) << "icon image " << id;
        const auto* header = static_cast<const BITMAPINFOHEADER*>(image);
        EXPECT_EQ(header->biBitCount, bits);
        EXPECT_EQ(header->biWidth, width);
    }
    EXPECT_EQ(images, (std::set<std::pair<int, int>>{
                          {48, 8}, {48, 32}, {32, 8}, {32, 32}, {16, 8}, {16, 32}}));
}

TEST_F(ProgramResources, Strings)
{
    const std::pair<UINT, const wchar_t*> strings[] = {
        {IDS_ABOUTBOX, L"&About Orlimo..."},
        {IDS_APP_TITLE, L"Orlimo"},
    };
    for (const auto& [id, text] : strings) {
        wchar_t buffer[128] = {};
        ::LoadStringW(s_module, id, buffer, 128);
        EXPECT_STREQ(buffer, text);
    }
    for (UINT id : {IDS_OUT_OF_MEMORY, IDS_UNPAIRED_SURROGATE, IDS_TEXT_TOO_LONG,
                    IDS_COMMAND_FAILED, IDS_FILE_IS_FOLDER, IDS_FILE_UNREADABLE, IDS_FILE_TOO_LARGE,
                    IDS_FILE_NOT_TEXT, IDS_DROP_ONE_FILE}) {
        wchar_t buffer[512] = {};
        ::LoadStringW(s_module, id, buffer, 512);
        EXPECT_NE(std::wstring(buffer).find(L"텍스트는 바뀌지 않았습니다."), std::wstring::npos)
            << "string " << id;
    }
}

}  // namespace
