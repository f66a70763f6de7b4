// End to end against a real GDB server: QEMU's mps2-an385 (a Cortex-M3 with
// ARM's CMSDK peripherals), halted at reset, described by ARM's own SVD file.
// QEMU's GDB server ignores debugger writes to peripheral registers (it
// writes RAM and ROM only), so writes go to SRAM.
#include "tests/control/RowsTestSupport.h"
#include "tests/sim/SimTestSupport.h"

#include "frame/com/BStr.h"

#include "VexilGdb.h"

#include <fstream>
#include <map>

namespace {

const std::string HEADER = "Manual editing of this file is prohibited\r\n\r\n";
constexpr LONG kCpuId = static_cast<LONG>(0xE000ED00u);
constexpr LONG kSram = 0x20000000;

// "127.0.0.1:PORT" of the QEMU that the test fixture started.
std::string GetQemuAddress()
{
    std::ifstream state(VEXIL_QEMU_STATE);
    int port = 0;
    state >> port;
    return "127.0.0.1:" + std::to_string(port);
}

// The server with ARM's description, connected to QEMU.
CComPtr<IVexilFN> ConnectToQemu()
{
    CComPtr<IVexilFN> server;
    EXPECT_EQ(CoCreateInstance(CLSID_VexilGdb, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, server.OutVoid()), S_OK);
    if (!server)
        return server;
    CComPtr<IVexilGdbControl> control;
    EXPECT_EQ(server.QueryInterface(control), S_OK);
    EXPECT_EQ(control->LoadDescription(CBStr(L"" VEXIL_CMSDK_SVD_W).Get()), S_OK) << Narrow(TakeErrorDescription());
    const std::string address = GetQemuAddress();
    EXPECT_EQ(control->Connect(CBStr(std::wstring(address.begin(), address.end())).Get()), S_OK)
        << Narrow(TakeErrorDescription());
    return server;
}

class QemuServer : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        m_server = ConnectToQemu();
        ASSERT_TRUE(m_server);
    }
    void TearDown() override
    {
        m_server.Reset();
        CoUninitialize();
    }
    std::vector<LONG> Read(LONG device, LONG address, LONG length)
    {
        CVariant value;
        EXPECT_EQ(m_server->ReadRegister(device, address, length, value.Out(), MakeFullMask(length).Get(), 0), S_OK)
            << Narrow(TakeErrorDescription());
        return GetI4Elements(value.Get());
    }

    CComPtr<IVexilFN> m_server;
};

TEST_F(QemuServer, ReadsTheCpuIdAndThePeripheralsAtReset)
{
    LONG state = 0;
    ASSERT_EQ(m_server->GetServerState(&state), S_OK);
    EXPECT_EQ(state, 1);
    EXPECT_THAT(Read(1, kCpuId, 32), testing::ElementsAre(0x410FC231));
    EXPECT_THAT(Read(1, 0x40000000, 32), testing::ElementsAre(0)); // TIMER0 CTRL
    EXPECT_THAT(Read(4, 0x40004008, 32), testing::ElementsAre(0)); // UART0 CTRL
}

TEST_F(QemuServer, WritesSramAndReadsItBack)
{
    const struct
    {
        LONG address;
        LONG length;
        std::vector<LONG> value;
    } rows[] = {{kSram, 32, {0x12345678}}, {kSram + 4, 8, {0xA5}}, {kSram + 8, 64, {0x01020304, 0x0A0B0C0D}},
                {kSram + 16, 128, {1, 2, 3, static_cast<LONG>(0x80000000u)}}};
    for (const auto& row : rows)
    {
        std::vector<CVariant> elements;
        for (LONG word : row.value)
            elements.emplace_back(word);
        const CVariant value(CSafeArray::MakeVariant(elements));
        ASSERT_EQ(m_server->WriteRegister(1, row.address, row.length, value.Get(), MakeFullMask(row.length).Get(), 0),
                  S_OK)
            << Narrow(TakeErrorDescription());
        EXPECT_EQ(Read(1, row.address, row.length), row.value) << row.length;
    }
}

TEST_F(QemuServer, UnmappedAddressFailsWithTheServersReply)
{
    CVariant value;
    EXPECT_EQ(m_server->ReadRegister(1, static_cast<LONG>(0xFFFFFFF0u), 32, value.Out(), MakeFullMask(32).Get(), 0),
              static_cast<HRESULT>(0x85000007u));
    const std::string message = Narrow(TakeErrorDescription());
    EXPECT_NE(message.find("TIMER0 at 0xFFFFFFF0: the server answers E"), std::string::npos) << message;
    EXPECT_THAT(Read(1, kCpuId, 32), testing::ElementsAre(0x410FC231)); // still connected
}

// Through the control as a user works it: the registers selected in the
// list, Read clicked, values read back from the cells.
class QemuControl : public RowsTest
{
};

TEST_F(QemuControl, ReadAndWriteThroughTheList)
{
    CComPtr<IVexilFN> server = ConnectToQemu();
    ASSERT_TRUE(server);
    WriteFile("Vexil2.ini", "[Options]\r\nRememberConfiguration=yes\r\nColumns=2\r\n"); // Register | Hex
    WriteFile("Vexil2List.txt", HEADER + "1|E000ED00|20|{6C1A0D52-3C43-4F7B-9E3A-7A64D3D5C001}|CPUID\r\n"
                                         "1|20000000|20|{6C1A0D52-3C43-4F7B-9E3A-7A64D3D5C002}|SRAM\r\n");
    WriteFile("Vexil2Selections.txt", HEADER + "1|CPUID\r\n1|CTRL\r\n1|RELOAD\r\n4|STATE\r\n4|BAUDDIV\r\n1|SRAM\r\n");
    StartWithServer(server.Get());
    ASSERT_EQ(m_container->DoVerb(OLEIVERB_UIACTIVATE), S_OK);
    m_container->PumpMessages();
    ASSERT_EQ(RowCount(), 6);

    SelectRows({0, 1, 2, 3, 4, 5});
    Click(IDC_READ);
    EXPECT_EQ(Message(), "");
    // Rows come in the order of devices and registers: the named registers, then the user's.
    std::map<std::string, int> rows;
    for (int row = 0; row < RowCount(); ++row)
        rows[Cell(row, 0)] = row;
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(Cell(rows["CPUID"], 1), "410FC231");
    for (const char* name : {"CTRL", "RELOAD", "STATE", "BAUDDIV"})
        EXPECT_EQ(Cell(rows[name], 1), "0") << name;

    // A value typed into SRAM's cell and written, then read back.
    const int sram = rows["SRAM"];
    SelectRows({sram});
    ClickCell(sram, 1);
    Type("cafef00d");
    PressKey(VK_RETURN);
    Click(IDC_WRITE);
    EXPECT_EQ(Message(), "");
    Click(IDC_READ);
    EXPECT_EQ(Cell(sram, 1), "CAFEF00D");
    CVariant value;
    ASSERT_EQ(server->ReadRegister(1, kSram, 32, value.Out(), MakeFullMask(32).Get(), 0), S_OK);
    EXPECT_THAT(GetI4Elements(value.Get()), testing::ElementsAre(static_cast<LONG>(0xCAFEF00Du)));
}

} // namespace
