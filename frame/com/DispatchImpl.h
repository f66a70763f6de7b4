#pragma once
// IDispatch of a dual interface I, served by the type information of I in the
// module's own type library. Further dual interfaces of the same object may
// be named: their names and dispatch ids (which must differ from I's) are
// then answered too, since a script host reaches an object only through its
// default IDispatch.

#include "frame/com/ComPtr.h"
#include "frame/com/Module.h"

#include <oaidl.h>

template <class I, class... Also> class CDispatchImpl : public I
{
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        return Module::GetTypeInfo(__uuidof(I), info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (!InlineIsEqualGUID(iid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        CComPtr<ITypeInfo> info;
        HRESULT hr = Module::GetTypeInfo(__uuidof(I), info.Out());
        if (SUCCEEDED(hr))
            hr = info->GetIDsOfNames(names, count, ids);
        ((hr = hr == DISP_E_UNKNOWNNAME ? GetAlsoIDsOfNames<Also>(names, count, ids) : hr), ...);
        return hr;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override
    {
        if (!InlineIsEqualGUID(iid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        CComPtr<ITypeInfo> info;
        HRESULT hr = Module::GetTypeInfo(__uuidof(I), info.Out());
        if (SUCCEEDED(hr))
            hr = info->Invoke(static_cast<I*>(this), id, flags, parameters, result, exception, argumentError);
        ((hr = hr == DISP_E_MEMBERNOTFOUND ? InvokeAlso<Also>(id, flags, parameters, result, exception, argumentError)
                                           : hr),
         ...);
        return hr;
    }

private:
    template <class A> HRESULT GetAlsoIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids)
    {
        CComPtr<ITypeInfo> info;
        const HRESULT hr = Module::GetTypeInfo(__uuidof(A), info.Out());
        return FAILED(hr) ? hr : info->GetIDsOfNames(names, count, ids);
    }
    template <class A>
    HRESULT InvokeAlso(DISPID id, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                       UINT* argumentError)
    {
        CComPtr<A> other;
        HRESULT hr = this->QueryInterface(__uuidof(A), other.OutVoid());
        CComPtr<ITypeInfo> info;
        if (SUCCEEDED(hr))
            hr = Module::GetTypeInfo(__uuidof(A), info.Out());
        return FAILED(hr) ? hr : info->Invoke(other.Get(), id, flags, parameters, result, exception, argumentError);
    }
};
