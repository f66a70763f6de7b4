#include "dialogs/EZSize.h"

#include <algorithm>
#include <new>

namespace {

bool GetNormalRect(HWND window, RECT& rect)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!window || !GetWindowPlacement(window, &placement))
        return false;
    rect = placement.rcNormalPosition;
    return true;
}

} // namespace

bool CEZSize::Measure(bool applyMinimum)
{
    RECT rect{};
    if (!GetNormalRect(m_window, rect))
        return false;
    m_width = rect.right - rect.left;
    m_height = rect.bottom - rect.top;
    if (applyMinimum)
    {
        m_width = std::max(m_width, m_minimumWidth);
        m_height = std::max(m_height, m_minimumHeight);
    }
    return true;
}

HRESULT CEZSize::Attach(HWND window)
{
    m_window = window;
    return Measure(false) ? S_OK : E_FAIL;
}

HRESULT CEZSize::SetMinimumSize(int width, int height)
{
    m_minimumWidth = width == -1 ? m_width : width;
    m_minimumHeight = height == -1 ? m_height : height;
    return S_OK;
}

HRESULT CEZSize::AddItem(int controlId, UINT flags)
{
    HWND control = GetDlgItem(m_window, controlId);
    if (!control)
        return E_POINTER;
    RECT rect{};
    if (!GetNormalRect(control, rect))
        return E_FAIL;
    CItem item{controlId, flags, 0, 0, 0, 0};
    const bool right = flags & HORIZONTAL;
    const bool down = flags & VERTICAL;
    if (flags & SIZE)
    {
        item.a = right ? rect.left : -1;
        item.c = right ? m_width - rect.right : rect.right - rect.left;
        item.b = down ? rect.top : -1;
        item.d = down ? m_height - rect.bottom : rect.bottom - rect.top;
    }
    else if (flags & MOVE)
    {
        item.a = right ? m_width - rect.left : rect.left;
        item.b = down ? m_height - rect.top : rect.top;
        item.c = item.d = -1;
    }
    else
        return E_INVALIDARG;
    try
    {
        m_items.push_back(item);
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CEZSize::Resize()
{
    if (!Measure(true))
        return E_FAIL;
    for (const CItem& item : m_items)
    {
        HWND control = GetDlgItem(m_window, item.id);
        if (!control)
            continue;
        const bool right = item.flags & HORIZONTAL;
        const bool down = item.flags & VERTICAL;
        BOOL placed = FALSE;
        if (item.flags & SIZE)
        {
            const int width = right ? m_width - item.a - item.c : item.c;
            const int height = down ? m_height - item.b - item.d : item.d;
            placed = SetWindowPos(control, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        else
        {
            const int x = right ? m_width - item.a : item.a;
            const int y = down ? m_height - item.b : item.b;
            placed = SetWindowPos(control, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (!placed)
            return E_FAIL;
    }
    return S_OK;
}
