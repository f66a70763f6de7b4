// The GDB register access server through COM against our fake GDB server:
// connection and state, reads and writes as memory requests, descriptions and
// their details, and the faults of a server or the line, each named in an
// error object.
#include "FakeGdbServer.h"

#include "tests/sim/SimTestSupport.h"

#include "VexilGdb.h"

#include <memory>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

constexpr LONG kReg32 = 0x20000000;
constexpr LONG kReg8 = 0x20000010;

const char kTargetDescription[] = "device 1 TARGET\n"
                                  "register REG32 0x20000000 32 RW\n"
                                  "register REG8 0x20000010 8 RW\n"
                                  "register RO 0x20000020 32 R\n";

// The server with a recorder of its state events.
class CGdbServerTest : public CRegisterServerTest<IVexilGdbControl, CLSID_VexilGdb>
{
protected:
    void SetUp() override
    {
        CRegisterServerTest::SetUp();
        ASSERT_TRUE(m_control);
        const CComPtr<IConnectionPoint> point = FindEventPoint();
        ASSERT_TRUE(point);
        DWORD cookie = 0;
        ASSERT_EQ(point->Advise(static_cast<IDispatch*>(m_recorder.Get()), &cookie), S_OK);
        ASSERT_EQ(m_control->SetTimeout(300), S_OK);
    }

    // Starts a fake GDB server, loads the description and connects.
    void ConnectToFake(bool offerNoAckMode = true, const char* file = "target.txt",
                       const char* description = kTargetDescription)
    {
        m_fake = std::make_unique<CFakeGdbServer>(offerNoAckMode);
        ASSERT_EQ(LoadDescription(file, description), S_OK) << Narrow(TakeDescription());
        ASSERT_EQ(Connect(), S_OK) << Narrow(TakeDescription());
    }
    HRESULT Connect()
    {
        return m_control->Connect(CBStr(L"127.0.0.1:" + std::to_wstring(m_fake->GetPort())).Get());
    }

    std::unique_ptr<CFakeGdbServer> m_fake;
    CComPtr<CStateSink> m_recorder = CStateSink::Create();
};

TEST_F(CGdbServerTest, ServesItsDescriptionInEitherByteOrderRefusesWithoutReachingTheTargetAndReportsEachStateChange)
{
    ASSERT_EQ(LoadDescription("target.txt", kTargetDescription), S_OK);
    // A bad description is refused and the previous one stays.
    const struct
    {
        const char* file;
        const char* text;
        const char* message; // after the file's path
    } badDescriptions[] = {
        {"wide.svd",
         "<device><name>X</name><size>32</size><peripherals>\n<peripheral><name>P</name><baseAddress>0</baseAddress>"
         "<registers>\n<register><name>R</name><addressOffset>0</addressOffset><size>256</size></register>"
         "</registers></peripheral></peripherals></device>",
         ", line 3, <register>: the register R is 256 bits wide; 1 to 128 are served"},
        {"broken.svd", "<device>\n<name>X</nam></device>", ", line 2: "},
        {"bad.txt", "device 1 X\nregister R 0x0 129 RW\n", ", line 2: "},
    };
    for (const auto& row : badDescriptions)
    {
        EXPECT_EQ(LoadDescription(row.file, row.text), E_INVALIDARG) << row.file;
        EXPECT_THAT(Narrow(TakeDescription()), testing::StartsWith(m_directory.GetFile(row.file) + row.message));
        LONG devices = 0, registers = 0;
        ASSERT_EQ(m_control->GetDescriptionSize(&devices, &registers), S_OK);
        EXPECT_EQ(devices, 1) << row.file;
        EXPECT_EQ(registers, 3) << row.file;
    }
    EXPECT_EQ(GetState(), 0);
    CVariant value;
    EXPECT_EQ(TryRead(1, kReg32, 32, value), kNoConnection);
    EXPECT_EQ(Narrow(TakeDescription()), "TARGET.REG32 at 0x20000000: no connection to a GDB server");
    m_fake = std::make_unique<CFakeGdbServer>();
    ASSERT_EQ(Connect(), S_OK) << Narrow(TakeDescription());
    m_fake->SetMemory(kReg32, {0x31, 0xC2, 0x0F, 0x41});
    m_fake->SetMemory(kReg8, {0xA5});
    EXPECT_THAT(Read(1, kReg32, 32), ElementsAre(0x410FC231));
    EXPECT_THAT(Read(1, kReg8, 8), ElementsAre(0xA5));
    EXPECT_THAT(Read(1, 0xE000ED00, 64), ElementsAre(0, 0)); // an address of the user's own
    Write(1, kReg32, 32, {0x12345678});
    // A masked write reads first.
    Write(1, kReg32, 32, {0x00000000}, MakeI4Array({0x0000FF00}));
    EXPECT_THAT(m_fake->GetMemoryRequests(),
                ElementsAre("m20000000,4", "m20000010,1", "me000ed00,8", "X20000000,4:\x78\x56\x34\x12", "m20000000,4",
                            std::string("X20000000,4:\x78\0\x34\x12", 16)));
    // Refused accesses never reach the target.
    const struct
    {
        const char* name;
        LONG device, address, length;
        HRESULT code;
        const char* message;
        bool write = false;
    } refusals[] = {
        {"unknown device", 7, kReg32, 32, kDeviceNotSupported, "device 7 at 0x20000000: the device is not described"},
        {"length not the register's", 1, kReg32, 16, kInvalidAccessLength, "has 32 bits, not 16"},
        {"length above 128", 1, 0x100, 129, kInvalidAccessLength, "129 bits is not 1 to 128"},
        {"write of a read-only register", 1, 0x20000020, 32, kIllegalAccessType,
         "TARGET.RO at 0x20000020: the register cannot be written", true},
    };
    for (const auto& row : refusals)
    {
        const HRESULT hr = row.write ? TryWrite(row.device, row.address, row.length, {1})
                                     : TryRead(row.device, row.address, row.length, value);
        EXPECT_EQ(hr, row.code) << row.name;
        EXPECT_THAT(Narrow(TakeDescription()), HasSubstr(row.message)) << row.name;
    }
    EXPECT_EQ(m_fake->GetMemoryRequests().size(), 6u);
    CComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(m_server.QueryInterface(support), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IVexilFN), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IVexilGdbControl), S_OK);

    ASSERT_EQ(m_control->SetByteOrder(VexilGdbBigEndian), S_OK);
    m_fake->SetMemory(kReg32, {0x41, 0x0F, 0xC2, 0x31});
    EXPECT_THAT(Read(1, kReg32, 32), ElementsAre(0x410FC231));
    Write(1, kReg32, 32, {0x01020304});
    EXPECT_THAT(m_fake->GetMemory(kReg32, 4), ElementsAre(1, 2, 3, 4));

    ASSERT_EQ(m_control->Disconnect(), S_OK);
    EXPECT_EQ(GetState(), 0);
    EXPECT_THAT(m_recorder->states, ElementsAre(1, 0));
}

