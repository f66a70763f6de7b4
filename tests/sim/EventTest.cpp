// The state event through the connection point: every sink is reached,
// sinks may come and go during an event, and the point answers as one.
#include "tests/sim/SimTestSupport.h"

#include <olectl.h>

namespace {

using testing::ElementsAre;

class StateEvents : public CSimulatorTest
{
protected:
    void SetUp() override
    {
        CSimulatorTest::SetUp();
        CComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(m_server.QueryInterface(container), S_OK);
        ASSERT_EQ(container->FindConnectionPoint(DIID__IVexilFNEvents, m_point.Out()), S_OK);
        for (DWORD& cookie : m_cookies)
        {
            m_sinks.push_back(CStateSink::Create());
            ASSERT_EQ(m_point->Advise(static_cast<IDispatch*>(m_sinks.back().Get()), &cookie), S_OK);
            EXPECT_NE(cookie, 0u);
        }
    }
    void TearDown() override
    {
        m_point.Reset();
        CSimulatorTest::TearDown();
    }

    CComPtr<IConnectionPoint> m_point;
    std::vector<CComPtr<CStateSink>> m_sinks; // two, advised in turn
    DWORD m_cookies[2] = {};
};

TEST_F(StateEvents, ReachEverySinkUntilItIsUnadvised)
{
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    ASSERT_EQ(m_control->SetServerState(5), S_OK);
    ASSERT_EQ(m_point->Unadvise(m_cookies[0]), S_OK);
    ASSERT_EQ(m_control->SetServerState(1), S_OK);
    EXPECT_THAT(m_sinks[0]->states, ElementsAre(0, 5));
    EXPECT_THAT(m_sinks[1]->states, ElementsAre(0, 5, 1));
    EXPECT_EQ(GetState(), 1);
    EXPECT_EQ(m_point->Unadvise(m_cookies[0]), CONNECT_E_NOCONNECTION);
}

TEST_F(StateEvents, SinksMayBeUnadvisedDuringTheEvent)
{
    // The first leaves by itself and takes the second with it: both still hear that event.
    m_sinks[0]->onEvent = [&] {
        EXPECT_EQ(m_point->Unadvise(m_cookies[0]), S_OK);
        m_point->Unadvise(m_cookies[1]);
    };
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    ASSERT_EQ(m_control->SetServerState(1), S_OK);
    EXPECT_THAT(m_sinks[0]->states, ElementsAre(0));
    EXPECT_THAT(m_sinks[1]->states, ElementsAre(0));
}

TEST_F(StateEvents, SinkMayReleaseTheLastReferenceDuringTheEvent)
{
    IVexilSimControl* control = m_control.Get();
    // From here on only the sink's closure owns the simulator.
    CComPtr<IVexilFN> owner = std::move(m_server);
    CComPtr<IVexilSimControl> controlOwner = std::move(m_control);
    m_point.Reset();
    m_sinks[0]->onEvent = [&] {
        controlOwner.Reset();
        owner.Reset();
    };
    EXPECT_EQ(control->SetServerState(0), S_OK);
    EXPECT_THAT(m_sinks[0]->states, ElementsAre(0));
}

} // namespace
