// The application object: exactly one exists, constructed during static
// initialisation. The program's entry point calls its InitInstance once and
// ends when it returns; there is no message loop beyond the dialogs' own.
#pragma once

#include <string>

#include "win32.h"

class CWinApp {
public:
    // The string of this id names the application (the caption of its message
    // boxes).
    static constexpr UINT kAppTitleStringId = 0xE000;

    CWinApp() noexcept;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Creates and runs the program's window; its result says whether a
    // message loop should follow, which this framework never runs.
    virtual BOOL InitInstance();

    // Makes the version 6 common controls available (the manifest asks for
    // them; they are registered when comctl32 is initialised).
    BOOL Enable3dControls() noexcept;

    // The application's name: the string kAppTitleStringId, else the program
    // file's base name.
    [[nodiscard]] const wchar_t* AppName();

    [[nodiscard]] static CWinApp* Current() noexcept;

private:
    std::wstring m_appName;  // cache of AppName()
};
