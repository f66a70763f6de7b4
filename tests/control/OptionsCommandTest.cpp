// The Options button of the control: the dialog over the control, and after
// OK the options saved and the list's columns and repeat text rebuilt.
#include "tests/control/ControlTestSupport.h"
#include "tests/dialogs/DialogDriver.h"

#include "data/Options.h"
#include "resources/resource.h"

#include <filesystem>

namespace {

using Strings = std::vector<std::string>;
const std::string SETTINGS = "[Options]\r\nRepeat=yes\r\nInterval=25\r\n";

class OptionsCommandTest : public ControlTest
{
protected:
    // The user turns off Device and Mask and sets the interval to 5 s.
    void ChangeOptions()
    {
        DialogDriver::Drive(
            L"Options",
            [this](HWND dialog) {
                EXPECT_EQ(Status(0), "Changing options");
                DialogDriver::Click(dialog, IDC_OPT_DEVICE);
                DialogDriver::Click(dialog, IDC_OPT_MASK);
                DialogDriver::Retype(GetDlgItem(dialog, IDC_OPT_INTERVAL), "50");
                DialogDriver::Click(dialog, IDOK);
            },
            [this] {
                Click(IDC_OPTIONS);
                return 0;
            });
    }
    void ExpectWindowFollowsTheNewOptions()
    {
        EXPECT_EQ(ColumnTitles(), (Strings{"Register", "Hex", "Bin", "Length", "Operations"}));
        EXPECT_EQ(Status(1), "Repeat interval: 5.00 s");
        EXPECT_NE(Status(0), "Changing options");
    }
};

TEST_F(OptionsCommandTest, OkSavesAndRebuildsTheColumnsAndRepeatText)
{
    WriteFile("Vexil2.ini", SETTINGS);
    Start(false);
    ChangeOptions();
    ExpectWindowFollowsTheNewOptions();
    EXPECT_TRUE(m_errors->GetShown().empty());
    COptions saved;
    ASSERT_EQ(saved.Load("Vexil2.ini"), S_OK);
    EXPECT_EQ(saved.GetColumns(), 102);
    EXPECT_EQ(saved.GetInterval(), 50);
}

TEST_F(OptionsCommandTest, AFailedSaveIsShownAndTheWindowStillFollowsTheOptionsInForce)
{
    std::filesystem::create_directory(m_directory.GetFile("Vexil2.ini")); // cannot be written
    Start();
    Click(IDC_USE_REPEAT);
    ChangeOptions();
    ExpectWindowFollowsTheNewOptions();
    ASSERT_EQ(m_errors->GetShown().size(), 1u);
    EXPECT_EQ(m_errors->GetShown()[0].Message, "Failed to save options to the ini file.");
}

} // namespace
