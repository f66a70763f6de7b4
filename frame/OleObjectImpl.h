#pragma once
// IOleObject of an embedded control T: client site, verbs (in-place and UI
// activation), extent, advise sinks, close. T provides
// `static const CLSID& GetObjectCLSID()`.

#include "frame/ControlBase.h"

template <class T> class IOleObjectImpl : public IOleObject
{
public:
    STDMETHODIMP SetClientSite(IOleClientSite* site) override
    {
        T& control = GetControl();
        if (!site)
            control.DeactivateInPlace();
        control.m_inPlaceSite.Reset();
        control.m_inPlaceSiteEx.Reset();
        control.m_clientSite = site;
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override { return GetControl().m_clientSite.CopyTo(site); }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override
    {
        T& control = GetControl();
        control.DeactivateInPlace();
        if (control.m_dirty && control.m_clientSite &&
            (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE))
        {
            control.m_clientSite->SaveObject();
            if (control.m_oleAdviseHolder)
                control.m_oleAdviseHolder->SendOnSave();
        }
        control.m_inPlaceSite.Reset();
        control.m_inPlaceSiteEx.Reset();
        if (control.m_oleAdviseHolder)
            control.m_oleAdviseHolder->SendOnClose();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject** data) override
    {
        if (data)
            *data = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override
    {
        T& control = GetControl();
        switch (verb)
        {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return control.ActivateInPlace(verb);
        case OLEIVERB_HIDE:
            control.DeactivateUI();
            if (const HWND window = control.GetControlWindow())
                ShowWindow(window, SW_HIDE);
            return S_OK;
        case OLEIVERB_DISCARDUNDOSTATE:
            return S_OK;
        default:
            // No separate window to open, no property pages.
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
        }
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override
    {
        if (!verbs)
            return E_POINTER;
        return OleRegEnumVerbs(T::GetObjectCLSID(), verbs);
    }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* id) override
    {
        if (!id)
            return E_POINTER;
        *id = T::GetObjectCLSID();
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override
    {
        if (!type)
            return E_POINTER;
        return OleRegGetUserType(T::GetObjectCLSID(), form, type);
    }
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override
    {
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!size)
            return E_POINTER;
        T& control = GetControl();
        const bool changed = size->cx != control.m_extent.cx || size->cy != control.m_extent.cy;
        control.m_extent = *size;
        if (changed && control.m_recomposeOnResize)
        {
            control.SendOnDataChange();
            control.FireViewChange();
        }
        return S_OK;
    }
    STDMETHODIMP GetExtent(DWORD, SIZEL* size) override
    {
        if (!size)
            return E_POINTER;
        *size = GetControl().m_extent;
        return S_OK;
    }
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override
    {
        T& control = GetControl();
        if (!control.m_oleAdviseHolder)
        {
            const HRESULT hr = CreateOleAdviseHolder(control.m_oleAdviseHolder.Out());
            if (FAILED(hr))
                return hr;
        }
        return control.m_oleAdviseHolder->Advise(sink, connection);
    }
    STDMETHODIMP Unadvise(DWORD connection) override
    {
        T& control = GetControl();
        return control.m_oleAdviseHolder ? control.m_oleAdviseHolder->Unadvise(connection) : OLE_E_NOCONNECTION;
    }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override
    {
        if (!advises)
            return E_POINTER;
        *advises = nullptr;
        T& control = GetControl();
        return control.m_oleAdviseHolder ? control.m_oleAdviseHolder->EnumAdvise(advises) : S_OK;
    }
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override
    {
        if (!status)
            return E_POINTER;
        if (aspect == DVASPECT_CONTENT)
        {
            *status = ControlMiscStatus;
            return S_OK;
        }
        return OleRegGetMiscStatus(T::GetObjectCLSID(), aspect, status);
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

private:
    T& GetControl() { return static_cast<T&>(*this); }
};