// An SVD with field arrays, enumerated values in every notation the format
// has, read actions, a derived peripheral and alternate registers.
const char kBoard[] =
    "<device><name>X</name><size>32</size><peripherals>"
    "<peripheral><name>UART</name><baseAddress>0x40000000</baseAddress><registers>"
    "<register><name>STATE</name><addressOffset>0x4</addressOffset><readAction>modify</readAction><fields>"
    "<field><name>TXFULL</name><bitOffset>0</bitOffset><bitWidth>1</bitWidth><access>read-only</access>"
    "<description>transmit buffer full</description></field>"
    "<field><name>MODE</name><bitRange>[3:1]</bitRange><enumeratedValues>"
    "<enumeratedValue><name>IDLE</name><value>0</value></enumeratedValue>"
    "<enumeratedValue><name>HIGH</name><value>#1x0</value><description>set</description></enumeratedValue>"
    "<enumeratedValue><name>OTHER</name><isDefault>true</isDefault></enumeratedValue>"
    "</enumeratedValues></field>"
    "<field><name>OVERRUN</name><lsb>8</lsb><msb>8</msb><readAction>clear</readAction></field>"
    "<field><name>CNT%s</name><dim>2</dim><dimIncrement>8</dimIncrement><bitOffset>16</bitOffset>"
    "<bitWidth>8</bitWidth></field>"
    "</fields></register>"
    "<register><name>INTSTATUS</name><addressOffset>0xC</addressOffset><access>read-only</access></register>"
    "<register><name>INTCLEAR</name><alternateRegister>INTSTATUS</alternateRegister>"
    "<addressOffset>0xC</addressOffset><access>write-only</access></register>"
    "</registers></peripheral>"
    "<peripheral derivedFrom=\"UART\"><name>UART2</name><baseAddress>0x40001000</baseAddress></peripheral>"
    "</peripherals></device>";

