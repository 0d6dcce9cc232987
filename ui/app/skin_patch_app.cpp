#include "skin_patch_app.h"

#include "resource.h"
#include "skin_patch_dlg.h"

static_assert(IDS_APP_TITLE == CWinApp::kAppTitleStringId,
              "the application's name is the string CWinApp reads");

CSkinPatchApp theApp;

BOOL CSkinPatchApp::InitInstance()
{
    Enable3dControls();

    CSkinPatchDlg dlg;
    dlg.DoModal();

    return FALSE;  // no message loop: the program ends with its dialog
}
