// Faults armed through the control interface: failing calls, failing
// registers, delays, state changes after a number of calls, and the call
// counts. (The value shapes are checked by what the control makes of them.)
#include "tests/sim/SimTestSupport.h"

#include "frame/com/BStr.h"

#include <windows.h>

#include <chrono>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

constexpr LONG kTransceiver = 2;
constexpr HRESULT kTimeout = static_cast<HRESULT>(0x80042007u);

class Faults : public CSimulatorTest
{
protected:
    void SetUp() override
    {
        CSimulatorTest::SetUp();
        m_ctrl = FindRegister(kTransceiver, L"CTRL");
        m_wide = FindRegister(1, L"W128");
        ASSERT_EQ(m_control->ResetCallCount(), S_OK);
    }

    HRESULT ReadCtrl()
    {
        CVariant value;
        return TryRead(kTransceiver, m_ctrl.address, 32, value);
    }

    CRegisterEntry m_ctrl;
    CRegisterEntry m_wide;
};

TEST_F(Faults, CallNumberCountsFromArmingAndFailsOnce)
{
    ASSERT_EQ(ReadCtrl(), S_OK);
    ASSERT_EQ(m_control->FailCall(3, kTimeout, CBStr(L"bus timeout").Get()), S_OK);
    EXPECT_EQ(ReadCtrl(), S_OK);
    GetState();
    EXPECT_EQ(ReadCtrl(), kTimeout);
    const std::string description = Narrow(TakeErrorDescription());
    EXPECT_THAT(description, HasSubstr("bus timeout"));
    EXPECT_THAT(description, HasSubstr("device 2, address 0x0"));
    EXPECT_EQ(ReadCtrl(), S_OK);
    // List calls count too.
    ASSERT_EQ(m_control->FailCall(1, E_FAIL, CBStr(L"lists unavailable").Get()), S_OK);
    CVariant names, ids;
    EXPECT_EQ(m_server->GetDevices(names.Out(), ids.Out()), E_FAIL);
    EXPECT_EQ(names.GetType(), VT_EMPTY);
    EXPECT_EQ(TakeErrorDescription(), L"lists unavailable");
}

TEST_F(Faults, RegisterFailsOnEveryCallUntilCleared)
{
    ASSERT_EQ(m_control->FailRegister(kTransceiver, m_ctrl.address, kTimeout, CBStr(L"no answer").Get()), S_OK);
    EXPECT_EQ(ReadCtrl(), kTimeout);
    EXPECT_EQ(TryWrite(kTransceiver, m_ctrl.address, 32, {1}), kTimeout);
    EXPECT_EQ(ReadCtrl(), kTimeout);
    EXPECT_THAT(Narrow(TakeErrorDescription()), HasSubstr("no answer"));
    // Other registers are served.
    EXPECT_EQ(Read(1, m_wide.address, 128).size(), 4u);
    ASSERT_EQ(m_control->SetValueShape(VexilSimShapeEmpty), S_OK);
    EXPECT_EQ(m_control->SetValueShape(static_cast<VexilSimValueShape>(8)), E_INVALIDARG);
    // Clearing disarms the register and restores the normal shape.
    ASSERT_EQ(m_control->ClearFaults(), S_OK);
    EXPECT_EQ(ReadCtrl(), S_OK);
    EXPECT_EQ(Read(1, m_wide.address, 128).size(), 4u);
    // Success codes cannot be armed.
    EXPECT_EQ(m_control->FailCall(1, S_OK, nullptr), E_INVALIDARG);
    EXPECT_EQ(m_control->FailCall(0, E_FAIL, nullptr), E_INVALIDARG);
    EXPECT_EQ(m_control->FailRegister(1, 0, S_FALSE, nullptr), E_INVALIDARG);
}

TEST_F(Faults, DelayHoldsEveryCall)
{
    ASSERT_EQ(m_control->SetCallDelay(150), S_OK);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadCtrl(), S_OK);
    GetState();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(290));
    ASSERT_EQ(m_control->ClearFaults(), S_OK);
    const auto again = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadCtrl(), S_OK);
    EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(140));
    EXPECT_EQ(m_control->SetCallDelay(-1), E_INVALIDARG);
}

TEST_F(Faults, StateChangesAfterTheCountedCallIsServed)
{
    ASSERT_EQ(m_control->ChangeStateAfter(2, 0), S_OK);
    EXPECT_EQ(ReadCtrl(), S_OK);
    EXPECT_EQ(ReadCtrl(), S_OK); // the second call is served, then the state drops
    EXPECT_EQ(ReadCtrl(), kNoConnection);
    EXPECT_EQ(GetState(), 0);
}

TEST_F(Faults, CallCountsByKind)
{
    ReadCtrl();
    ReadCtrl();
    TryWrite(kTransceiver, m_ctrl.address, 32, {1});
    GetState();
    m_server->Reserved1();
    LONG all = 0, reads = 0, writes = 0;
    ASSERT_EQ(m_control->GetCallCount(VexilSimCallsAll, &all), S_OK);
    ASSERT_EQ(m_control->GetCallCount(VexilSimCallsRead, &reads), S_OK);
    ASSERT_EQ(m_control->GetCallCount(VexilSimCallsWrite, &writes), S_OK);
    EXPECT_EQ(all, 5);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(writes, 1);
    ASSERT_EQ(m_control->ResetCallCount(), S_OK);
    ASSERT_EQ(m_control->GetCallCount(VexilSimCallsAll, &all), S_OK);
    EXPECT_EQ(all, 0);
}

} // namespace
