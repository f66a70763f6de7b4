#pragma once
// IVexilFNClientImpl<T>: the control's side of a register access server.
// SetServer with a pointer other than the one held disconnects the event
// sink from the old server, holds the new one and connects the sink to it
// (when not null). Each ServerStateChanged event reaches
// `void T::OnServerStateChanged(long state)`. T reads the server with
// GetServer().

#include "frame/VexilFNEvents.h"

template <class T> class IVexilFNClientImpl : public IVexilFNClient
{
public:
    STDMETHODIMP SetServer(IVexilFN* server) override
    {
        if (server == m_server.Get())
            return S_OK;
        if (m_sink)
            m_sink->Disconnect();
        m_server = server;
        if (!server)
            return S_OK;
        if (!m_sink)
        {
            m_sink = CVexilFNEvents::Create(
                [this](long state) { static_cast<T*>(this)->OnServerStateChanged(state); });
            if (!m_sink)
                return E_OUTOFMEMORY;
        }
        // A server without events still serves: its state is then read at start-up only.
        m_sink->Connect(server);
        return S_OK;
    }

    IVexilFN* GetServer() const { return m_server.Get(); }

protected:
    IVexilFNClientImpl() = default;
    ~IVexilFNClientImpl()
    {
        if (m_sink)
        {
            m_sink->Detach();
            m_sink->Disconnect();
        }
    }

private:
    CComPtr<IVexilFN> m_server;
    CComPtr<CVexilFNEvents> m_sink;
};
