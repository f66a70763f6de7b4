#pragma once
// Scopes in which a window is not repainted piece by piece while thousands of
// its rows or nodes are added or changed; one repaint follows.

#include <windows.h>

// Redrawing switched off: added rows or nodes do not each invalidate it.
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

// A window marked hidden for a scope without being taken off the screen, as
// redrawing off does for plain windows. A control that invalidates every item
// it changes, even with its own redrawing off (the tree view does), then adds
// nothing to its update region; one repaint of the whole window follows.
class CUpdateFreeze
{
public:
    explicit CUpdateFreeze(HWND window) : m_window(window), m_style(GetWindowLongPtrW(window, GWL_STYLE))
    {
        SetWindowLongPtrW(m_window, GWL_STYLE, m_style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    }
    ~CUpdateFreeze()
    {
        SetWindowLongPtrW(m_window, GWL_STYLE, m_style);
        InvalidateRect(m_window, nullptr, TRUE);
    }
    CUpdateFreeze(const CUpdateFreeze&) = delete;
    CUpdateFreeze& operator=(const CUpdateFreeze&) = delete;

private:
    HWND m_window;
    LONG_PTR m_style;
};
