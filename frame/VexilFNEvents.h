#pragma once
// CVexilFNEvents: the sink of a register access server's events
// (_IVexilFNEvents). It connects itself to a server's connection point and
// hands each ServerStateChanged (DISPID 1) to its handler with the state as a
// 32-bit integer, unpacked by the server's registered type library (VexilFN
// 1.0) when there is one, else converted to VT_I4 directly.
//
// The sink holds no reference to its client: the client owns the sink and
// detaches it before it goes, so a server that still holds the sink calls
// nobody.

#include "frame/com/ComObject.h"

#include "VexilFN.h"

#include <functional>

// DISPID of ServerStateChanged(long state).
constexpr DISPID ServerStateChangedId = 1;

class CVexilFNEvents final : public CComObjectImpl<CVexilFNEvents, _IVexilFNEvents>
{
public:
    using Interfaces = CInterfaceMap<Entry<_IVexilFNEvents>, Entry<IDispatch, _IVexilFNEvents>>;
    using CHandler = std::function<void(long state)>;

    explicit CVexilFNEvents(CHandler handler) : m_handler(std::move(handler)) {}

    // Advises the server's _IVexilFNEvents connection point; a connection
    // held before is given up first.
    HRESULT Connect(IUnknown* server);
    void Disconnect();
    // No more calls to the handler.
    void Detach() { m_handler = nullptr; }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

private:
    ~CVexilFNEvents() override { Disconnect(); }
    friend class CComObjectImpl<CVexilFNEvents, _IVexilFNEvents>;

    CHandler m_handler;
    CComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

// The description of _IVexilFNEvents in the registered server type library
// (VexilFN 1.0); fails when it is not registered.
HRESULT LoadServerEventsTypeInfo(ITypeInfo** info);

// The state argument of ServerStateChanged: converted to the type that
// `events` (may be null) declares for it, then to a 32-bit integer.
HRESULT UnpackServerState(ITypeInfo* events, const DISPPARAMS* parameters, long* state);
