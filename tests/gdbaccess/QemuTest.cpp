// End to end against a real GDB server: QEMU's mps2-an385 (a Cortex-M3 with
// ARM's CMSDK peripherals), halted at reset, described by ARM's own SVD file.
// QEMU's GDB server ignores debugger writes to peripheral registers (it
// writes RAM and ROM only), so writes go to SRAM.
#include "tests/sim/SimTestSupport.h"

#include "VexilGdb.h"

#include <fstream>

namespace {

constexpr LONG kSram = 0x20000000;

class QemuServer : public CRegisterServerTest<IVexilGdbControl>
{
protected:
    QemuServer() : CRegisterServerTest(CLSID_VexilGdb) {}
};

TEST_F(QemuServer, ReadsTheCpuIdAndPeripheralsAndWritesSram)
{
    // ARM's description, connected to the QEMU that the test fixture started.
    ASSERT_EQ(m_control->LoadDescription(CBStr(L"" VEXIL_CMSDK_SVD_W).Get()), S_OK) << Narrow(TakeErrorDescription());
    int port = 0;
    std::ifstream(VEXIL_QEMU_STATE) >> port;
    ASSERT_EQ(m_control->Connect(CBStr(L"127.0.0.1:" + std::to_wstring(port)).Get()), S_OK)
        << Narrow(TakeErrorDescription());
    EXPECT_EQ(GetState(), 1);
    EXPECT_THAT(Read(1, static_cast<LONG>(0xE000ED00u), 32), testing::ElementsAre(0x410FC231)); // CPUID
    EXPECT_THAT(Read(1, 0x40000000, 32), testing::ElementsAre(0)); // TIMER0 CTRL
    EXPECT_THAT(Read(4, 0x40004008, 32), testing::ElementsAre(0)); // UART0 CTRL
    for (const std::vector<LONG>& words : {std::vector<LONG>{0x12345678}, std::vector<LONG>{0x01020304, 0x0A0B0C0D},
                                           std::vector<LONG>{1, 2, 3, static_cast<LONG>(0x80000000u)}})
    {
        const LONG length = 32 * static_cast<LONG>(words.size());
        Write(1, kSram + length, length, words);
        EXPECT_EQ(Read(1, kSram + length, length), words) << length;
    }
}

} // namespace
