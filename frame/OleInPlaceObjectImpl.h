#pragma once
// IOleInPlaceObjectWindowless (with IOleInPlaceObject and IOleWindow) of an
// embedded control T that always has a window of its own.

#include "frame/ControlBase.h"
#include "frame/Gdi.h"

template <class T> class IOleInPlaceObjectWindowlessImpl : public IOleInPlaceObjectWindowless
{
public:
    STDMETHODIMP GetWindow(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        const T& control = GetControl();
        *window = control.GetControlWindow();
        if (control.m_wasEverWindowless)
            return E_FAIL;
        return *window ? S_OK : E_UNEXPECTED;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    STDMETHODIMP InPlaceDeactivate() override { return GetControl().DeactivateInPlace(); }
    STDMETHODIMP UIDeactivate() override { return GetControl().DeactivateUI(); }
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override
    {
        if (!position || !clip)
            return E_POINTER;
        T& control = GetControl();
        control.m_position = *position;
        // A configuration component is placed by its host framework: it only
        // records the position.
        if (control.m_configurationComponent)
            return S_OK;
        const HWND window = control.GetControlWindow();
        if (!window)
            return S_OK;
        RECT visible{};
        IntersectRect(&visible, position, clip);
        if (EqualRect(&visible, position))
            SetWindowRgn(window, nullptr, TRUE);
        else
        {
            OffsetRect(&visible, -position->left, -position->top);
            CGdiObject<HRGN> region(CreateRectRgnIndirect(&visible));
            // On success the window owns the region.
            if (region && SetWindowRgn(window, region.Get(), TRUE))
                region.Detach();
        }
        SetWindowPos(window, nullptr, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // Never windowless: the host's window messages do not come this way.
    STDMETHODIMP OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) override
    {
        if (result)
            *result = 0;
        return S_FALSE;
    }
    STDMETHODIMP GetDropTarget(IDropTarget** target) override
    {
        if (!target)
            return E_POINTER;
        *target = nullptr;
        return E_NOTIMPL;
    }

private:
    T& GetControl() { return static_cast<T&>(*this); }
};
