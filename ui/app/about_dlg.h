// The About box: icon, version line, one line on what the program does, and
// "확인". F1 inside it does nothing.
#pragma once

#include "dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() noexcept;

protected:
    void PrepareTemplate(DialogTemplate& dialogTemplate) override;
    INT_PTR DlgProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // WM_HELP: answered here, so that it never reaches the main dialog.
    BOOL OnHelpInfo(HELPINFO* info);
};
