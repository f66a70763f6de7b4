#pragma once
// IDispatch of a dual interface I, served by the type information of I in the
// module's own type library.

#include "frame/com/ComPtr.h"
#include "frame/com/Module.h"

#include <oaidl.h>

template <class I> class CDispatchImpl : public I
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
        const HRESULT hr = Module::GetTypeInfo(__uuidof(I), info.Out());
        return FAILED(hr) ? hr : info->GetIDsOfNames(names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override
    {
        if (!InlineIsEqualGUID(iid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        CComPtr<ITypeInfo> info;
        const HRESULT hr = Module::GetTypeInfo(__uuidof(I), info.Out());
        if (FAILED(hr))
            return hr;
        return info->Invoke(static_cast<I*>(this), id, flags, parameters, result, exception, argumentError);
    }
};
