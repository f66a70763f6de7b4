#pragma once
// The class object and display in one that the tests register in place of
// the host family's error display; T says what ShowMessage records and answers.
// Creatable off makes every creation fail, as when the display is missing.

#include "frame/com/ComObject.h"
#include "frame/com/DispatchImpl.h"

#include "ErrorDisplay.h"

template <class T> class CErrorDisplayImpl : public CComObjectImpl<T, IClassFactory, CDispatchImpl<IErrorDisplay>>
{
public:
    using Interfaces = CInterfaceMap<Entry<IClassFactory>, Entry<IErrorDisplay>, Entry<IDispatch, IErrorDisplay>>;

    bool Creatable = true;

    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override
    {
        *out = nullptr;
        return Creatable ? this->QueryInterface(iid, out) : E_OUTOFMEMORY;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};
