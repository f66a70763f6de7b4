// ARM's description of the CMSDK Cortex-M3 peripherals (the machine QEMU's
// mps2-an385 emulates), as vendors write them: derived peripherals, fields,
// alternate registers.
#include "SvdTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string ReadCmsdk()
{
    std::ifstream file(VEXIL_CMSDK_SVD, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TEST(CmsdkDescription, ImportsEveryPeripheralWithItsRegisters)
{
    const std::string text = ReadCmsdk();
    ASSERT_FALSE(text.empty()) << "cannot read " << VEXIL_CMSDK_SVD;
    std::variant<CDescription, CSvdError> result = ImportSvdText(text);
    const CSvdError* error = std::get_if<CSvdError>(&result);
    ASSERT_EQ(error, nullptr) << Narrow(FormatSvdError(L"CMSDK_CM3.svd", *error));
    const CDescription& description = std::get<CDescription>(result);
    ASSERT_EQ(description.devices.size(), 14u);
    EXPECT_EQ(description.devices[0].id, 1);
    EXPECT_EQ(description.byteOrder, ByteOrder::Little);
    const std::string dump = DumpRegisters(description);
    // Derived peripherals, an alternate register, an 8-bit one.
    for (const char* line : {"TIMER0.CTRL@40000000/32/RW=0\n", "TIMER1.RELOAD@40001008/32/RW=0\n",
                             "TIMER0.INTSTATUS@4000000C/32/R=0\n", "TIMER0.INTCLEAR@4000000C/32/W=0\n",
                             "UART0.DATA@40004000/8/RW=0\n", "UART2.BAUDDIV@40006010/32/RW=0\n"})
        EXPECT_NE(dump.find(line), std::string::npos) << line;
    EXPECT_EQ(dump.find("TIMER0."), 0u);
    const CRegisterInfo& clear = description.devices[0].registers.at(4);
    EXPECT_EQ(clear.name, L"INTCLEAR");
    EXPECT_EQ(clear.modifiedWriteValues, L"oneToClear");
    ASSERT_FALSE(description.devices[0].registers[0].fields.empty());
    EXPECT_EQ(description.devices[0].registers[0].fields[0].name, L"ENABLE");
}

} // namespace
