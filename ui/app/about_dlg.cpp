#include "about_dlg.h"

#include "hangul_face.h"
#include "resource.h"

CAboutDlg::CAboutDlg() noexcept : CDialog(IDD_ABOUTBOX, nullptr) {}

void CAboutDlg::PrepareTemplate(DialogTemplate& dialogTemplate)
{
    orlimo::ui::EnsureHangulFace(dialogTemplate);
}

INT_PTR CAboutDlg::DlgProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HELP) return SetMsgResult(OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam)));
    return CDialog::DlgProc(message, wParam, lParam);
}

BOOL CAboutDlg::OnHelpInfo(HELPINFO*)
{
    return TRUE;
}
