#include "host/ConsoleErrorDisplay.h"

#include "frame/com/ComObject.h"

#include "ErrorDisplay.h"

#include <cstdio>
#include <string>

namespace {

std::string Narrow(BSTR text)
{
    std::string result;
    for (UINT i = 0; text && i < SysStringLen(text); ++i)
        result += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    return result;
}

class CConsoleErrorDisplay final : public CComObjectImpl<CConsoleErrorDisplay, IErrorDisplay>
{
public:
    using Interfaces = CInterfaceMap<Entry<IErrorDisplay>, Entry<IDispatch, IErrorDisplay>>;

    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    STDMETHODIMP ShowMessage(BSTR message, BSTR caption, long code, BSTR reason, long style, long defaultButton,
                             long* button) override
    {
        if (!button)
            return E_POINTER;
        std::printf("message: %s: %s (0x%08lX) %s\n", Narrow(caption).c_str(), Narrow(message).c_str(),
                    static_cast<unsigned long>(code), Narrow(reason).c_str());
        std::fflush(stdout);
        *button = DefaultAnswer(static_cast<UINT>(style) & MB_TYPEMASK, defaultButton);
        return S_OK;
    }

private:
    friend CComObjectImpl<CConsoleErrorDisplay, IErrorDisplay>;
    CConsoleErrorDisplay() = default;

    static long DefaultAnswer(UINT buttons, long defaultButton)
    {
        switch (buttons)
        {
        case MB_YESNO:
            return defaultButton == 2 ? IDNO : IDYES;
        case MB_YESNOCANCEL:
            return defaultButton == 3 ? IDCANCEL : defaultButton == 2 ? IDNO : IDYES;
        case MB_OKCANCEL:
            return defaultButton == 2 ? IDCANCEL : IDOK;
        default:
            return IDOK;
        }
    }
};

class CConsoleErrorDisplayFactory final : public CComObjectImpl<CConsoleErrorDisplayFactory, IClassFactory>
{
public:
    using Interfaces = CInterfaceMap<Entry<IClassFactory>>;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        const auto display = CConsoleErrorDisplay::Create();
        return display ? display->QueryInterface(iid, out) : E_OUTOFMEMORY;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    friend CComObjectImpl<CConsoleErrorDisplayFactory, IClassFactory>;
    CConsoleErrorDisplayFactory() = default;
};

} // namespace

CConsoleErrorDisplayRegistration::CConsoleErrorDisplayRegistration()
{
    if (const auto factory = CConsoleErrorDisplayFactory::Create())
        CoRegisterClassObject(CLSID_ErrorDisplay, factory->GetUnknown(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                              &m_cookie);
}

CConsoleErrorDisplayRegistration::~CConsoleErrorDisplayRegistration()
{
    if (m_cookie)
        CoRevokeClassObject(m_cookie);
}
