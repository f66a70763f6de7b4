#pragma once
// IProvideClassInfo2 of a control T: the type information of its class from
// the module's type library. The control has no outgoing interface.

#include "frame/com/Module.h"

#include <ocidl.h>

template <class T> class IProvideClassInfo2Impl : public IProvideClassInfo2
{
public:
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        return Module::GetTypeInfo(T::GetObjectCLSID(), info);
    }
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override
    {
        if (!guid)
            return E_POINTER;
        *guid = GUID_NULL;
        return kind == GUIDKIND_DEFAULT_SOURCE_DISP_IID ? E_FAIL : E_INVALIDARG;
    }
};
