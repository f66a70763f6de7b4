// The server's state, taken at start-up and followed through the event of the
// server handed over last, decides with the row selection and a running read,
// write or repeat which controls are enabled.
#include "tests/control/ControlTestSupport.h"

namespace {

const std::vector<int> IDLE = {IDC_REGISTER_LIST, IDC_LIST_GROUP, IDC_CONFIGURE, IDC_OPTIONS, IDC_CLOSE,
                               IDC_HELP_BUTTON};
const std::vector<int> RUNNING = {IDC_ABORT, IDC_CLOSE, IDC_HELP_BUTTON};
const std::vector<int> READY_WITH_ROWS = {IDC_READ, IDC_WRITE, IDC_USE_REPEAT, IDC_REGISTER_LIST, IDC_LIST_GROUP,
                                          IDC_CONFIGURE, IDC_OPTIONS, IDC_CLOSE, IDC_HELP_BUTTON};

// Runs in the operation's own message dispatch.
std::function<void()> onTick;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { onTick(); }

class ServerStateTest : public ControlTest
{
protected:
    void ChangeState(long state, IVexilSimControl* simulator = nullptr)
    {
        ASSERT_EQ((simulator ? simulator : m_simulator.Get())->SetServerState(state), S_OK);
        m_container->PumpMessages();
    }
    // Notes the controls enabled in the middle of what a click on `id`
    // starts: once the server has been called, before the next call.
    void NoteEnabledDuring(int id)
    {
        const long calls = Calls(VexilSimCallsAll);
        m_during.emplace_back();
        onTick = [this, calls] {
            if (m_during.back().empty() && Calls(VexilSimCallsAll) > calls)
                m_during.back() = EnabledControls();
        };
        m_simulator->SetCallDelay(10);
        const UINT_PTR timer = SetTimer(nullptr, 0, 1, &Tick);
        Click(id);
        m_container->PumpMessagesFor(100);
        KillTimer(nullptr, timer);
        m_simulator->SetCallDelay(0);
    }
    std::vector<std::vector<int>> m_during;
};

TEST_F(ServerStateTest, TheStateTheRowsAndTheOperationDecideWhatIsEnabled)
{
    // Interval 3 s: after its first pass the repeat waits for its timer.
    StartWith("Interval=30\r\n", {"CTRL", "MODE"});
    CComPtr<IVexilFN> other;
    ASSERT_EQ(CoCreateInstance(CLSID_VexilSim, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, other.OutVoid()), S_OK);
    CComPtr<IVexilSimControl> otherSimulator;
    ASSERT_EQ(other.QueryInterface(otherSimulator), S_OK);
    CComPtr<IVexilFNClient> client;
    ASSERT_EQ(m_control.QueryInterface(client), S_OK);
    const std::tuple<const char*, std::function<void()>, std::vector<int>> steps[] = {
        {"rows selected", [&] { SelectRows({0, 1}); }, READY_WITH_ROWS},
        {"no row selected", [&] { SelectRows({}); },
         {IDC_USE_REPEAT, IDC_REGISTER_LIST, IDC_LIST_GROUP, IDC_CONFIGURE, IDC_OPTIONS, IDC_CLOSE, IDC_HELP_BUTTON}},
        {"server not ready", [&] { ChangeState(0); }, IDLE},
        {"rows selected, server not ready", [&] { SelectRows({0}); }, IDLE},
        {"server ready again", [&] { ChangeState(1); }, READY_WITH_ROWS},
        {"a read", [&] { NoteEnabledDuring(IDC_READ); }, READY_WITH_ROWS},
        {"a write", [&] { NoteEnabledDuring(IDC_WRITE); }, READY_WITH_ROWS},
        {"Use Repeat checked", [&] { Click(IDC_USE_REPEAT); }, READY_WITH_ROWS},
        {"a repeat", [&] { NoteEnabledDuring(IDC_READ); }, RUNNING},
        {"server not ready during the repeat", [&] { ChangeState(0); }, IDLE},
        {"server ready after the repeat", [&] { ChangeState(1); }, READY_WITH_ROWS},
        // Only the events of the server handed over last are heard.
        {"another server", [&] { client->SetServer(other.Get()); }, READY_WITH_ROWS},
        {"the old server not ready", [&] { ChangeState(0); }, READY_WITH_ROWS},
        {"the new server not ready", [&] { ChangeState(0, otherSimulator.Get()); }, IDLE},
    };
    for (const auto& [name, act, enabled] : steps)
    {
        act();
        EXPECT_EQ(EnabledControls(), enabled) << name;
    }
    EXPECT_EQ(m_during, (std::vector<std::vector<int>>{RUNNING, RUNNING, RUNNING}));
    EXPECT_EQ(Calls(), 2); // the repeat ran one pass
    EXPECT_TRUE(m_errors->GetShown().empty());
}

} // namespace
