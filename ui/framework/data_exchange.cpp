#include "data_exchange.h"

#include "edit.h"

void DDX_Control(CDataExchange& dx, int id, CEdit& control) noexcept
{
    control.Attach(::GetDlgItem(dx.m_hDlg, id));
}
