// The server's state, taken at start-up and followed through its event,
// decides with the row selection which controls are enabled.
#include "tests/control/ControlTestSupport.h"

#include "resources/resource.h"

namespace {

const std::string SELECTION =
    "Manual editing of this file is prohibited\r\n\r\n1|CTRL\r\n1|MODE\r\n";

class ServerStateTest : public ControlTest
{
protected:
    void StartWithSelectedRows()
    {
        WriteFile("Vexil2.ini", "[Options]\r\nRememberConfiguration=yes\r\n");
        WriteFile("Vexil2Selections.txt", SELECTION);
        Start();
        SelectRows({0, 1});
    }
    void ChangeState(long state)
    {
        ASSERT_EQ(m_simulator->SetServerState(state), S_OK);
        m_container->PumpMessages();
    }
};

TEST_F(ServerStateTest, AServerThatStopsTakingOperationsDisablesReadWriteAndRepeat)
{
    StartWithSelectedRows();
    ASSERT_TRUE(IsEnabled(IDC_READ));
    ChangeState(0);
    for (const int id : {IDC_READ, IDC_WRITE, IDC_USE_REPEAT, IDC_ABORT})
        EXPECT_FALSE(IsEnabled(id)) << id;
    for (const int id : {IDC_REGISTER_LIST, IDC_CONFIGURE, IDC_OPTIONS, IDC_CLOSE, IDC_HELP_BUTTON})
        EXPECT_TRUE(IsEnabled(id)) << id;
    ChangeState(1);
    EXPECT_TRUE(IsEnabled(IDC_READ));
    EXPECT_TRUE(IsEnabled(IDC_USE_REPEAT));
    EXPECT_FALSE(IsEnabled(IDC_ABORT));
}

TEST_F(ServerStateTest, AReadyServerWithoutSelectedRowsLeavesReadAndWriteDisabled)
{
    StartWithSelectedRows();
    SelectRows({});
    ChangeState(1);
    EXPECT_FALSE(IsEnabled(IDC_READ));
    EXPECT_FALSE(IsEnabled(IDC_WRITE));
    EXPECT_TRUE(IsEnabled(IDC_USE_REPEAT));
}

TEST_F(ServerStateTest, AServerNotReadyAtStartUpKeepsEverythingThatNeedsItDisabled)
{
    WriteFile("Vexil2.ini", "[Options]\r\nRememberConfiguration=yes\r\n");
    WriteFile("Vexil2Selections.txt", SELECTION);
    Start(true, [](IVexilSimControl& simulator) { simulator.SetServerState(0); });
    SelectRows({0});
    EXPECT_FALSE(IsEnabled(IDC_READ));
    EXPECT_FALSE(IsEnabled(IDC_USE_REPEAT));
    EXPECT_EQ(RowCount(), 2); // the register list is read all the same
}

TEST_F(ServerStateTest, HandingOverAnotherServerFollowsItsEventsOnly)
{
    StartWithSelectedRows();
    CComPtr<IVexilFN> other;
    ASSERT_EQ(CoCreateInstance(CLSID_VexilSim, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, other.OutVoid()), S_OK);
    CComPtr<IVexilFNClient> client;
    ASSERT_EQ(m_control.QueryInterface(client), S_OK);
    ASSERT_EQ(client->SetServer(other.Get()), S_OK);
    EXPECT_TRUE(IsEnabled(IDC_READ)); // the hand-over itself changes nothing

    ChangeState(0); // the old server is no longer heard
    EXPECT_TRUE(IsEnabled(IDC_READ));
    CComPtr<IVexilSimControl> otherSimulator;
    ASSERT_EQ(other.QueryInterface(otherSimulator), S_OK);
    ASSERT_EQ(otherSimulator->SetServerState(0), S_OK);
    m_container->PumpMessages();
    EXPECT_FALSE(IsEnabled(IDC_READ));
    ASSERT_EQ(client->SetServer(nullptr), S_OK);
}

} // namespace
