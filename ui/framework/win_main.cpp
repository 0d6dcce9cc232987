// The program's entry point: runs the one application object.
#include "win_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    CWinApp* app = CWinApp::Current();
    if (!app) return 1;
    try {
        app->InitInstance();
        return 0;
    } catch (...) {
        return 1;  // the start-up itself failed (out of memory): nothing to show it with
    }
}
