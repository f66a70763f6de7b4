// What the simulator serves: description files, their errors, and the
// details interface (a register's bit fields, their enumerated values as value
// and mask, and which registers a read changes).
#include "tests/sim/SimTestSupport.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

using DescriptionFile = CSimulatorTest;

TEST_F(DescriptionFile, ReplacesDevicesRegistersAndMemory)
{
    ASSERT_EQ(LoadDescription("board.txt", "# a small board\n"
                                               "device 7 \"Test board\" user=1\n"
                                               "  register CFG 0x20 40 RWC reset=0xAB00000001 path=\"Top/Sub one\"\n"
                                               "  register EVT 0x24 8 1 behaviour=read-to-clear:100\n"
                                               "device -2 Other\n"
                                               "  register CFG 0x20 32 RW  # unique per device only\n"),
              S_OK);
    EXPECT_THAT(GetDevices(m_server.Get()), ElementsAre(L"7|Test board", L"-2|Other"));
    LONG userFlag = -1;
    EXPECT_THAT(GetRegisters(m_server.Get(), 7, &userFlag), ElementsAre(L"CFG|32|40|7|Top/Sub one", L"EVT|36|8|1|"));
    EXPECT_EQ(userFlag, 1);
    GetRegisters(m_server.Get(), -2, &userFlag);
    EXPECT_EQ(userFlag, 0);
    EXPECT_THAT(Read(7, 0x20, 40), ElementsAre(1, 0xAB));
    EXPECT_THAT(Read(-2, 0x20, 32), ElementsAre(0));
    CVariant value;
    EXPECT_EQ(TryRead(2, 0, 32, value), kDeviceNotSupported);
}

