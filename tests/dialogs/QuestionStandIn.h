#pragma once
// Stands in for the error display in the dialog tests: records each question
// and answers it with the button the test chose, or cannot be created at all.

#include "frame/com/ComObject.h"

#include "ErrorDisplay.h"

#include <string>
#include <vector>

struct CQuestion
{
    std::wstring Message;
    std::wstring Caption;
    long Style;
};

class CQuestionStandIn final : public CComObjectImpl<CQuestionStandIn, IClassFactory, IErrorDisplay>
{
public:
    using Interfaces = CInterfaceMap<Entry<IClassFactory>, Entry<IErrorDisplay>, Entry<IDispatch, IErrorDisplay>>;

    long Answer = IDYES;
    bool Creatable = true;
    std::vector<CQuestion> Asked;

    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override
    {
        *out = nullptr;
        return Creatable ? QueryInterface(iid, out) : E_OUTOFMEMORY;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP ShowMessage(BSTR message, BSTR caption, long, BSTR, long style, long, long* button) override
    {
        Asked.push_back({message, caption, style});
        *button = Answer;
        return S_OK;
    }
};
