// The list of selected registers: its columns by the options, its rows by the
// selection and the configuration in force, and the selection feedback.
#include "tests/control/ControlTestSupport.h"

#include "resources/resource.h"

#include <commctrl.h>

namespace {

const std::string HEADER = "Manual editing of this file is prohibited\r\n\r\n";
const std::string REMEMBER = "[Options]\r\nRememberConfiguration=yes\r\n";
const std::string SELECTION = HEADER + "1|CTRL\r\n1|MODE\r\n2|CTRL\r\n3|PMIC_CFG\r\n";

using Strings = std::vector<std::string>;

TEST_F(ControlTest, ColumnsZeroShowsOnlyTheRegisterColumn)
{
    WriteFile("Vexil2.ini", REMEMBER + "Columns=0\r\n");
    WriteFile("Vexil2Selections.txt", SELECTION);
    Start();
    EXPECT_EQ(ColumnTitles(), Strings{"Register"});
    ASSERT_EQ(RowCount(), 4);
    EXPECT_EQ(Row(0), Strings{"CTRL"});
}

TEST_F(ControlTest, AllColumnsWithSeparateReadAndWriteValues)
{
    WriteFile("Vexil2.ini", REMEMBER + "Columns=127\r\nSeparateColumns=yes\r\n");
    WriteFile("Vexil2Selections.txt", SELECTION);
    Start();
    EXPECT_EQ(ColumnTitles(), (Strings{"Device", "Register", "Read Dec", "Read Hex", "Read Bin", "Write Dec",
                                       "Write Hex", "Write Bin", "Mask (bin)", "Length", "Operations"}));
    EXPECT_EQ(Row(1), (Strings{"Controller", "MODE", "0", "0", "00000000", "0", "0", "00000000", "11111111", "8",
                               "RWC"}));
    // A host that asks in wide characters reads the same texts.
    for (int column = 0; column < 11; ++column)
    {
        wchar_t text[64] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(List(), LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&item));
        const std::string ansi = Cell(1, column);
        EXPECT_EQ(std::wstring(text), std::wstring(ansi.begin(), ansi.end())) << column;
    }
}

TEST_F(ControlTest, ColumnsHaveTheirWidthsAndAlignment)
{
    WriteFile("Vexil2.ini", REMEMBER + "Columns=127\r\n");
    Start();
    const int widths[] = {90, 100, 100, 100, 120, 120, 50, 65};
    const int formats[] = {LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_RIGHT,
                           LVCFMT_RIGHT, LVCFMT_RIGHT, LVCFMT_RIGHT, LVCFMT_LEFT};
    for (int index = 0; index < 8; ++index)
    {
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH | LVCF_FMT;
        ASSERT_TRUE(SendMessageA(List(), LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
        EXPECT_EQ(column.cx, widths[index]) << index;
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, formats[index]) << index;
    }
}

TEST_F(ControlTest, TheConfigurationInForceDecidesWhichDevicesAreListed)
{
    WriteFile("Vexil2.ini", REMEMBER + "Configuration=Radio\r\n[Radio]\r\nDevices=2,3,\r\n");
    WriteFile("Vexil2Selections.txt", SELECTION);
    Start();
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Cell(0, 0), "Transceiver");
    EXPECT_EQ(Cell(1, 0), "Power manager");
}

TEST_F(ControlTest, AConfigurationThatAdmitsNoDeviceGivesAnEmptyList)
{
    WriteFile("Vexil2.ini", REMEMBER + "Configuration=Gone\r\n");
    WriteFile("Vexil2Selections.txt", SELECTION);
    Start();
    EXPECT_EQ(RowCount(), 0);
}

TEST_F(ControlTest, SelectingRowsCountsThemAndEnablesReadAndWrite)
{
    WriteFile("Vexil2.ini", REMEMBER);
    WriteFile("Vexil2Selections.txt", SELECTION);
    Start();
    EXPECT_FALSE(IsEnabled(IDC_READ));
    SelectRows({0, 2});
    EXPECT_EQ(Status(), "2 item(s) selected");
    EXPECT_TRUE(IsEnabled(IDC_READ));
    EXPECT_TRUE(IsEnabled(IDC_WRITE));
    SelectRows({});
    EXPECT_EQ(Status(), "Ready");
    EXPECT_FALSE(IsEnabled(IDC_READ));
}

} // namespace
