#include "frame/VexilFNEvents.h"

#include "frame/com/Variant.h"

#include <olectl.h>

#include <utility>

namespace {

// The type that a type description declares for ServerStateChanged's one
// argument; VT_I4 when it declares none that a VARIANT converts to.
VARTYPE FindDeclaredStateType(ITypeInfo* events)
{
    TYPEATTR* attributes = nullptr;
    if (FAILED(events->GetTypeAttr(&attributes)) || !attributes)
        return VT_I4;
    VARTYPE declared = VT_I4;
    for (UINT i = 0; i < attributes->cFuncs; ++i)
    {
        FUNCDESC* function = nullptr;
        if (FAILED(events->GetFuncDesc(i, &function)) || !function)
            continue;
        if (function->memid == ServerStateChangedId && function->cParams == 1)
        {
            const VARTYPE type = function->lprgelemdescParam[0].tdesc.vt;
            if (type >= VT_I2 && type <= VT_UINT && type != VT_DISPATCH && type != VT_UNKNOWN &&
                type != VT_VARIANT && type != VT_DECIMAL && type != VT_ERROR)
                declared = type;
        }
        events->ReleaseFuncDesc(function);
    }
    events->ReleaseTypeAttr(attributes);
    return declared;
}

} // namespace

HRESULT LoadServerEventsTypeInfo(ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    CComPtr<ITypeLib> library;
    const HRESULT hr = LoadRegTypeLib(LIBID_VexilFNLib, 1, 0, LOCALE_NEUTRAL, library.Out());
    if (FAILED(hr))
        return hr;
    return library->GetTypeInfoOfGuid(DIID__IVexilFNEvents, info);
}

HRESULT UnpackServerState(ITypeInfo* events, const DISPPARAMS* parameters, long* state)
{
    if (!parameters || !state)
        return E_POINTER;
    if (parameters->cArgs != 1 || !parameters->rgvarg)
        return DISP_E_BADPARAMCOUNT;
    const VARTYPE declared = events ? FindDeclaredStateType(events) : VARTYPE{VT_I4};
    CVariant value;
    HRESULT hr = VariantChangeType(value.GetPointer(), &parameters->rgvarg[0], 0, declared);
    if (SUCCEEDED(hr) && value.GetType() != VT_I4)
        hr = VariantChangeType(value.GetPointer(), value.GetPointer(), 0, VT_I4);
    if (FAILED(hr))
        return DISP_E_TYPEMISMATCH;
    *state = V_I4(&value.Get());
    return S_OK;
}

HRESULT CVexilFNEvents::Connect(IUnknown* server)
{
    Disconnect();
    if (!server)
        return E_POINTER;
    CComPtr<IConnectionPointContainer> container;
    HRESULT hr = server->QueryInterface(IID_IConnectionPointContainer, container.OutVoid());
    if (FAILED(hr))
        return hr;
    CComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(DIID__IVexilFNEvents, point.Out());
    if (FAILED(hr))
        return hr;
    DWORD cookie = 0;
    hr = point->Advise(GetUnknown(), &cookie);
    if (FAILED(hr))
        return hr;
    m_point = std::move(point);
    m_cookie = cookie;
    return S_OK;
}

void CVexilFNEvents::Disconnect()
{
    if (const CComPtr<IConnectionPoint> point = std::move(m_point))
        point->Unadvise(std::exchange(m_cookie, 0));
}

STDMETHODIMP CVexilFNEvents::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CVexilFNEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP CVexilFNEvents::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!InlineIsEqualGUID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    CComPtr<ITypeInfo> info;
    if (FAILED(LoadServerEventsTypeInfo(info.Out())))
        return DISP_E_UNKNOWNNAME;
    return info->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP CVexilFNEvents::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                    EXCEPINFO*, UINT*)
{
    if (!InlineIsEqualGUID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (id != ServerStateChangedId)
        return DISP_E_MEMBERNOTFOUND;
    CComPtr<ITypeInfo> events;
    LoadServerEventsTypeInfo(events.Out()); // none: the argument is converted directly
    long state = 0;
    const HRESULT hr = UnpackServerState(events.Get(), parameters, &state);
    if (FAILED(hr))
        return hr;
    if (result)
        VariantInit(result);
    // The handler may hand the server over or let the client go.
    const CComPtr<CVexilFNEvents> keepAlive(this);
    if (const CHandler handler = m_handler)
        handler(state);
    return S_OK;
}
