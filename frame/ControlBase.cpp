#include "frame/ControlBase.h"

#include <utility>

namespace {

bool IsWindowOrInside(HWND window, HWND candidate)
{
    return candidate && (candidate == window || IsChild(window, candidate));
}

bool AsksForUIActivation(LONG verb)
{
    return verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY || verb == OLEIVERB_SHOW;
}

} // namespace

HRESULT CComControlBase::ConnectInPlaceSite()
{
    if (m_inPlaceSite)
        return S_OK;
    m_clientSite.QueryInterface(m_inPlaceSiteEx);
    if (m_inPlaceSiteEx)
        m_inPlaceSite = m_inPlaceSiteEx.Get();
    else
        m_clientSite.QueryInterface(m_inPlaceSite);
    return m_inPlaceSite ? S_OK : E_NOINTERFACE;
}

HRESULT CComControlBase::ActivateInPlace(LONG verb)
{
    if (!m_clientSite)
        return E_UNEXPECTED;
    if (!m_inPlaceActive)
    {
        HRESULT hr = ConnectInPlaceSite();
        if (FAILED(hr))
            return hr;
        hr = m_inPlaceSite->CanInPlaceActivate();
        if (hr != S_OK)
            return FAILED(hr) ? hr : E_FAIL;
        // The control always has a window of its own: it never asks an Ex
        // site for windowless activation.
        BOOL noRedraw = FALSE;
        hr = m_inPlaceSiteEx ? m_inPlaceSiteEx->OnInPlaceActivateEx(&noRedraw, 0) : m_inPlaceSite->OnInPlaceActivate();
        if (FAILED(hr))
            return hr;
        m_inPlaceActive = true;

        CComPtr<IOleInPlaceFrame> frame;
        CComPtr<IOleInPlaceUIWindow> document;
        RECT position{};
        RECT clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        if (SUCCEEDED(m_inPlaceSite->GetWindowContext(frame.Out(), document.Out(), &position, &clip, &frameInfo)))
            m_position = position;
        HWND parent = nullptr;
        if (FAILED(m_inPlaceSite->GetWindow(&parent)) || !parent)
        {
            DeactivateInPlace();
            return E_FAIL;
        }
        if (!m_window)
        {
            const HWND created = CreateControlWindow(parent, m_position);
            if (!created)
            {
                DeactivateInPlace();
                return E_FAIL;
            }
            m_window = created;
        }
        SetWindowPos(m_window, nullptr, m_position.left, m_position.top, m_position.right - m_position.left,
                     m_position.bottom - m_position.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // A window hidden by OLEIVERB_HIDE comes back with the next activation.
    if (m_window && !IsWindowVisible(m_window))
        ShowWindow(m_window, SW_SHOWNA);
    if (AsksForUIActivation(verb))
    {
        const HRESULT hr = ActivateUI();
        if (FAILED(hr))
            return hr;
    }
    m_clientSite->ShowObject();
    return S_OK;
}

HRESULT CComControlBase::ActivateUI()
{
    if (m_uiActive)
        return S_OK;
    // Set first: taking the focus below comes back here through WM_SETFOCUS.
    m_uiActive = true;
    const HRESULT hr = m_inPlaceSite->OnUIActivate();
    if (FAILED(hr))
    {
        m_uiActive = false;
        return hr;
    }
    if (m_window && !IsWindowOrInside(m_window, GetFocus()))
        SetFocus(m_window);

    CComPtr<IOleInPlaceActiveObject> activeObject;
    GetControlUnknown()->QueryInterface(IID_IOleInPlaceActiveObject, activeObject.OutVoid());
    CComPtr<IOleInPlaceFrame> frame;
    CComPtr<IOleInPlaceUIWindow> document;
    RECT position{};
    RECT clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    m_inPlaceSite->GetWindowContext(frame.Out(), document.Out(), &position, &clip, &frameInfo);
    // The control has no menus or tool bars: it asks for no border space.
    if (frame)
    {
        frame->SetActiveObject(activeObject.Get(), nullptr);
        frame->SetBorderSpace(nullptr);
    }
    if (document)
    {
        document->SetActiveObject(activeObject.Get(), nullptr);
        document->SetBorderSpace(nullptr);
    }
    return S_OK;
}

HRESULT CComControlBase::DeactivateUI()
{
    if (!m_inPlaceActive || !m_uiActive)
        return S_OK;
    m_uiActive = false;
    CComPtr<IOleInPlaceFrame> frame;
    CComPtr<IOleInPlaceUIWindow> document;
    RECT position{};
    RECT clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    m_inPlaceSite->GetWindowContext(frame.Out(), document.Out(), &position, &clip, &frameInfo);
    if (document)
        document->SetActiveObject(nullptr, nullptr);
    if (frame)
        frame->SetActiveObject(nullptr, nullptr);
    m_inPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT CComControlBase::DeactivateInPlace()
{
    if (!m_inPlaceActive)
        return S_OK;
    DeactivateUI();
    m_inPlaceActive = false;
    DestroyControlWindow();
    if (m_inPlaceSiteEx)
        m_inPlaceSiteEx->OnInPlaceDeactivateEx(TRUE);
    else
        m_inPlaceSite->OnInPlaceDeactivate();
    return S_OK;
}

void CComControlBase::DestroyControlWindow()
{
    if (const HWND window = std::exchange(m_window, nullptr))
        DestroyWindow(window);
}

void CComControlBase::SendOnDataChange()
{
    if (!m_dataAdviseHolder)
        return;
    CComPtr<IDataObject> data;
    GetControlUnknown()->QueryInterface(IID_IDataObject, data.OutVoid());
    m_dataAdviseHolder->SendOnDataChange(data.Get(), 0, 0);
}

void CComControlBase::SendOnViewChange(DWORD aspect)
{
    if (!m_viewSink || (m_viewAspects & aspect) == 0)
        return;
    const CComPtr<IAdviseSink> sink = m_viewSink;
    if (m_viewAdviseFlags & ADVF_ONLYONCE)
        m_viewSink.Reset();
    sink->OnViewChange(aspect, -1);
}

void CComControlBase::FireViewChange()
{
    if (m_inPlaceActive && m_window)
        InvalidateRect(m_window, nullptr, TRUE);
    else
        SendOnViewChange(DVASPECT_CONTENT);
}

void CComControlBase::NotifySiteOfFocus(bool focus)
{
    CComPtr<IOleControlSite> site;
    if (m_inPlaceActive && SUCCEEDED(m_clientSite.QueryInterface(site)) && site)
        site->OnFocus(focus);
}

HRESULT CComControlBase::GetAmbientProperty(DISPID id, VARIANT* value)
{
    if (!value)
        return E_POINTER;
    CComPtr<IDispatch> ambient;
    if (!m_clientSite || FAILED(m_clientSite.QueryInterface(ambient)) || !ambient)
        return E_NOINTERFACE;
    DISPPARAMS none{};
    return ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
}
