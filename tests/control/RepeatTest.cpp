// The repeat cycle: passes one period apart on timer 5, corrected for the
// time a pass takes, until Abort, Escape, an error or a server state change.
#include "tests/control/ControlTestSupport.h"

#include "control/Clock.h"
#include "data/ResultCodes.h"

namespace {

constexpr UINT_PTR REPEAT_TIMER = 5;

// A clock on which every pass takes passTicks: each reading moves it on.
DWORD passTicks = 0;
DWORD WINAPI FakeTicks()
{
    static DWORD now = 1000;
    now += passTicks;
    return now;
}

class RepeatTest : public ControlTest
{
protected:
    void TearDown() override
    {
        Clock::SetTickFunction(nullptr);
        ControlTest::TearDown();
    }
    // Every pass takes `ticks` on the clock that the cycle sees.
    void StartRepeating(int interval, DWORD ticks, const Strings& registers = {"CTRL", "MODE"})
    {
        passTicks = ticks;
        Clock::SetTickFunction(&FakeTicks);
        StartWith("Columns=2\r\nRepeat=yes\r\nInterval=" + std::to_string(interval) + "\r\n", registers);
        ListView_SetItemState(List(), -1, LVIS_SELECTED, LVIS_SELECTED);
        m_container->PumpMessages();
    }
    // Reads over a span of time, measured from now.
    long ReadsDuring(DWORD milliseconds)
    {
        const long before = Calls();
        m_container->PumpMessagesFor(milliseconds);
        return Calls() - before;
    }
    void ExpectIdleAndStopped()
    {
        EXPECT_TRUE(IsEnabled(IDC_READ));
        EXPECT_FALSE(IsEnabled(IDC_ABORT));
        EXPECT_EQ(ReadsDuring(300), 0);
    }
};

TEST_F(RepeatTest, AClickStartsTheCycleOfItsOperationAndAbortEndsIt)
{
    StartRepeating(5, 0);
    Click(IDC_READ);
    const long reads = ReadsDuring(1250);
    EXPECT_GE(reads, 2 * 2); // two rows a pass, a pass every 500 ms
    EXPECT_LE(reads, 2 * 3);
    EXPECT_EQ(Cell(1, 1), "3");
    Click(IDC_ABORT);
    ExpectIdleAndStopped();
    const long allReads = Calls();
    Click(IDC_WRITE);
    m_container->PumpMessagesFor(1100);
    Click(IDC_ABORT);
    EXPECT_GE(Calls(VexilSimCallsWrite), 2 * 2);
    EXPECT_EQ(Calls(), allReads);
}

TEST_F(RepeatTest, ThePeriodCountsFromTheStartOfTheLastPassOnTheCyclesOwnTimer)
{
    // Interval 3 s, every pass takes 2.5 s: the next starts half a second after one ends.
    StartRepeating(30, 2500, {"CTRL"});
    ASSERT_EQ(Status(1), "Repeat interval: 3.00 s");
    Click(IDC_READ);
    m_container->PumpMessagesFor(800);
    EXPECT_EQ(Calls(), 2); // at once, and 500 ms later

    // A pass longer than the period: the next one starts at once.
    Click(IDC_ABORT);
    passTicks = 3500;
    Click(IDC_READ);
    EXPECT_GE(ReadsDuring(300), 5);
    Click(IDC_ABORT);

    // 42949673 tenths: 4294967300 ms, which would wrap to 4 ms in 32 bits.
    // No pass comes of its own: only the cycle's own timer starts one, and
    // only while the cycle runs.
    Stop();
    StartRepeating(42949673, 0, {"CTRL"});
    ASSERT_EQ(Status(1), "Repeat interval: 4294967.30 s");
    SendMessageW(Window(), WM_TIMER, REPEAT_TIMER, 0);
    EXPECT_EQ(Calls(), 0);
    Click(IDC_READ);
    m_container->PumpMessagesFor(300);
    EXPECT_EQ(Calls(), 1); // the first pass only
    for (const UINT_PTR foreign : {UINT_PTR{1}, UINT_PTR{6}, UINT_PTR{REPEAT_TIMER + 0x100}})
        SendMessageW(Window(), WM_TIMER, foreign, 0);
    EXPECT_EQ(ReadsDuring(50), 0);
    SendMessageW(Window(), WM_TIMER, REPEAT_TIMER, 0);
    EXPECT_EQ(Calls(), 2);
    EXPECT_TRUE(IsEnabled(IDC_ABORT)); // and the cycle goes on
    Click(IDC_ABORT);
    SendMessageW(Window(), WM_TIMER, REPEAT_TIMER, 0);
    EXPECT_EQ(ReadsDuring(50), 0);
}

TEST_F(RepeatTest, EscapeAnErrorOrAStateChangeAlsoInsideAPassEndsTheCycle)
{
    const std::pair<const char*, std::function<void()>> endings[] = {
        {"Escape", [this] { PressKey(VK_ESCAPE); }},
        {"server not ready",
         [this] {
             m_simulator->SetServerState(0);
             m_container->PumpMessages();
             EXPECT_FALSE(IsEnabled(IDC_READ));
             EXPECT_EQ(ReadsDuring(300), 0);
             m_simulator->SetServerState(1);
             m_container->PumpMessages();
         }},
        {"error", [this] { m_simulator->FailCall(1, Vx::E_NO_ACCESS, CBStr(L"").Get()); }},
    };
    for (const auto& [name, end] : endings)
    {
        SCOPED_TRACE(name);
        StartRepeating(5, 480); // the smallest interval, the passes 20 ms apart
        Click(IDC_READ);
        ASSERT_GT(ReadsDuring(150), 0);
        end();
        m_container->PumpMessagesFor(100);
        ExpectIdleAndStopped();
        Stop();
    }
    EXPECT_EQ(m_errors->GetShown().size(), 1u);

    // A state change inside a pass stops it after the register in progress.
    StartRepeating(5, 480, {"ID", "VERSION", "CTRL", "MODE"});
    m_simulator->ChangeStateAfter(2, 1); // still ready, but the event arrives
    Click(IDC_READ);
    m_container->PumpMessagesFor(300);
    EXPECT_EQ(Calls(), 2);
    EXPECT_EQ(Cell(2, 1), "0");
    ExpectIdleAndStopped();
}

} // namespace
