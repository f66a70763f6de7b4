// The state event through the connection point: every sink is reached,
// sinks may come and go during an event, and the point answers as one.
#include "tests/sim/SimTestSupport.h"

#include "frame/com/ComObject.h"

#include <functional>
#include <olectl.h>

namespace {

using testing::ElementsAre;

// A sink of the server's events that records the states it is given.
class CStateSink final : public CComObjectImpl<CStateSink, _IVexilFNEvents>
{
public:
    using Interfaces = CInterfaceMap<Entry<_IVexilFNEvents>, Entry<IDispatch, _IVexilFNEvents>>;

    std::vector<LONG> states;
    std::function<void()> onEvent; // runs inside the event

    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (id != 1 || parameters->cArgs != 1 || V_VT(&parameters->rgvarg[0]) != VT_I4)
            return DISP_E_MEMBERNOTFOUND;
        states.push_back(V_I4(&parameters->rgvarg[0]));
        if (onEvent)
            onEvent();
        return S_OK;
    }
};

class StateEvents : public CSimulatorTest
{
protected:
    void SetUp() override
    {
        CSimulatorTest::SetUp();
        CComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(m_server.QueryInterface(container), S_OK);
        ASSERT_EQ(container->FindConnectionPoint(DIID__IVexilFNEvents, m_point.Out()), S_OK);
    }
    void TearDown() override
    {
        m_point.Reset();
        CSimulatorTest::TearDown();
    }

    DWORD Advise(const CComPtr<CStateSink>& sink)
    {
        DWORD cookie = 0;
        EXPECT_EQ(m_point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie), S_OK);
        EXPECT_NE(cookie, 0u);
        return cookie;
    }

    CComPtr<IConnectionPoint> m_point;
};

TEST_F(StateEvents, StateChangeReachesEverySink)
{
    auto first = CStateSink::Create();
    auto second = CStateSink::Create();
    Advise(first);
    Advise(second);
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    ASSERT_EQ(m_control->SetServerState(5), S_OK);
    EXPECT_THAT(first->states, ElementsAre(0, 5));
    EXPECT_THAT(second->states, ElementsAre(0, 5));
    LONG state = 0;
    EXPECT_EQ(m_server->GetServerState(&state), S_OK);
    EXPECT_EQ(state, 5);
}

TEST_F(StateEvents, UnadvisedSinkHearsNoMore)
{
    auto first = CStateSink::Create();
    auto second = CStateSink::Create();
    const DWORD cookie = Advise(first);
    Advise(second);
    ASSERT_EQ(m_point->Unadvise(cookie), S_OK);
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    EXPECT_TRUE(first->states.empty());
    EXPECT_THAT(second->states, ElementsAre(0));
    EXPECT_EQ(m_point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
}

TEST_F(StateEvents, SinkMayUnadviseItselfDuringTheEvent)
{
    auto leaving = CStateSink::Create();
    auto staying = CStateSink::Create();
    const DWORD cookie = Advise(leaving);
    Advise(staying);
    leaving->onEvent = [&] { EXPECT_EQ(m_point->Unadvise(cookie), S_OK); };
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    ASSERT_EQ(m_control->SetServerState(1), S_OK);
    EXPECT_THAT(leaving->states, ElementsAre(0));
    EXPECT_THAT(staying->states, ElementsAre(0, 1));
}

TEST_F(StateEvents, SinkUnadvisedByAnotherDuringTheEventStillHearsThatEvent)
{
    auto first = CStateSink::Create();
    auto second = CStateSink::Create();
    Advise(first);
    const DWORD secondCookie = Advise(second);
    first->onEvent = [&] { m_point->Unadvise(secondCookie); };
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    ASSERT_EQ(m_control->SetServerState(1), S_OK);
    EXPECT_THAT(second->states, ElementsAre(0));
}

TEST_F(StateEvents, SinkMayReleaseTheLastReferenceDuringTheEvent)
{
    auto sink = CStateSink::Create();
    Advise(sink);
    IVexilSimControl* control = m_control.Get();
    // From here on only the sink's closure owns the simulator.
    CComPtr<IVexilFN> owner = std::move(m_server);
    CComPtr<IVexilSimControl> controlOwner = std::move(m_control);
    m_point.Reset();
    sink->onEvent = [&] {
        controlOwner.Reset();
        owner.Reset();
    };
    EXPECT_EQ(control->SetServerState(0), S_OK);
    EXPECT_THAT(sink->states, ElementsAre(0));
}

TEST_F(StateEvents, ObjectWithoutTheEventInterfaceCannotConnect)
{
    DWORD cookie = 1;
    EXPECT_EQ(m_point->Advise(m_control.Get(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
}

TEST_F(StateEvents, EnumerationListsTheConnectedSinks)
{
    auto first = CStateSink::Create();
    auto second = CStateSink::Create();
    const DWORD firstCookie = Advise(first);
    const DWORD secondCookie = Advise(second);
    CComPtr<IEnumConnections> connections;
    ASSERT_EQ(m_point->EnumConnections(connections.Out()), S_OK);
    CONNECTDATA data[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(data[0].dwCookie, firstCookie);
    EXPECT_EQ(data[1].dwCookie, secondCookie);
    for (ULONG i = 0; i < fetched; ++i)
        data[i].pUnk->Release();
    // A clone starts where its original stands; Reset goes back to the start.
    CComPtr<IEnumConnections> clone;
    ASSERT_EQ(connections->Reset(), S_OK);
    ASSERT_EQ(connections->Skip(1), S_OK);
    ASSERT_EQ(connections->Clone(clone.Out()), S_OK);
    ASSERT_EQ(clone->Next(1, data, nullptr), S_OK);
    EXPECT_EQ(data[0].dwCookie, secondCookie);
    data[0].pUnk->Release();
    EXPECT_EQ(clone->Skip(1), S_FALSE);
}

TEST_F(StateEvents, ContainerHasOnePointForTheEventInterface)
{
    CComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(m_point->GetConnectionPointContainer(container.Out()), S_OK);
    CComPtr<IUnknown> fromPoint, fromServer;
    ASSERT_EQ(container.QueryInterface(fromPoint), S_OK);
    ASSERT_EQ(m_server.QueryInterface(fromServer), S_OK);
    EXPECT_EQ(fromPoint.Get(), fromServer.Get());
    IID iid = IID_NULL;
    ASSERT_EQ(m_point->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(InlineIsEqualGUID(iid, DIID__IVexilFNEvents));

    CComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.Out()), S_OK);
    IConnectionPoint* found[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(2, found, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(found[0], m_point.Get());
    found[0]->Release();
    CComPtr<IConnectionPoint> other;
    EXPECT_EQ(container->FindConnectionPoint(IID_IVexilFN, other.Out()), CONNECT_E_NOCONNECTION);
}

} // namespace
