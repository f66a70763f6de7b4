// The state event through the connection point: every sink is reached,
// sinks may come and go during an event, and the point answers as one.
#include "tests/sim/SimTestSupport.h"

#include <olectl.h>

namespace {

using testing::ElementsAre;

using StateEvents = CSimulatorTest;

TEST_F(StateEvents, ReachEveryAdvisedSinkAlsoWhenSinksLeaveOrReleaseTheServerDuringTheEvent)
{
    CComPtr<IConnectionPoint> point;
    {
        CComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(m_server.QueryInterface(container), S_OK);
        ASSERT_EQ(container->FindConnectionPoint(DIID__IVexilFNEvents, point.Out()), S_OK);
    }
    const CComPtr<CStateSink> sinks[] = {CStateSink::Create(), CStateSink::Create()};
    DWORD cookies[2] = {};
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(point->Advise(static_cast<IDispatch*>(sinks[i].Get()), &cookies[i]), S_OK);
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    ASSERT_EQ(point->Unadvise(cookies[0]), S_OK);
    EXPECT_EQ(point->Unadvise(cookies[0]), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(m_control->SetServerState(5), S_OK);
    EXPECT_EQ(GetState(), 5);
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(sinks[0].Get()), &cookies[0]), S_OK);

    // The first sink takes both sinks away and drops the last references to the
    // simulator: the second still hears that event, and the call still returns.
    IVexilSimControl* control = m_control.Get();
    CComPtr<IVexilFN> server = std::move(m_server);
    CComPtr<IVexilSimControl> controlOwner = std::move(m_control);
    sinks[0]->onEvent = [&] {
        EXPECT_EQ(point->Unadvise(cookies[0]), S_OK);
        point->Unadvise(cookies[1]);
        point.Reset();
        controlOwner.Reset();
        server.Reset();
    };
    EXPECT_EQ(control->SetServerState(1), S_OK);
    EXPECT_THAT(sinks[0]->states, ElementsAre(0, 1));
    EXPECT_THAT(sinks[1]->states, ElementsAre(0, 5, 1));
}

} // namespace
