// The application: runs the main dialog and ends when it closes.
#pragma once

#include "win_app.h"

class CSkinPatchApp : public CWinApp {
public:
    BOOL InitInstance() override;
};

extern CSkinPatchApp theApp;
