// Registers of the built-in set that act like peripherals: a free-running
// counter, a read-to-clear status that events set again, write-1-to-clear
// flags and a read-only identification register.
#include "tests/sim/SimTestSupport.h"

#include <windows.h>

namespace {

using testing::ElementsAre;

constexpr LONG kController = 1;

class HardwareRegisters : public CSimulatorTest
{
};

TEST_F(HardwareRegisters, CounterRunsBetweenReads)
{
    const CRegisterEntry ticks = FindRegister(kController, L"TICKS");
    const LONG first = Read(kController, ticks.address, 32).at(0);
    Sleep(20);
    const LONG second = Read(kController, ticks.address, 32).at(0);
    // Microseconds: at least the sleep, well below a second.
    EXPECT_GE(static_cast<ULONG>(second - first), 15000u);
    EXPECT_LT(static_cast<ULONG>(second - first), 1000000u);
}

TEST_F(HardwareRegisters, WrittenCounterStartsFromTheWrittenValue)
{
    const CRegisterEntry ticks = FindRegister(kController, L"TICKS");
    Write(kController, ticks.address, 32, {0x70000000}, MakeFullMask(32));
    const LONG value = Read(kController, ticks.address, 32).at(0);
    EXPECT_GE(value, 0x70000000);
    EXPECT_LT(value, 0x70000000 + 1000000);
}

TEST_F(HardwareRegisters, SixtyFourBitCounterCarriesIntoTheHighWord)
{
    const CRegisterEntry counter = FindRegister(kController, L"COUNTER");
    ASSERT_EQ(counter.length, 64);
    ASSERT_EQ(m_control->PokeRegister(kController, counter.address, MakeI4Array({-1, 6}).Get()), S_OK);
    Sleep(2);
    const std::vector<LONG> value = Read(kController, counter.address, 64);
    EXPECT_EQ(value.at(1), 7);
}

TEST_F(HardwareRegisters, ReadToClearStatusClearsTheBitsItReturns)
{
    ASSERT_EQ(LoadDescriptionText("device 1 Board\n"
                                  "register STATUS 0x10 32 R reset=0xF0F behaviour=read-to-clear\n"),
              S_OK);
    EXPECT_THAT(Read(kController, 0x10, 32, MakeI4Array({0x00F})), ElementsAre(0x00F));
    EXPECT_THAT(Read(kController, 0x10, 32), ElementsAre(0xF00));
    EXPECT_THAT(Read(kController, 0x10, 32), ElementsAre(0));
}

TEST_F(HardwareRegisters, ReadToClearStatusIsSetAgainByEvents)
{
    const CRegisterEntry status = FindRegister(kController, L"STATUS");
    Read(kController, status.address, 32);
    ASSERT_EQ(m_control->PokeRegister(kController, status.address, MakeI4Array({0}).Get()), S_OK);
    Sleep(700); // the built-in status sets one more bit every 250 ms
    const LONG value = Read(kController, status.address, 32).at(0);
    EXPECT_EQ(value & 0x3, 0x3);
}

TEST_F(HardwareRegisters, WriteOneClearsFlagsAndZeroLeavesThem)
{
    const CRegisterEntry flags = FindRegister(kController, L"IRQ_FLAGS");
    EXPECT_THAT(Read(kController, flags.address, 16), ElementsAre(0x00A5));
    Write(kController, flags.address, 16, {0x0005}, MakeFullMask(16));
    EXPECT_THAT(Read(kController, flags.address, 16), ElementsAre(0x00A0));
    Write(kController, flags.address, 16, {0}, MakeFullMask(16));
    EXPECT_THAT(Read(kController, flags.address, 16), ElementsAre(0x00A0));
    // Only ones under the mask clear.
    Write(kController, flags.address, 16, {0xFFFF}, MakeI4Array({0x0080}));
    EXPECT_THAT(Read(kController, flags.address, 16), ElementsAre(0x0020));
}

TEST_F(HardwareRegisters, IdentificationRegisterRefusesWritesWithNoAccess)
{
    const CRegisterEntry id = FindRegister(kController, L"ID");
    ASSERT_TRUE(id.operations & 0x2) << "the control must try the write for the server to refuse it";
    EXPECT_EQ(TryWrite(kController, id.address, 32, {0}, MakeFullMask(32)), kNoAccess);
    EXPECT_NE(TakeErrorDescription().find(L"register ID"), std::wstring::npos);
    EXPECT_THAT(Read(kController, id.address, 32), ElementsAre(0x56580201));
}

} // namespace
