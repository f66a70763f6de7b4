#pragma once
// IOleInPlaceActiveObject of an embedded control T, as the host sees it
// while the control is UI-active:
// - TranslateAccelerator: first `BOOL T::PreTranslateAccelerator(MSG*,
//   HRESULT&)` (started with S_OK; TRUE means translated, its result is
//   returned); otherwise the client site's IOleControlSite with the modifier
//   keys held (1 Shift, 2 Ctrl, 4 Alt): S_OK when it translated, else S_FALSE;
// - OnDocWindowActivate does nothing: the control stays UI-active.

#include "frame/ControlBase.h"

// The modifier keys held now, as IOleControlSite::TranslateAccelerator takes them.
inline DWORD GetModifierFlags()
{
    DWORD flags = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        flags |= 1;
    if (GetKeyState(VK_CONTROL) < 0)
        flags |= 2;
    if (GetKeyState(VK_MENU) < 0)
        flags |= 4;
    return flags;
}

template <class T> class IOleInPlaceActiveObjectImpl2 : public IOleInPlaceActiveObject
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

    STDMETHODIMP TranslateAccelerator(LPMSG message) override
    {
        if (!message)
            return E_POINTER;
        T& control = GetControl();
        HRESULT result = S_OK;
        if (control.PreTranslateAccelerator(message, result))
            return result;
        CComPtr<IOleControlSite> site;
        if (!control.m_clientSite || FAILED(control.m_clientSite.QueryInterface(site)) || !site)
            return S_FALSE;
        return site->TranslateAccelerator(message, GetModifierFlags()) == S_OK ? S_OK : S_FALSE;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

private:
    T& GetControl() { return static_cast<T&>(*this); }
    const T& GetControl() const { return static_cast<const T&>(*this); }
};
