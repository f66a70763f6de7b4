#include "data/Texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// The table's first and last rows, rows that share a string, and codes next to the table's ranges.
TEST(CodeTable, EachCodeGivesItsStringIdAndTextAndOthersAreUnknownErrors)
{
    const struct
    {
        std::uint32_t code;
        int id;
        const char* text;
    } rows[] = {
        {0x80004003, 103, "Invalid pointer"}, {0x8500000D, 103, "Invalid pointer"},
        {0x8004201D, 135, "QSN error 'not sent' while accessing register"},
        {0x85000507, 148, "Ready"}, {0x85000512, 156, "Invalid combo box operation occured."},
        {0x00000000, 104, "Unknown error."}, {0x80042001, 104, "Unknown error."}, {0x85000018, 104, "Unknown error."},
        {0x85000513, 104, "Unknown error."}, {0xFFFFFFFF, 104, "Unknown error."},
    };
    for (const auto& row : rows)
    {
        const auto code = static_cast<HRESULT>(row.code);
        EXPECT_EQ(Texts::GetCodeStringId(code), row.id) << std::hex << row.code;
        EXPECT_EQ(Texts::GetCodeText(code), row.text) << std::hex << row.code;
    }
}

} // namespace