TEST_F(DescriptionFile, MalformedOneIsRefusedWithTheLineAndTheProblemAndTheOldOneStays)
{
    // Many registers in a device: a repeated address or name is found among the lookup's collisions.
    std::string many = "device 1 Big\n";
    for (int r = 0; r < 200; ++r)
        many += "register R" + std::to_string(r) + " " + std::to_string(4 * r) + " 32 RW\n";
    const struct
    {
        const char* name;
        std::string text;
        const char* line;
        const char* problem;
    } rows[] = {
        {"RegisterBeforeDevice", "register A 0 32 R\n", "line 1", "before the first device"},
        {"DeviceIdTwice", "device 1 A\n\ndevice 1 B\n", "line 3", "used twice"},
        {"LengthAbove128", "device 7 A\nregister A 0x0 32 RW\nregister B 0x4 129 RW\n", "line 3", "129"},
        {"UnknownOperationLetter", "device 1 A\nregister X 0 32 RX\n", "line 2", "RX"},
        {"ResetWiderThanLength", "device 1 A\nregister X 0 8 RW reset=0x100\n", "line 2", "does not fit"},
        {"OpenQuote", "device 1 \"A\nregister X 0 8 RW\n", "line 1", "quote"},
        {"MissingOperations", "device 1 A\nregister X 0 8\n", "line 2", "needs"},
        {"NameWithBar", "device 1 A\nregister X|Y 0 8 RW\n", "line 2", "X|Y"},
        {"UnknownStatement", "board 1 A\n", "line 1", "board"},
        {"FieldBeforeRegister", "device 1 A\nfield F 0\n", "line 2", "before the first register"},
        {"FieldBeyondLength", "device 1 A\nregister X 0 8 RW\nfield F 8:4\n", "line 3", "8 bits"},
        {"FieldNameTwice", "device 1 A\nregister X 0 8 RW\nfield F 0\nfield F 1\n", "line 4", "field named F"},
        {"ValueBeforeField", "device 1 A\nregister X 0 8 RW\nvalue 1 ONE\n", "line 3", "before the first field"},
        {"ValueWiderThanField", "device 1 A\nregister X 0 8 RW\nfield F 1:0\nvalue 4 FOUR\n", "line 4", "2 bits"},
        {"AddressTwice", many + "register X 0 32 RW\n", "line 202", "\"Big\" already has register R0 at address 0"},
        {"NameTwice", many + "register R100 0x10000000 32 RW\n", "line 202", "already has a register named R100"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(LoadDescription("board.txt", row.text), E_INVALIDARG);
        const std::string description = Narrow(TakeDescription());
        EXPECT_THAT(description, HasSubstr(row.line));
        EXPECT_THAT(description, HasSubstr(row.problem));
        EXPECT_EQ(GetDevices(m_server.Get()).front(), L"1|Controller");
    }
}

const char* const BOARD = "device 7 Board\n"
                          "register CTRL 0x0 32 RW\n"
                          "  field ENABLE 0 description=\"runs when set\"\n"
                          "  field MODE 5:4 access=read-write\n"
                          "    value 0 IDLE description=\"does nothing\"\n"
                          "    value 0x2 FAST\n"
                          "    value 0b1x SLOWISH\n"
                          "    value default OTHER\n"
                          "  field FLAGS 31:24 read=clear\n"
                          "register KEY 0x10 128 W\n"
                          "  field WIDE 99:28\n"
                          "    value 0x123456789 MAGIC\n"
                          "register EVT 0x20 8 R behaviour=read-to-clear\n";

using DetailsTest = CSimulatorTest;

TEST_F(DetailsTest, ADescriptionFilesFieldsValuesAndReadEffectsComeInTheirOrderAndUnknownOnesAreRefused)
{
    ASSERT_EQ(LoadDescription("board.txt", BOARD), S_OK) << Narrow(TakeDescription());
    CComPtr<IVexilFNDetails> details;
    ASSERT_EQ(m_server->QueryInterface(IID_IVexilFNDetails, details.OutVoid()), S_OK);
    EXPECT_THAT(GetFields(details.Get(), 7, L"CTRL"),
                ElementsAre(L"ENABLE|0|1||runs when set", L"MODE|4|2|read-write|", L"FLAGS|24|8||"));
    EXPECT_THAT(GetFields(details.Get(), 7, L"KEY"), ElementsAre(L"WIDE|28|72||"));
    EXPECT_TRUE(GetFields(details.Get(), 7, L"EVT").empty());
    // Enumerated values come as value and mask whatever their notation.
    EXPECT_THAT(GetFieldValues(details.Get(), 7, L"CTRL", 1),
                ElementsAre(L"0x0|0x3|IDLE|does nothing", L"0x2|0x3|FAST|", L"0x2|0x2|SLOWISH|", L"0x0|0x0|OTHER|"));
    EXPECT_THAT(GetFieldValues(details.Get(), 7, L"KEY", 0), ElementsAre(L"0x123456789|0xFFFFFFFFFFFFFFFFFF|MAGIC|"));
    EXPECT_TRUE(GetFieldValues(details.Get(), 7, L"CTRL", 0).empty());
    // The registers that a read changes, and how.
    EXPECT_THAT(GetReadEffects(details.Get(), 7),
                ElementsAre(L"CTRL|a read clears FLAGS", L"EVT|a read clears the bits it returns"));

    // An unknown register or field fails with invalid argument and says why.
    const struct
    {
        LONG device;
        const wchar_t* registerName;
        LONG field;
        const char* problem;
    } rows[] = {
        {99, L"CTRL", 0, "device 99 has no register named \"CTRL\""},
        {7, L"NOPE", 0, "no register named \"NOPE\""},
        {7, L"CTRL", 3, "has no field 3"},
    };
    for (const auto& row : rows)
    {
        CVariant a, b, c, d;
        EXPECT_EQ(details->GetFieldValues(row.device, CBStr(row.registerName).Get(), row.field, a.Out(), b.Out(),
                                            c.Out(), d.Out()),
                  E_INVALIDARG)
            << row.problem;
        EXPECT_THAT(Narrow(TakeDescription()), HasSubstr(row.problem));
    }
}

} // namespace
