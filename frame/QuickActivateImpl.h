#pragma once
// IQuickActivate of an embedded control T: the container hands over its
// site and view sink in one call and gets the control's status flags back.

#include "frame/ControlBase.h"

template <class T> class IQuickActivateImpl : public IQuickActivate
{
public:
    STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override
    {
        if (!container || !control)
            return E_POINTER;
        if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL))
            return E_INVALIDARG;
        T& self = static_cast<T&>(*this);
        const HRESULT hr = static_cast<IOleObject&>(self).SetClientSite(container->pClientSite);
        if (FAILED(hr))
            return hr;
        if (container->pAdviseSink)
            static_cast<IViewObjectEx&>(self).SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
        const ULONG size = control->cbSize;
        *control = QACONTROL{};
        control->cbSize = size;
        control->dwMiscStatus = ControlMiscStatus;
        static_cast<IViewObjectEx&>(self).GetViewStatus(&control->dwViewStatus);
        return S_OK;
    }
    STDMETHODIMP SetContentExtent(LPSIZEL size) override
    {
        return static_cast<IOleObject&>(static_cast<T&>(*this)).SetExtent(DVASPECT_CONTENT, size);
    }
    STDMETHODIMP GetContentExtent(LPSIZEL size) override
    {
        return static_cast<IOleObject&>(static_cast<T&>(*this)).GetExtent(DVASPECT_CONTENT, size);
    }
};
