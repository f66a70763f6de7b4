#pragma once
// The state of an embedded control that its standard interfaces share, and
// the activation protocol with the container's sites (loaded → in-place
// active → UI-active and back).
//
// The interface implementations (IOleObjectImpl<T> and the others) reach this
// state through the control class T, which derives from it by way of
// CComCompositeControl2<T>. The members are public for them; a control class
// reads them but leaves their changes to the frame.

#include "frame/com/ComPtr.h"

#include <ocidl.h>
#include <oleidl.h>

// OLEMISC flags of the content aspect: recompose on resize, no links inside,
// inside-out, activate when visible, client site before loading (131473).
constexpr DWORD ControlMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                    OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

// The ambient property of the container's background colour.
constexpr DISPID AmbientBackColorId = -701;

class CComControlBase
{
public:
    CComControlBase(const CComControlBase&) = delete;
    CComControlBase& operator=(const CComControlBase&) = delete;

    HWND GetControlWindow() const { return m_window; }
    bool IsInPlaceActive() const { return m_inPlaceActive; }
    bool IsUIActive() const { return m_uiActive; }

    // In-place activation (creates the window) and, for the verbs that ask
    // for it, UI activation (focus, the frame's active object).
    HRESULT ActivateInPlace(LONG verb);
    // Leaves UI activation, then in-place activation (destroys the window).
    HRESULT DeactivateInPlace();
    HRESULT DeactivateUI();

    // Notifications to the container.
    void SendOnDataChange();
    void SendOnViewChange(DWORD aspect);
    // Repaints the window when in-place active, else tells the view sink.
    void FireViewChange();
    void NotifySiteOfFocus(bool focus);

    // An ambient property of the container through the site's IDispatch.
    HRESULT GetAmbientProperty(DISPID id, VARIANT* value);

    // Shared state.
    CComPtr<IOleClientSite> m_clientSite;
    CComPtr<IOleInPlaceSite> m_inPlaceSite;
    CComPtr<IOleInPlaceSiteEx> m_inPlaceSiteEx; // null when the site is not an Ex site
    CComPtr<IAdviseSink> m_viewSink;
    DWORD m_viewAspects = 0;
    DWORD m_viewAdviseFlags = 0;
    CComPtr<IOleAdviseHolder> m_oleAdviseHolder;
    CComPtr<IDataAdviseHolder> m_dataAdviseHolder;
    SIZEL m_extent{5080, 5080};        // HIMETRIC
    SIZEL m_naturalExtent{5080, 5080}; // HIMETRIC
    RECT m_position{};                 // in the site window's client coordinates
    HWND m_window = nullptr;
    bool m_inPlaceActive = false;
    bool m_uiActive = false;
    bool m_wasEverWindowless = false;
    bool m_recomposeOnResize = false;
    bool m_dirty = false;
    BYTE m_configurationComponent = 0;
    ULONG m_frozenEvents = 0;

protected:
    CComControlBase() = default;
    virtual ~CComControlBase() = default;

    // The object's identity, for handing its interfaces to the container.
    virtual IUnknown* GetControlUnknown() = 0;
    // Makes the control's window as a child of the site's window; null on failure.
    virtual HWND CreateControlWindow(HWND parent, const RECT& position) = 0;
    virtual void DestroyControlWindow();

private:
    HRESULT ConnectInPlaceSite();
    HRESULT ActivateUI();
};
