#pragma once
// The wait cursor for the duration of a scope; the cursor from before comes
// back when the scope ends, also by a failure.

#include <windows.h>

class CWaitCursor
{
public:
    CWaitCursor() : m_previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { SetCursor(m_previous); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_previous;
};
