#pragma once
// One outgoing interface of a connectable object, with any number of sinks,
// each known by its cookie.
//
// The point is a member of its container and shares the container's
// reference count: a client that holds the point keeps the container alive,
// and the point needs no reference back that would form a cycle.

#include "frame/com/ComPtr.h"

#include <ocidl.h>

#include <span>
#include <vector>

class CConnectionPoint final : public IConnectionPoint
{
public:
    CConnectionPoint(IConnectionPointContainer& container, REFIID iid) : m_container(container), m_iid(iid) {}
    CConnectionPoint(const CConnectionPoint&) = delete;
    CConnectionPoint& operator=(const CConnectionPoint&) = delete;
    virtual ~CConnectionPoint() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return m_container.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_container.Release(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

    REFIID GetInterfaceId() const { return m_iid; }
    std::size_t GetSinkCount() const { return m_sinks.size(); }

    // Calls a method of a dispinterface on every sink through its IDispatch,
    // with the arguments in the order the method declares them. The sinks
    // are those connected when the call starts: a sink may unadvise itself or
    // others, or release the container, during the event. A failing sink
    // does not keep the others from the event.
    void FireEvent(DISPID id, std::span<const VARIANT> arguments);

private:
    struct CSink
    {
        CComPtr<IUnknown> sink; // the sink's pointer for the point's interface
        DWORD cookie;
    };

    IConnectionPointContainer& m_container;
    IID m_iid;
    std::vector<CSink> m_sinks;
    DWORD m_lastCookie = 0;
};
