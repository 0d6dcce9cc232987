// Binding of a dialog's controls to their wrappers when the dialog starts.
#pragma once

#include "win32.h"

class CEdit;

class CDataExchange {
public:
    explicit CDataExchange(HWND dialog) noexcept : m_hDlg(dialog) {}
    HWND m_hDlg;
};

// Attaches `control` to the dialog's control `id` (see CEdit::Attach).
void DDX_Control(CDataExchange& dx, int id, CEdit& control) noexcept;
