// The details interface of the GDB server: an SVD's fields (arrays too), enumerated
// values (in every notation the format has) and read actions, as the
// control asks for them.
#include "tests/gdbaccess/GdbServerTestSupport.h"

namespace {

using testing::ElementsAre;

const char* const kBoard =
    "<device><name>X</name><size>32</size><peripherals>"
    "<peripheral><name>UART</name><baseAddress>0x40000000</baseAddress><registers>"
    "<register><name>STATE</name><addressOffset>0x4</addressOffset><readAction>modify</readAction><fields>"
    "<field><name>TXFULL</name><bitOffset>0</bitOffset><bitWidth>1</bitWidth><access>read-only</access>"
    "<description>transmit buffer full</description></field>"
    "<field><name>MODE</name><bitRange>[3:1]</bitRange><enumeratedValues>"
    "<enumeratedValue><name>IDLE</name><value>0</value></enumeratedValue>"
    "<enumeratedValue><name>HIGH</name><value>#1x0</value><description>set</description></enumeratedValue>"
    "<enumeratedValue><name>LAST</name><value>0x7</value></enumeratedValue>"
    "<enumeratedValue><name>OTHER</name><isDefault>true</isDefault></enumeratedValue>"
    "</enumeratedValues></field>"
    "<field><name>OVERRUN</name><lsb>8</lsb><msb>8</msb><readAction>clear</readAction></field>"
    "<field><name>CNT%s</name><dim>2</dim><dimIncrement>8</dimIncrement><bitOffset>16</bitOffset>"
    "<bitWidth>8</bitWidth></field>"
    "</fields></register>"
    "<register><name>DATA</name><addressOffset>0x0</addressOffset></register>"
    "</registers></peripheral>"
    "<peripheral derivedFrom=\"UART\"><name>UART2</name><baseAddress>0x40001000</baseAddress></peripheral>"
    "</peripherals></device>";

TEST_F(CGdbServerTest, DetailsComeFromTheSvdAlsoInADerivedPeripheral)
{
    ASSERT_EQ(LoadDescriptionFile("board.svd", kBoard), S_OK) << Narrow(TakeErrorDescription());
    CComPtr<IVexilFNDetails> details;
    ASSERT_EQ(m_server->QueryInterface(IID_IVexilFNDetails, details.OutVoid()), S_OK);
    for (const LONG device : {1, 2})
    {
        const CFieldList fields = GetFields(details.Get(), device, L"STATE");
        EXPECT_THAT(fields.names, ElementsAre(L"TXFULL", L"MODE", L"OVERRUN", L"CNT0", L"CNT1"));
        EXPECT_THAT(fields.lowBits, ElementsAre(0, 1, 8, 16, 24));
        EXPECT_THAT(fields.widths, ElementsAre(1, 3, 1, 8, 8));
        EXPECT_THAT(fields.accesses, ElementsAre(L"read-only", L"", L"", L"", L""));
        EXPECT_THAT(fields.descriptions, ElementsAre(L"transmit buffer full", L"", L"", L"", L""));
    }
    // Enumerated values in every notation become value and mask.
    EXPECT_THAT(GetFieldValues(details.Get(), 1, L"STATE", 1),
                ElementsAre(L"0x0/0x7 IDLE", L"0x4/0x5 HIGH (set)", L"0x7/0x7 LAST", L"0x0/0x0 OTHER"));
    // Read actions of registers and fields are read effects.
    EXPECT_THAT(GetReadEffects(details.Get(), 2),
                ElementsAre(L"STATE: a read modifies the register; a read clears OVERRUN"));
}

} // namespace
