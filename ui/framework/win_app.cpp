#include "win_app.h"

#include <commctrl.h>

#include <string_view>

#include "string_resource.h"

namespace {
CWinApp* g_app = nullptr;

[[nodiscard]] std::wstring ProgramBaseName()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring_view name(path, length < MAX_PATH ? length : 0);
    if (const auto slash = name.find_last_of(L"\\/"); slash != name.npos)
        name.remove_prefix(slash + 1);
    if (const auto dot = name.rfind(L'.'); dot != name.npos) name = name.substr(0, dot);
    return std::wstring(name);
}
}  // namespace

CWinApp::CWinApp() noexcept
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this) g_app = nullptr;
}

CWinApp* CWinApp::Current() noexcept
{
    return g_app;
}

BOOL CWinApp::InitInstance()
{
    return FALSE;
}

BOOL CWinApp::Enable3dControls() noexcept
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    return ::InitCommonControlsEx(&controls);
}

const wchar_t* CWinApp::AppName()
{
    if (m_appName.empty()) {
        const std::wstring_view title = orlimo::ui::LoadStringView(kAppTitleStringId);
        m_appName = title.empty() ? ProgramBaseName() : std::wstring(title);
    }
    return m_appName.c_str();
}
