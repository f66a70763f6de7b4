#pragma once
// What the frame tests share: OLE set up per test program with the program as
// the control's module, help requests caught instead of opening help, and
// small stand-ins for the host's context and a register access server.

#include "frame/Help.h"
#include "frame/com/ComObject.h"
#include "frame/com/ConnectionPointContainer.h"

#include "HostFramework.h"
#include "VexilFN.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

// A help request that would have opened the help viewer.
struct CHelpRequest
{
    HWND window;
    std::string file;
    UINT command;
    ULONG_PTR context;
};

// Help requests since the test started (the catcher is reset per test).
std::vector<CHelpRequest>& GetHelpRequests();

// References that others hold on an object.
ULONG CountReferences(IUnknown* object);

// The host's context: hands out a cookie per member and records the calls.
class CFakeHostContext final : public CComObjectImpl<CFakeHostContext, IHostContext>
{
public:
    using Interfaces = CInterfaceMap<Entry<IHostContext>>;

    explicit CFakeHostContext(DWORD cookie = 42, HRESULT answer = S_OK) : m_cookie(cookie), m_answer(answer) {}

    STDMETHODIMP AddMember(IContextMember* member, DWORD* cookie) override;
    STDMETHODIMP RemoveMember(DWORD cookie) override;

    std::vector<std::string> m_calls;
    IContextMember* m_member = nullptr; // not held: the member holds the context

private:
    DWORD m_cookie;
    HRESULT m_answer;
};

// A register access server with only its state and its event.
class CFakeServer final : public CComObjectImpl<CFakeServer, IVexilFN, CConnectionPointContainerImpl<CFakeServer>>
{
public:
    using Interfaces =
        CInterfaceMap<Entry<IVexilFN>, Entry<IDispatch, IVexilFN>, Entry<IConnectionPointContainer>>;

    CFakeServer() : m_events(*this, DIID__IVexilFNEvents) {}

    std::array<CConnectionPoint*, 1> GetConnectionPoints() { return {&m_events}; }
    std::size_t CountSinks() const { return m_events.GetSinkCount(); }
    // Fires ServerStateChanged with the argument as given.
    void FireStateChanged(const VARIANT& state);
    void FireStateChanged(long state);

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP ReadRegister(LONG, LONG, LONG, VARIANT*, VARIANT, LONG) override { return E_NOTIMPL; }
    STDMETHODIMP WriteRegister(LONG, LONG, LONG, VARIANT, VARIANT, LONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reserved1() override { return E_NOTIMPL; }
    STDMETHODIMP Reserved2() override { return E_NOTIMPL; }
    STDMETHODIMP GetDevices(VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetRegisters(LONG, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                              LONG*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetServerState(LONG* state) override;

private:
    CConnectionPoint m_events;
};
