// The wait cursor while the user waits for a piece of work: shown at
// construction; the cursor from before comes back at Restore or at the end of
// the scope, whichever is first.
#pragma once

#include "win32.h"

class CWaitCursor {
public:
    CWaitCursor() noexcept : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    ~CWaitCursor() { Restore(); }

    void Restore() noexcept
    {
        if (!m_active) return;
        ::SetCursor(m_previous);
        m_active = false;
    }

private:
    HCURSOR m_previous;
    bool m_active = true;
};
