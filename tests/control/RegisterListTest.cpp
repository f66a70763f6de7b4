// The list of selected registers: its columns by the options, its rows by the
// selection and the configuration in force; the repeat text; and both after
// the Options dialog.
#include "tests/control/ControlTestSupport.h"
#include "tests/dialogs/DialogDriver.h"

namespace {

// In another order than the devices and their registers, which the rows follow.
const std::string SELECTION = SELECTION_HEADER + "3|PMIC_CFG\r\n1|MODE\r\n2|CTRL\r\n1|CTRL\r\n";
const std::string ZEROS = std::string(32, '0');
const std::string ONES = std::string(32, '1');
const Strings DEFAULT_TITLES = {"Device", "Register", "Hex", "Bin", "Mask (bin)", "Length", "Operations"};

using RegisterListTest = ControlTest;

TEST_F(RegisterListTest, TheColumnsFollowTheOptionsAndTheRowsTheDevices)
{
    struct CCase
    {
        std::string settings;
        Strings titles;
        int count;
        std::vector<Strings> rows; // the first rows
    };
    const CCase cases[] = {
        {REMEMBER + "Columns=0\r\n", {"Register"}, 4, {{"CTRL"}, {"MODE"}, {"CTRL"}, {"PMIC_CFG"}}},
        {REMEMBER, DEFAULT_TITLES, 4, {{"Controller", "CTRL", "0", ZEROS, ONES, "32", "RW"}}},
        {REMEMBER + "Columns=127\r\nSeparateColumns=yes\r\n",
         {"Device", "Register", "Read Dec", "Read Hex", "Read Bin", "Write Dec", "Write Hex", "Write Bin", "Mask (bin)",
          "Length", "Operations"},
         4,
         {{"Controller", "CTRL", "0", "0", ZEROS, "0", "0", ZEROS, ONES, "32", "RW"}}},
        // The configuration in force decides which devices are listed.
        {REMEMBER + "Columns=8\r\nConfiguration=Radio\r\n[Radio]\r\nDevices=2,3,\r\n",
         {"Device", "Register"},
         2,
         {{"Transceiver", "CTRL"}, {"Power manager", "PMIC_CFG"}}},
        {REMEMBER + "Configuration=Gone\r\n", DEFAULT_TITLES, 0, {}},
        // Without remembering the selection is not loaded.
        {"", DEFAULT_TITLES, 0, {}},
    };
    for (const CCase& test : cases)
    {
        SCOPED_TRACE(test.settings);
        m_directory.WriteFile("Vexil2.ini", test.settings);
        m_directory.WriteFile("Vexil2Selections.txt", SELECTION);
        Start();
        EXPECT_EQ(ColumnTitles(), test.titles);
        EXPECT_EQ(RowCount(), test.count);
        for (std::size_t row = 0; row < test.rows.size(); ++row)
            EXPECT_EQ(Row(static_cast<int>(row)), test.rows[row]);
        EXPECT_EQ(Status(), "Ready");
        Stop();
    }
    EXPECT_TRUE(m_errors->GetShown().empty());
}

// Without a server the remembered rows cannot be listed and only the list,
// Configure, Options, Close and Help are usable. The user then turns off
// Device and Mask and sets the interval to 1 s in the Options dialog.
TEST_F(RegisterListTest, WithoutAServerTheListIsEmptyAndTheColumnsAndRepeatTextFollowTheOptions)
{
    m_directory.WriteFile("Vexil2.ini", REMEMBER + "Repeat=yes\r\nInterval=9\r\n");
    m_directory.WriteFile("Vexil2Selections.txt", SELECTION);
    Start(ServerKind::None);
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(EnabledControls(), (std::vector<int>{IDC_REGISTER_LIST, IDC_LIST_GROUP, IDC_CONFIGURE, IDC_OPTIONS,
                                                   IDC_CLOSE, IDC_HELP_BUTTON}));
    EXPECT_EQ(Status(1), "Repeat interval: 900 ms");
    EXPECT_EQ(IsDlgButtonChecked(Window(), IDC_USE_REPEAT), BST_CHECKED);
    DialogDriver::Drive(
        L"Options",
        [](HWND dialog) {
            DialogDriver::Click(dialog, IDC_OPT_DEVICE);
            DialogDriver::Click(dialog, IDC_OPT_MASK);
            DialogDriver::Retype(GetDlgItem(dialog, IDC_OPT_INTERVAL), "10");
            DialogDriver::Click(dialog, IDOK);
        },
        [this] {
            Click(IDC_OPTIONS);
            return 0;
        });
    EXPECT_EQ(ColumnTitles(), (Strings{"Register", "Hex", "Bin", "Length", "Operations"}));
    EXPECT_EQ(Status(1), "Repeat interval: 1.00 s");
    EXPECT_NE(m_directory.ReadFile("Vexil2.ini").find("Columns=102\r\n"), std::string::npos);
    Click(IDC_USE_REPEAT);
    EXPECT_EQ(Status(1), "Repeat off");
    Stop();
    EXPECT_NE(m_directory.ReadFile("Vexil2.ini").find("Repeat=no"), std::string::npos);
    EXPECT_TRUE(m_errors->GetShown().empty());
}

} // namespace
