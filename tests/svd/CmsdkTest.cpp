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

const CRegisterInfo* Find(const CDescription& description, const wchar_t* device, const wchar_t* name)
{
    for (const CDeviceInfo& candidate : description.devices)
        if (candidate.name == device)
            for (const CRegisterInfo& info : candidate.registers)
                if (info.name == name)
                    return &info;
    return nullptr;
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
    EXPECT_EQ(description.devices[0].name, L"TIMER0");
    EXPECT_EQ(description.devices[0].id, 1);
    EXPECT_EQ(description.devices[1].name, L"TIMER1");
    EXPECT_EQ(description.byteOrder, ByteOrder::Little);

    const struct
    {
        const wchar_t* device;
        const wchar_t* name;
        unsigned long address;
        int length;
        long operations;
    } rows[] = {
        {L"TIMER0", L"CTRL", 0x40000000, 32, 3},     {L"TIMER1", L"RELOAD", 0x40001008, 32, 3},
        {L"TIMER0", L"INTSTATUS", 0x4000000C, 32, 1}, {L"TIMER0", L"INTCLEAR", 0x4000000C, 32, 2},
        {L"UART0", L"DATA", 0x40004000, 8, 3},       {L"UART2", L"BAUDDIV", 0x40006010, 32, 3},
    };
    for (const auto& row : rows)
    {
        const CRegisterInfo* info = Find(description, row.device, row.name);
        ASSERT_NE(info, nullptr) << Narrow(row.device) << "." << Narrow(row.name);
        EXPECT_EQ(static_cast<unsigned long>(info->address) & 0xFFFFFFFFul, row.address) << Narrow(row.name);
        EXPECT_EQ(info->operations, row.operations) << Narrow(row.name);
        EXPECT_EQ(info->length, row.length) << Narrow(row.name);
    }
    const CRegisterInfo* clear = Find(description, L"TIMER0", L"INTCLEAR");
    EXPECT_EQ(clear->modifiedWriteValues, L"oneToClear");
    const CRegisterInfo* control = Find(description, L"TIMER0", L"CTRL");
    ASSERT_FALSE(control->fields.empty());
    EXPECT_EQ(control->fields[0].name, L"ENABLE");
}

} // namespace
