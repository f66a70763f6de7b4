// End to end against a real GDB server: QEMU's mps2-an385 (a Cortex-M3 with
// ARM's CMSDK peripherals), halted at reset, described by ARM's own SVD file.
// QEMU's GDB server ignores debugger writes to peripheral registers (it
// writes RAM and ROM only), so writes go to SRAM.
#include "tests/sim/SimTestSupport.h"

#include "frame/com/BStr.h"

#include "VexilGdb.h"

#include <fstream>

namespace {

constexpr LONG kCpuId = static_cast<LONG>(0xE000ED00u);
constexpr LONG kSram = 0x20000000;

TEST(QemuServer, ReadsTheCpuIdAndPeripheralsAndWritesSram)
{
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    {
        // The server with ARM's description, connected to the QEMU that the test fixture started.
        CComPtr<IVexilGdbControl> control;
        ASSERT_EQ(CoCreateInstance(CLSID_VexilGdb, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilGdbControl,
                                   control.OutVoid()),
                  S_OK);
        ASSERT_EQ(control->LoadDescription(CBStr(L"" VEXIL_CMSDK_SVD_W).Get()), S_OK) << Narrow(TakeErrorDescription());
        int port = 0;
        std::ifstream(VEXIL_QEMU_STATE) >> port;
        ASSERT_EQ(control->Connect(CBStr(L"127.0.0.1:" + std::to_wstring(port)).Get()), S_OK)
            << Narrow(TakeErrorDescription());
        CComPtr<IVexilFN> server;
        ASSERT_EQ(control.QueryInterface(server), S_OK);
        LONG state = 0;
        ASSERT_EQ(server->GetServerState(&state), S_OK);
        EXPECT_EQ(state, 1);
        const auto read = [&](LONG device, LONG address, LONG length) {
            CVariant value;
            EXPECT_EQ(server->ReadRegister(device, address, length, value.Out(), MakeFullMask(length).Get(), 0), S_OK)
                << Narrow(TakeErrorDescription());
            return GetI4Elements(value.Get());
        };
        EXPECT_THAT(read(1, kCpuId, 32), testing::ElementsAre(0x410FC231));
        EXPECT_THAT(read(1, 0x40000000, 32), testing::ElementsAre(0)); // TIMER0 CTRL
        EXPECT_THAT(read(4, 0x40004008, 32), testing::ElementsAre(0)); // UART0 CTRL
        for (const std::vector<LONG>& words : {std::vector<LONG>{0x12345678}, std::vector<LONG>{0x01020304, 0x0A0B0C0D},
                                               std::vector<LONG>{1, 2, 3, static_cast<LONG>(0x80000000u)}})
        {
            const LONG length = 32 * static_cast<LONG>(words.size());
            ASSERT_EQ(server->WriteRegister(1, kSram + length, length, MakeVariantArray(words).Get(),
                                            MakeFullMask(length).Get(), 0),
                      S_OK)
                << Narrow(TakeErrorDescription());
            EXPECT_EQ(read(1, kSram + length, length), words) << length;
        }
        CVariant value;
        EXPECT_EQ(server->ReadRegister(1, static_cast<LONG>(0xFFFFFFF0u), 32, value.Out(), MakeFullMask(32).Get(), 0),
                  static_cast<HRESULT>(0x85000007u));
        EXPECT_THAT(Narrow(TakeErrorDescription()), testing::HasSubstr("TIMER0 at 0xFFFFFFF0: the server answers E"));
        EXPECT_THAT(read(1, kCpuId, 32), testing::ElementsAre(0x410FC231)); // still connected
    }
    CoUninitialize();
}

} // namespace
