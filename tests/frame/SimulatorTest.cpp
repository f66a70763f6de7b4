// The frame's server client against the register access server simulator,
// created by its ProgID as a host would: the simulator's state changes reach
// the control until the control is handed another server.
#include "tests/frame/FrameTestSupport.h"
#include "tests/frame/TestControl.h"

#include "VexilSim.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FrameWithSimulator : public testing::Test
{
protected:
    void SetUp() override
    {
        CLSID id{};
        ASSERT_EQ(CLSIDFromProgID(L"Vexil.Simulator", &id), S_OK);
        ASSERT_EQ(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, m_server.OutVoid()), S_OK);
        ASSERT_EQ(m_server.QueryInterface(m_simulator), S_OK);
        ASSERT_EQ(m_control->QueryInterface(IID_IVexilFNClient, m_client.OutVoid()), S_OK);
    }

    CComPtr<CTestControl> m_control = CTestControl::Create();
    CComPtr<IVexilFNClient> m_client;
    CComPtr<IVexilFN> m_server;
    CComPtr<IVexilSimControl> m_simulator;
};

TEST_F(FrameWithSimulator, StateChangesOfTheServerReachTheControl)
{
    ASSERT_EQ(m_client->SetServer(m_server.Get()), S_OK);

    ASSERT_EQ(m_simulator->SetServerState(1), S_OK);
    ASSERT_EQ(m_simulator->SetServerState(0), S_OK);

    EXPECT_EQ(m_control->m_serverStates, (std::vector<long>{1, 0}));
}

TEST_F(FrameWithSimulator, ControlHandedNoServerHearsNoMore)
{
    ASSERT_EQ(m_client->SetServer(m_server.Get()), S_OK);
    ASSERT_EQ(m_client->SetServer(nullptr), S_OK);

    ASSERT_EQ(m_simulator->SetServerState(1), S_OK);

    EXPECT_TRUE(m_control->m_serverStates.empty());
}

} // namespace
