#pragma once
// The error display component: a COM object answering IErrorDisplay.
#include "frame/com/ComObject.h"
#include "frame/com/DispatchImpl.h"

#include "ErrorDisplay.h"

class CErrorDisplay final : public CComObjectImpl<CErrorDisplay, CDispatchImpl<IErrorDisplay>>
{
public:
    static const CLSID& GetObjectCLSID() { return CLSID_ErrorDisplay; }
    using Interfaces = CInterfaceMap<Entry<IErrorDisplay>, Entry<IDispatch, IErrorDisplay>>;

    STDMETHODIMP ShowMessage(BSTR message, BSTR caption, long code, BSTR reason, long style, long defaultButton,
                             long* button) override;

private:
    friend CComObjectImpl<CErrorDisplay, CDispatchImpl<IErrorDisplay>>;
    CErrorDisplay() = default;
    ~CErrorDisplay() override = default;
};