TEST_F(CGdbServerTest, AnSvdGivesDetailsAlsoInADerivedPeripheralAndAlternateRegistersEachTakeTheirAccess)
{
    ConnectToFake(true, "board.svd", kBoard);
    CComPtr<IVexilFNDetails> details;
    ASSERT_EQ(m_server->QueryInterface(IID_IVexilFNDetails, details.OutVoid()), S_OK);
    // The derived peripheral's copy holds what the original has.
    EXPECT_THAT(GetFields(details.Get(), 2, L"STATE"),
                ElementsAre(L"TXFULL|0|1|read-only|transmit buffer full", L"MODE|1|3||", L"OVERRUN|8|1||",
                            L"CNT0|16|8||", L"CNT1|24|8||"));
    // Enumerated values in every notation become value and mask.
    EXPECT_THAT(GetFieldValues(details.Get(), 1, L"STATE", 1),
                ElementsAre(L"0x0|0x7|IDLE|", L"0x4|0x5|HIGH|set", L"0x0|0x0|OTHER|"));
    // Read actions of registers and fields are read effects.
    EXPECT_THAT(GetReadEffects(details.Get(), 2),
                ElementsAre(L"STATE|a read modifies the register; a read clears OVERRUN"));

    // Any address may be read: user registers everywhere.
    LONG userFlag = 0;
    GetRegisters(m_server.Get(), 1, &userFlag);
    EXPECT_EQ(userFlag, 1);

    // INTSTATUS reads and INTCLEAR writes the one address; the requests show both went out.
    Read(1, 0x4000000C, 32);
    Write(1, 0x4000000C, 32, {1});
    EXPECT_THAT(m_fake->GetMemoryRequests(), ElementsAre("m4000000c,4", std::string("X4000000c,4:\x01\0\0\0", 16)));
}

struct CFaultRow
{
    const char* name;
    bool acknowledgements;
    FakeFault fault;
    HRESULT code;         // S_OK: the read succeeds
    const char* message;  // part of the error object's description
    LONG stateAfter;
};

void PrintTo(const CFaultRow& row, std::ostream* out) { *out << row.name; }

const CFaultRow kFaults[] = {
    {"NakAndResend", true, FakeFault::Nak, S_OK, "", 1},
    {"BadChecksumAndResend", true, FakeFault::BadChecksum, S_OK, "", 1},
    {"BadChecksumWithoutAcknowledgements", false, FakeFault::BadChecksum, static_cast<HRESULT>(0x80042006u),
     "TARGET.REG32 at 0x20000000: a reply with a bad checksum", 1},
    {"ErrorReply", false, FakeFault::ErrorReply, static_cast<HRESULT>(0x85000007u),
     "TARGET.REG32 at 0x20000000: the server answers E01", 1},
    {"SilenceUntilTheTimeout", false, FakeFault::Silence, static_cast<HRESULT>(0x80042007u),
     "TARGET.REG32 at 0x20000000: no reply within 300 ms", 1},
    {"ConnectionClosedInTheMiddleOfAReply", false, FakeFault::CloseMidReply, kNoConnection,
     "TARGET.REG32 at 0x20000000: the server closed the connection", 0},
    {"LateReplyIsDroppedBeforeTheNextRequest", false, FakeFault::LateReply, static_cast<HRESULT>(0x80042007u),
     "no reply within 300 ms", 1},
    {"ReplyThatIsNotData", false, FakeFault::NotHex, static_cast<HRESULT>(0x80042006u), "not hexadecimal", 1},
};

class GdbServerFault : public CGdbServerTest, public testing::WithParamInterface<CFaultRow>
{
};

TEST_P(GdbServerFault, FailsThatAccessWithANamedErrorAndKeepsTheServerUsable)
{
    const CFaultRow& row = GetParam();
    ConnectToFake(!row.acknowledgements);
    m_fake->SetMemory(kReg32, {4, 3, 2, 1});
    m_fake->ArmFault(row.fault);
    CVariant value;
    EXPECT_EQ(TryRead(1, kReg32, 32, value), row.code);
    EXPECT_THAT(Narrow(TakeDescription()), HasSubstr(row.message));
    EXPECT_EQ(value.GetType() == VT_EMPTY ? std::vector<LONG>() : GetI4Elements(value.Get()),
              SUCCEEDED(row.code) ? std::vector<LONG>{0x01020304} : std::vector<LONG>());
    EXPECT_EQ(GetState(), row.stateAfter);
    ASSERT_TRUE(row.fault != FakeFault::LateReply || m_fake->WaitForLateReply()) << "the held-back reply never came";
    m_fake->SetMemory(kReg32, {8, 7, 6, 5});
    EXPECT_EQ(m_recorder->states, (row.stateAfter == 1 ? std::vector<LONG>{1} : std::vector<LONG>{1, 0}));
    if (row.stateAfter == 0)
    {
        EXPECT_EQ(TryRead(1, kReg32, 32, value), kNoConnection);
        // The host reconnects and the server is back.
        ASSERT_EQ(Connect(), S_OK) << Narrow(TakeDescription());
    }
    EXPECT_THAT(Read(1, kReg32, 32), ElementsAre(0x05060708));
}

INSTANTIATE_TEST_SUITE_P(Faults, GdbServerFault, testing::ValuesIn(kFaults),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
