// Start-up as the host drives it (embed, server, Go) and what is saved when
// the control goes away.
#include "tests/control/ControlTestSupport.h"

#include "resources/resource.h"

namespace {

const std::string HEADER = "Manual editing of this file is prohibited\r\n\r\n";
const std::string REMEMBER = "[Options]\r\nRememberConfiguration=yes\r\n";

using Strings = std::vector<std::string>;

TEST_F(ControlTest, WithoutAServerOnlyTheListConfigureOptionsCloseAndHelpAreUsable)
{
    Start(false);
    EXPECT_EQ(Status(), "Ready");
    EXPECT_EQ(RowCount(), 0);
    for (const int id : {IDC_READ, IDC_WRITE, IDC_USE_REPEAT, IDC_ABORT})
        EXPECT_FALSE(IsEnabled(id)) << id;
    for (const int id : {IDC_REGISTER_LIST, IDC_CONFIGURE, IDC_OPTIONS, IDC_CLOSE, IDC_HELP_BUTTON})
        EXPECT_TRUE(IsEnabled(id)) << id;
    EXPECT_TRUE(m_errors->GetShown().empty());
}

TEST_F(ControlTest, RememberedSelectionIsListedWithTheDefaultColumns)
{
    WriteFile("Vexil2.ini", REMEMBER);
    WriteFile("Vexil2Selections.txt", HEADER + "1|CTRL\r\n3|PMIC_CFG\r\n1|MODE\r\n");
    Start();
    EXPECT_EQ(ColumnTitles(), (Strings{"Device", "Register", "Hex", "Bin", "Mask (bin)", "Length", "Operations"}));
    ASSERT_EQ(RowCount(), 3);
    // Rows follow the devices and their registers, not the file.
    EXPECT_EQ(Row(0), (Strings{"Controller", "CTRL", "0", std::string(32, '0'), std::string(32, '1'), "32", "RW"}));
    EXPECT_EQ(Row(1), (Strings{"Controller", "MODE", "0", "00000000", "11111111", "8", "RWC"}));
    EXPECT_EQ(Row(2)[1], "PMIC_CFG");
    EXPECT_EQ(Row(2)[5], "128");
    EXPECT_EQ(Row(2)[6], "RWSC");
    EXPECT_EQ(Status(), "Ready");
    EXPECT_TRUE(m_errors->GetShown().empty());
}

TEST_F(ControlTest, WithoutRememberingTheListStaysEmptyAndTheSelectionIsStillWrittenAtTheEnd)
{
    WriteFile("Vexil2Selections.txt", HEADER + "1|CTRL\r\n");
    Start();
    EXPECT_EQ(RowCount(), 0);
    Stop();
    // Nothing was selected this time, and the file says so.
    EXPECT_EQ(m_directory.ReadFile("Vexil2Selections.txt"), HEADER);
}

TEST_F(ControlTest, OptionsAndSelectionAreSavedWhenTheControlGoesAway)
{
    WriteFile("Vexil2.ini", REMEMBER + "Columns=33\r\nInterval=7\r\n");
    WriteFile("Vexil2Selections.txt", HEADER + "10|ACC\r\n");
    Start();
    Stop();
    const std::string ini = m_directory.ReadFile("Vexil2.ini");
    for (const char* line : {"Columns=33\r\n", "Interval=7\r\n", "SeparateColumns=no\r\n", "RecursiveSelect=yes\r\n",
                             "ShowSelection=no\r\n", "AutomaticWidth=no\r\n", "AutoScroll=no\r\n",
                             "RememberConfiguration=yes\r\n", "Repeat=no\r\n", "Configuration=All\r\n"})
        EXPECT_NE(ini.find(line), std::string::npos) << line;
    EXPECT_EQ(m_directory.ReadFile("Vexil2Selections.txt"), HEADER + "10|ACC\r\n");
}

TEST_F(ControlTest, ProgressTextsNestAndTheTextFromBeforeComesBack)
{
    // Each broken file is reported while its step's text shows.
    WriteFile("Vexil2.ini", REMEMBER);
    WriteFile("Vexil2List.txt", HEADER + "1|10|20|{not a guid at all, not at all}|X\r\n");
    WriteFile("Vexil2Selections.txt", "not a selection file\r\n");
    Start();
    ASSERT_EQ(m_errors->GetShown().size(), 2u);
    EXPECT_EQ(m_errors->GetShown()[0].StatusText, "Reading user added registers from file");
    EXPECT_EQ(m_errors->GetShown()[0].Message,
              "Invalid register list file\n" + m_directory.GetFile("Vexil2List.txt") + ", line 3");
    EXPECT_EQ(m_errors->GetShown()[1].StatusText, "Reading list of selected registers");
    EXPECT_EQ(Status(), "Ready");
}

TEST_F(ControlTest, ARefusedSelectionFileIsKeptAsideBeforeTheControlRewritesIt)
{
    const std::string cases[] = {
        "Manual editing of this file is prohibited\n\n1|CTRL\n",              // LF line ends
        std::string("M\0a\0n\0u\0a\0l\0", 12),                                 // UTF-16
        "Manual editing of this file is proh",                                  // cut in the header
    };
    for (const std::string& refused : cases)
    {
        WriteFile("Vexil2.ini", REMEMBER);
        WriteFile("Vexil2Selections.txt", refused);
        m_directory.Remove("Vexil2Selections.txt.refused");
        Start();
        const std::string kept = m_directory.GetFile("Vexil2Selections.txt.refused");
        ASSERT_EQ(m_errors->GetShown().size(), 1u);
        EXPECT_EQ(m_errors->GetShown()[0].Message,
                  "Invalid register list file\nThe refused file was kept as " + kept + ".");
        Stop();
        EXPECT_EQ(m_directory.ReadFile("Vexil2Selections.txt.refused"), refused);
        EXPECT_EQ(m_directory.ReadFile("Vexil2Selections.txt"), HEADER);
        m_errors.reset();
        m_errors = std::make_unique<CErrorDisplayStandIn>();
    }
}

TEST_F(ControlTest, AFailingDeviceListIsReportedAndTheLoadingGoesOn)
{
    Start(true, [](IVexilSimControl& simulator) {
        // The second call of the start-up, the device list, times out.
        BSTR description = SysAllocString(L"bus timeout");
        simulator.FailCall(2, static_cast<long>(0x80042007), description);
        SysFreeString(description);
    });
    ASSERT_EQ(m_errors->GetShown().size(), 1u);
    const CShownError& shown = m_errors->GetShown()[0];
    EXPECT_EQ(shown.Message, "QSN error 'timeout' while accessing register");
    EXPECT_EQ(shown.Caption, "Error");
    EXPECT_EQ(shown.Code, static_cast<HRESULT>(0x80042007));
    EXPECT_EQ(shown.Reason, "Reason:\nbus timeout");
    EXPECT_EQ(shown.StatusText, "Reading register list");
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Status(), "Ready");
    EXPECT_TRUE(IsEnabled(IDC_USE_REPEAT)); // the state was read before the failure
}

} // namespace
