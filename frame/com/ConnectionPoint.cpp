#include "frame/com/ConnectionPoint.h"

#include "frame/com/Enumerator.h"

#include <olectl.h>

#include <algorithm>

namespace {

struct CConnectionTraits
{
    static void Copy(const CONNECTDATA& from, CONNECTDATA* to)
    {
        *to = from;
        to->pUnk->AddRef();
    }
};

// Owns the references of the CONNECTDATA it holds.
struct CConnectionData : CONNECTDATA
{
    CConnectionData(IUnknown* sink, DWORD cookie) : CONNECTDATA{sink, cookie} { pUnk->AddRef(); }
    CConnectionData(const CConnectionData& other) : CConnectionData(other.pUnk, other.dwCookie) {}
    CConnectionData& operator=(const CConnectionData&) = delete;
    ~CConnectionData() { pUnk->Release(); }
};

using CEnumConnections = CEnumeratorImpl<IEnumConnections, CONNECTDATA, CConnectionData, CConnectionTraits>;

} // namespace

STDMETHODIMP CConnectionPoint::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (!InlineIsEqualGUID(iid, IID_IUnknown) && !InlineIsEqualGUID(iid, IID_IConnectionPoint))
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = m_iid;
    return S_OK;
}

STDMETHODIMP CConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = &m_container;
    m_container.AddRef();
    return S_OK;
}

STDMETHODIMP CConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!sink)
        return E_POINTER;
    CComPtr<IUnknown> typed;
    if (FAILED(sink->QueryInterface(m_iid, typed.OutVoid())) || !typed)
        return CONNECT_E_CANNOTCONNECT;
    m_sinks.push_back({std::move(typed), ++m_lastCookie});
    *cookie = m_lastCookie;
    return S_OK;
}

STDMETHODIMP CConnectionPoint::Unadvise(DWORD cookie)
{
    const auto found =
        std::find_if(m_sinks.begin(), m_sinks.end(), [cookie](const CSink& sink) { return sink.cookie == cookie; });
    if (found == m_sinks.end())
        return CONNECT_E_NOCONNECTION;
    // The sink may release its last reference to us from its Release.
    CSink removed = std::move(*found);
    m_sinks.erase(found);
    return S_OK;
}

STDMETHODIMP CConnectionPoint::EnumConnections(IEnumConnections** connections)
{
    if (!connections)
        return E_POINTER;
    *connections = nullptr;
    auto items = std::make_shared<CEnumConnections::Items>();
    items->reserve(m_sinks.size());
    for (const CSink& sink : m_sinks)
        items->emplace_back(sink.sink.Get(), sink.cookie);
    auto enumerator = CEnumConnections::Create(std::move(items));
    return enumerator ? enumerator->QueryInterface(IID_IEnumConnections, reinterpret_cast<void**>(connections))
                      : E_OUTOFMEMORY;
}

void CConnectionPoint::FireEvent(DISPID id, std::span<const VARIANT> arguments)
{
    // A sink that drops the container during the event must not end it under us.
    CComPtr<IConnectionPointContainer> keepAlive(&m_container);
    std::vector<CComPtr<IUnknown>> sinks;
    sinks.reserve(m_sinks.size());
    for (const CSink& sink : m_sinks)
        sinks.push_back(sink.sink);

    // DISPPARAMS takes the arguments last first.
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    for (const CComPtr<IUnknown>& sink : sinks)
    {
        DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        // A dispinterface's pointer is the sink's IDispatch for it.
        reinterpret_cast<IDispatch*>(sink.Get())
            ->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
    }
}
