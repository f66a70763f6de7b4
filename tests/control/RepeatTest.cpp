// The repeat cycle: passes one period apart on timer 5, corrected for the
// time a pass takes, until Abort, Escape, an error or a server state change.
#include "tests/control/RowsTestSupport.h"

#include "control/Clock.h"
#include "data/ResultCodes.h"
#include "frame/com/BStr.h"

namespace {

constexpr UINT_PTR REPEAT_TIMER = 5;

// A clock on which every pass takes PASS_TICKS: each reading moves it on.
DWORD passTicks = 0;
DWORD WINAPI FakeTicks()
{
    static DWORD now = 1000;
    now += passTicks;
    return now;
}

class RepeatTest : public RowsTest
{
protected:
    void TearDown() override
    {
        Clock::SetTickFunction(nullptr);
        RowsTest::TearDown();
    }
    // Interval 5 (the smallest), every pass taking 480 ms on the clock the
    // cycle sees: the passes come 20 ms apart.
    void StartRepeatingQuickly(const std::vector<std::string>& registers = {"CTRL", "MODE"})
    {
        passTicks = 480;
        Clock::SetTickFunction(&FakeTicks);
        StartRepeating(5, registers);
    }
    void StartRepeating(int interval, const std::vector<std::string>& registers = {"CTRL", "MODE"})
    {
        StartWith("Columns=2\r\nRepeat=yes\r\nInterval=" + std::to_string(interval) + "\r\n", registers);
        std::vector<int> rows;
        for (int row = 0; row < RowCount(); ++row)
            rows.push_back(row);
        SelectRows(rows);
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
        EXPECT_TRUE(IsEnabled(IDC_USE_REPEAT));
        EXPECT_FALSE(IsEnabled(IDC_ABORT));
        EXPECT_EQ(ReadsDuring(300), 0);
    }
};

TEST_F(RepeatTest, AClickStartsTheCycleAndAbortEndsIt)
{
    StartRepeating(5);
    Click(IDC_READ);
    EXPECT_FALSE(IsEnabled(IDC_READ));
    EXPECT_FALSE(IsEnabled(IDC_USE_REPEAT));
    EXPECT_TRUE(IsEnabled(IDC_ABORT));
    const long reads = ReadsDuring(1250);
    EXPECT_GE(reads, 2 * 2); // two rows a pass, a pass every 500 ms
    EXPECT_LE(reads, 2 * 3);
    EXPECT_EQ(Cell(1, 1), "3");
    Click(IDC_ABORT);
    ExpectIdleAndStopped();
}

TEST_F(RepeatTest, ThePeriodCountsFromTheStartOfTheLastPass)
{
    // Interval 3 s, every pass takes 2.5 s: the next starts half a second after one ends.
    passTicks = 2500;
    Clock::SetTickFunction(&FakeTicks);
    StartRepeating(30, {"CTRL"});
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
}

TEST_F(RepeatTest, AnIntervalBeyondTheTimersRangeWaitsInsteadOfWrapping)
{
    // 42949673 tenths: 4294967300 ms, which wraps to 4 ms in 32 bits.
    passTicks = 0;
    Clock::SetTickFunction(&FakeTicks);
    StartRepeating(42949673, {"CTRL"});
    ASSERT_EQ(Status(1), "Repeat interval: 4294967.30 s");
    Click(IDC_READ);
    m_container->PumpMessagesFor(300);
    EXPECT_EQ(Calls(), 1); // the first pass only
    Click(IDC_ABORT);
}

TEST_F(RepeatTest, WriteRepeatsTheWrite)
{
    StartRepeatingQuickly();
    Click(IDC_WRITE);
    m_container->PumpMessagesFor(250);
    Click(IDC_ABORT);
    EXPECT_GE(Calls(VexilSimCallsWrite), 4);
    EXPECT_EQ(Calls(VexilSimCallsRead), 0);
}

TEST_F(RepeatTest, EscapeEndsTheCycleAndEnablesReadAgain)
{
    StartRepeatingQuickly();
    Click(IDC_READ);
    ASSERT_GT(ReadsDuring(150), 0);
    PressKey(VK_ESCAPE);
    ExpectIdleAndStopped();
}

TEST_F(RepeatTest, AServerStateChangeEndsTheCycle)
{
    StartRepeatingQuickly();
    Click(IDC_READ);
    ASSERT_GT(ReadsDuring(150), 0);
    m_simulator->SetServerState(0);
    m_container->PumpMessages();
    EXPECT_FALSE(IsEnabled(IDC_ABORT));
    EXPECT_FALSE(IsEnabled(IDC_READ));
    EXPECT_EQ(ReadsDuring(300), 0);
    m_simulator->SetServerState(1);
    m_container->PumpMessages();
    ExpectIdleAndStopped();
}

TEST_F(RepeatTest, AStateChangeInsideAPassStopsItAfterTheRegisterInProgress)
{
    StartRepeatingQuickly({"ID", "VERSION", "CTRL", "MODE"});
    m_simulator->ChangeStateAfter(2, 1); // still ready, but the event arrives
    Click(IDC_READ);
    m_container->PumpMessagesFor(300);
    EXPECT_EQ(Calls(), 2);
    EXPECT_EQ(Cell(2, 1), "0");
    ExpectIdleAndStopped();
}

TEST_F(RepeatTest, AnErrorEndsTheCycle)
{
    StartRepeatingQuickly();
    CBStr description(L"gone");
    m_simulator->FailCall(5, Vx::E_NO_ACCESS, description.Get());
    Click(IDC_READ);
    m_container->PumpMessagesFor(500);
    EXPECT_EQ(Calls(), 5);
    EXPECT_EQ(m_errors->GetShown().size(), 1u);
    ExpectIdleAndStopped();
}

TEST_F(RepeatTest, OtherTimersAndTimersWhileIdleDoNothing)
{
    StartRepeatingQuickly();
    SendMessageW(Window(), WM_TIMER, REPEAT_TIMER, 0);
    Click(IDC_READ);
    m_container->PumpMessagesFor(50);
    Click(IDC_ABORT);
    const long reads = Calls();
    SendMessageW(Window(), WM_TIMER, REPEAT_TIMER, 0);
    SendMessageW(Window(), WM_TIMER, 6, 0);
    m_container->PumpMessages();
    EXPECT_EQ(Calls(), reads);
}

} // namespace
