// End to end against a real GDB server: QEMU's mps2-an385 (a Cortex-M3 with
// ARM's CMSDK peripherals), halted at reset, described by ARM's own SVD file.
// QEMU's GDB server ignores debugger writes to peripheral registers (it
// writes RAM and ROM only), so writes go to SRAM.
#include "tests/sim/SimTestSupport.h"

#include "VexilGdb.h"

#include <fstream>

namespace {

constexpr LONG kSram = 0x20000000;

using QemuServer = CRegisterServerTest<IVexilGdbControl, CLSID_VexilGdb>;

TEST_F(QemuServer, ReadsTheCpuIdAndWritesSram)
{
    // ARM's description, connected to the QEMU that the test fixture started.
    ASSERT_EQ(m_control->LoadDescription(CBStr(L"" VEXIL_CMSDK_SVD_W).Get()), S_OK) << Narrow(TakeDescription());
    int port = 0;
    std::ifstream(VEXIL_QEMU_STATE) >> port;
    ASSERT_EQ(m_control->Connect(CBStr(L"127.0.0.1:" + std::to_wstring(port)).Get()), S_OK)
        << Narrow(TakeDescription());
    EXPECT_THAT(Read(1, static_cast<LONG>(0xE000ED00u), 32), testing::ElementsAre(0x410FC231)); // CPUID
    // Words of a wide register go out and come back in the target's byte order.
    const std::vector<LONG> words = {1, 2, 3, static_cast<LONG>(0x80000000u)};
    Write(1, kSram, 128, words);
    EXPECT_EQ(Read(1, kSram, 128), words);
}

} // namespace
