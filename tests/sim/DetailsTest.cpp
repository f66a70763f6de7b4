// The details interface: a register's bit fields, their enumerated values
// as value and mask, and which registers a read changes.
#include "tests/sim/SimTestSupport.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

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
                          "register EVT 0x20 8 R behaviour=read-to-clear\n"
                          "register DATA 0x24 32 RW\n";

using DetailsTest = CSimulatorTest;

TEST_F(DetailsTest, ADescriptionFilesFieldsValuesAndReadEffectsComeInTheirOrderAndUnknownOnesAreRefused)
{
    ASSERT_EQ(LoadDescriptionText(BOARD), S_OK) << Narrow(TakeErrorDescription());
    CComPtr<IVexilFNDetails> details;
    ASSERT_EQ(m_server->QueryInterface(IID_IVexilFNDetails, details.OutVoid()), S_OK);
    EXPECT_THAT(GetFields(details.Get(), 7, L"CTRL"),
                ElementsAre(L"ENABLE|0|1||runs when set", L"MODE|4|2|read-write|", L"FLAGS|24|8||"));
    EXPECT_THAT(GetFields(details.Get(), 7, L"KEY"), ElementsAre(L"WIDE|28|72||"));
    EXPECT_TRUE(GetFields(details.Get(), 7, L"DATA").empty());
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
        {7, L"CTRL", -1, "has no field -1"},
    };
    for (const auto& row : rows)
    {
        CVariant a, b, c, d;
        EXPECT_EQ(details->GetFieldValues(row.device, CBStr(row.registerName).Get(), row.field, a.Out(), b.Out(),
                                            c.Out(), d.Out()),
                  E_INVALIDARG)
            << row.problem;
        EXPECT_THAT(Narrow(TakeErrorDescription()), HasSubstr(row.problem));
        EXPECT_EQ(a.Get().vt, VT_EMPTY) << row.problem;
    }
}

} // namespace
