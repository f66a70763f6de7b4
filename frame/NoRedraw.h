#pragma once
// Redrawing of a window switched off for a scope, so that thousands of rows or
// nodes added to a list or tree do not each invalidate it; one repaint follows.

#include <windows.h>

class CNoRedraw
{
public:
    explicit CNoRedraw(HWND window) : m_window(window) { SendMessageW(m_window, WM_SETREDRAW, FALSE, 0); }
    ~CNoRedraw()
    {
        SendMessageW(m_window, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(m_window, nullptr, TRUE);
    }
    CNoRedraw(const CNoRedraw&) = delete;
    CNoRedraw& operator=(const CNoRedraw&) = delete;

private:
    HWND m_window;
};
