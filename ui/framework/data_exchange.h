// Binding of a dialog's controls to their wrappers when the dialog starts.
#pragma once

#include "win32.h"

class CEdit;

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saveAndValidate) noexcept
        : m_hDlg(dialog), m_bSaveAndValidate(saveAndValidate)
    {
    }
    HWND m_hDlg;
    bool m_bSaveAndValidate;  // false: controls <- members (at start-up)
};

// Attaches `control` to the dialog's control `id` (see CEdit::Attach).
void DDX_Control(CDataExchange& dx, int id, CEdit& control) noexcept;
