#include "data/Texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct CodeRow
{
    std::uint32_t code;
    int id;
    std::string text;
};

std::string Qsn(const char* what) { return std::string("QSN error '") + what + "' while accessing register"; }
std::string Server(const char* what)
{
    return std::string("Server reported about '") + what + "' while accessing register";
}

// Every row of the code table, written out independently of the table itself.
const CodeRow rows[] = {
    {0x80004003, 103, "Invalid pointer"}, {0x80004005, 130, "Failed to perform action"},
    {0x8007000E, 109, "Memory allocation failed"}, {0x80070057, 127, "Invalid argument"},
    {0x80042000, 136, Qsn("no connection")}, {0x80042006, 134, Qsn("wrong or no response message")},
    {0x80042007, 132, Qsn("timeout")}, {0x8004200A, 131, Qsn("invalid parameter")}, {0x8004201D, 135, Qsn("not sent")},
    {0x85000000, 115, Server("invalid subblock")},
    {0x85000001, 116, "Device is not supported by the product, error while accessing register"},
    {0x85000002, 117, Server("invalid access length")}, {0x85000003, 118, Server("illegal mask")},
    {0x85000004, 119, "Server returned status 'no access' while accessing register"},
    {0x85000005, 120, "Server error while accessing register"}, {0x85000006, 121, Server("write failure")},
    {0x85000007, 122, Server("read failure")}, {0x85000008, 123, Server("illegal parameter")},
    {0x85000009, 124, Server("I/O error")}, {0x8500000A, 125, Server("illegal access type")},
    {0x8500000B, 126, Server("illegal variable index")}, {0x8500000C, 137, Server("invalid address")},
    {0x8500000D, 103, "Invalid pointer"}, {0x8500000E, 105, "Failed to save options to the ini file."},
    {0x8500000F, 106, "Register was not found from the database"},
    {0x85000010, 107, "Device was not found from the database"}, {0x85000011, 108, "Error while generating new GUID."},
    {0x85000012, 109, "Memory allocation failed"}, {0x85000013, 110, "Safearray upper bound not found"},
    {0x85000014, 111, "Safearray lower bound not found"}, {0x85000015, 112, "Invalid index"},
    {0x85000016, 113, "Insert failure"}, {0x85000017, 128, "Failed to open options ini file"},
    {0x85000500, 139, "Failed to open file for user added registers"}, {0x85000501, 140, "Invalid register list file"},
    {0x85000502, 141, "Unable to open file for reading/saving user added registers. Registers added in "
                      "Configure dialog will not be saved."},
    {0x85000503, 142, "Timer already exists"}, {0x85000504, 143, "Failed to get temporary path name."},
    {0x85000505, 144, "Failed to get temporary file name."},
    {0x85000506, 145, "Register adding/editing failed, register with this name already exists."},
    {0x85000507, 148, "Ready"}, {0x85000508, 146, "%i of the selected registers did not support read operation"},
    {0x85000509, 147, "%i of the selected registers did not support write operation"},
    {0x8500050A, 149, "%i item(s) selected"},
    {0x8500050B, 150, "Unable to open file for reading/saving register selections."},
    {0x8500050C, 152, "Failed to open file for selected registers list."},
    {0x8500050D, 151, "Invalid register selection file."}, {0x8500050E, 153, "No items found from tree."},
    {0x8500050F, 154, "Invalid iterator, call GetFirst -function before calling GetNext -function."},
    {0x85000510, 155, "Failed to remove configuration from ini file."},
    {0x85000511, 159, "Failed to save configuration to the ini file."},
    {0x85000512, 156, "Invalid combo box operation occured."},
};

TEST(CodeTable, EveryCodeHasItsStringIdAndText)
{
    for (const auto& row : rows)
    {
        const auto code = static_cast<HRESULT>(row.code);
        EXPECT_EQ(Texts::GetCodeStringId(code), row.id) << std::hex << row.code;
        EXPECT_EQ(Texts::GetCodeText(code), row.text) << std::hex << row.code;
    }
}

TEST(CodeTable, CodesOutsideTheTableAreUnknownErrors)
{
    for (const std::uint32_t code : {0x00000000u, 0x80004001u, 0x85000018u, 0x850004FFu, 0x85000513u,
                                     0x80042001u, 0xFFFFFFFFu})
    {
        EXPECT_EQ(Texts::GetCodeStringId(static_cast<HRESULT>(code)), 104);
        EXPECT_EQ(Texts::GetCodeText(static_cast<HRESULT>(code)), "Unknown error.");
    }
}

TEST(StringTable, HoldsTheTextsUsedDirectly)
{
    EXPECT_EQ(Texts::GetString(100), "vaz_vexilui2");
    EXPECT_EQ(Texts::GetString(101), "Error");
    EXPECT_EQ(Texts::GetString(102), " ");
    EXPECT_EQ(Texts::GetString(114), "Reason:");
    EXPECT_EQ(Texts::GetString(138), ".\nThe rest of the selected items were not processed.");
    EXPECT_EQ(Texts::GetString(157), "You are about to delete configuration %s, do you want to continue?");
    EXPECT_EQ(Texts::GetString(158), "Delete Configuration");
    EXPECT_EQ(Texts::GetString(160), "Warning");
    EXPECT_EQ(Texts::GetString(161),
              "Configuration %s already exists, do you want to overwrite the existing configuration?");
}

TEST(StringTable, HasEveryIdFrom100To161ExceptTheTwoGaps)
{
    for (int id = 100; id <= 161; ++id)
    {
        if (id == 129 || id == 133)
            EXPECT_EQ(Texts::GetString(id), "") << id;
        else
            EXPECT_NE(Texts::GetString(id), "") << id;
    }
}

} // namespace
