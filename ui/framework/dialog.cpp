#include "dialog.h"

#include <exception>

#include "data_exchange.h"
#include "dialog_template.h"
#include "string_resource.h"

CDialog::CDialog(UINT templateId, HWND parent) noexcept
    : m_templateId(templateId), m_hParent(parent)
{
}

CDialog::~CDialog()
{
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

HWND CDialog::Create(HWND owner)
{
    DialogTemplate dialogTemplate;
    const HINSTANCE module = orlimo::ui::ResourceModule();
    if (!dialogTemplate.Load(module, m_templateId)) return nullptr;
    PrepareTemplate(dialogTemplate);
    m_ended = false;
    ::CreateDialogIndirectParamW(module, dialogTemplate.Data(), owner, &CDialog::StaticDlgProc,
                                 reinterpret_cast<LPARAM>(this));
    return m_hWnd;
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_hParent ? m_hParent : ::GetActiveWindow();
    if (owner) owner = ::GetAncestor(owner, GA_ROOT);
    if (!Create(owner)) return -1;

    // As with the system's modal dialogs: the owner is disabled while the
    // dialog runs and enabled again before the dialog goes, so that the
    // activation returns to it.
    const bool reenableOwner = owner && !::EnableWindow(owner, FALSE);
    if (!::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    RunModalLoop();
    if (reenableOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    return m_result;
}

void CDialog::RunModalLoop()
{
    MSG msg;
    while (!m_ended && m_hWnd) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {  // WM_QUIT: end this loop and leave it for the next one out
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void CDialog::EndDialog(INT_PTR result) noexcept
{
    m_result = result;
    m_ended = true;
    if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wake the loop if it is waiting
}

BOOL CDialog::OnInitDialog()
{
    CDataExchange dx(m_hWnd);
    DoDataExchange(dx);
    CenterOverOwner();
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange&) {}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    return ::IsDialogMessageW(m_hWnd, msg);
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool CDialog::OnClicked(int id)
{
    if (id == IDOK) {
        OnOK();
    } else if (id == IDCANCEL) {
        OnCancel();
    } else {
        return false;
    }
    return true;
}

void CDialog::PrepareTemplate(DialogTemplate&) {}

INT_PTR CDialog::DlgProc(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            return HIWORD(wParam) == BN_CLICKED && OnClicked(LOWORD(wParam));
        default:
            return FALSE;
    }
}

void CDialog::OnHandlerException() noexcept
{
    std::terminate();  // a dialog that throws must say how its failures are shown
}

INT_PTR CDialog::SetMsgResult(LRESULT result) const noexcept
{
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept
{
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->m_hWnd = window;
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!self) return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT)

    INT_PTR handled = FALSE;
    try {
        handled = self->DlgProc(message, wParam, lParam);
    } catch (...) {
        self->OnHandlerException();
        handled = TRUE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return handled;
}

void CDialog::CenterOverOwner() const noexcept
{
    RECT window;
    if (!::GetWindowRect(m_hWnd, &window)) return;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTOPRIMARY),
                      &monitor);
    RECT area = monitor.rcWork;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &area);

    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG x = area.left + (area.right - area.left - width) / 2;
    LONG y = area.top + (area.bottom - area.top - height) / 2;
    // Keep the caption on the work area.
    if (x + width > monitor.rcWork.right) x = monitor.rcWork.right - width;
    if (y + height > monitor.rcWork.bottom) y = monitor.rcWork.bottom - height;
    if (x < monitor.rcWork.left) x = monitor.rcWork.left;
    if (y < monitor.rcWork.top) y = monitor.rcWork.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
