#pragma once
// IDataObject of an embedded control T that offers no data formats: it only
// keeps the container's data advise sinks, which hear of extent changes.

#include "frame/ControlBase.h"

template <class T> class IDataObjectImpl : public IDataObject
{
public:
    STDMETHODIMP GetData(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC** formats) override
    {
        if (formats)
            *formats = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override
    {
        if (!connection)
            return E_POINTER;
        *connection = 0;
        T& control = static_cast<T&>(*this);
        if (!control.m_dataAdviseHolder)
        {
            const HRESULT hr = CreateDataAdviseHolder(control.m_dataAdviseHolder.Out());
            if (FAILED(hr))
                return hr;
        }
        return control.m_dataAdviseHolder->Advise(this, format, flags, sink, connection);
    }
    STDMETHODIMP DUnadvise(DWORD connection) override
    {
        T& control = static_cast<T&>(*this);
        return control.m_dataAdviseHolder ? control.m_dataAdviseHolder->Unadvise(connection) : OLE_E_NOCONNECTION;
    }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** advises) override
    {
        if (!advises)
            return E_POINTER;
        *advises = nullptr;
        T& control = static_cast<T&>(*this);
        return control.m_dataAdviseHolder ? control.m_dataAdviseHolder->EnumAdvise(advises) : OLE_E_ADVISENOTSUPPORTED;
    }
};
