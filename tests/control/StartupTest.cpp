// Start-up as the host drives it (embed, server, Go), the reports of what
// failed on the way, and what is saved when the control goes away.
#include "tests/control/ControlTestSupport.h"

namespace {

using StartupTest = ControlTest;

// Here with LF line ends; the other forms refused are the file reader's own business.
// A broken file of user registers is reported before and the start goes on.
TEST_F(StartupTest, ARefusedFileOrAFailingServerCallIsReportedAndTheStartGoesOn)
{
    const std::string refused = "Manual editing of this file is prohibited\n\n1|CTRL\n";
    m_directory.WriteFile("Vexil2.ini", REMEMBER);
    m_directory.WriteFile("Vexil2List.txt", SELECTION_HEADER + "1|10|20|{not a guid at all, not at all}|X\r\n");
    m_directory.WriteFile("Vexil2Selections.txt", refused);
    Start();
    ASSERT_EQ(m_errors->GetShown().size(), 2u);
    EXPECT_EQ(m_errors->GetShown()[0].Message,
              "Invalid register list file\n" + m_directory.GetFile("Vexil2List.txt") + ", line 3");
    EXPECT_EQ(Message(), "Invalid register list file\nThe refused file was kept as " +
                             m_directory.GetFile("Vexil2Selections.txt.refused") + ".");
    Stop();
    EXPECT_EQ(m_directory.ReadFile("Vexil2Selections.txt.refused"), refused);
    EXPECT_EQ(m_directory.ReadFile("Vexil2Selections.txt"), SELECTION_HEADER);
    m_directory.Remove("Vexil2List.txt");

    // A failing server call of the start-up is reported, and the loading goes
    // on with what the other calls gave.
    struct CCase
    {
        long call; // 1 state, 2 device list, 3 and on the registers of each device
        HRESULT code;
        std::size_t reports; // the selection then names devices that are not there
        const char* message;
        Strings rows;
    };
    const CCase cases[] = {
        {2, static_cast<HRESULT>(0x80042007), 2, "QSN error 'timeout' while accessing register", {}},
        {4, static_cast<HRESULT>(0x80041234), 1, "Unknown error.", {"Controller", "Power manager"}},
    };
    for (const CCase& test : cases)
    {
        SCOPED_TRACE(test.message);
        m_directory.WriteFile("Vexil2.ini", REMEMBER + "Columns=8\r\n"); // Device | Register
        m_directory.WriteFile("Vexil2Selections.txt", SELECTION_HEADER + "1|CTRL\r\n2|CTRL\r\n3|PMIC_CFG\r\n");
        m_errors.reset();
        m_errors = std::make_unique<CErrorDisplayStandIn>();
        Start(ServerKind::Simulator, [&](IVexilSimControl& simulator) {
            simulator.FailCall(test.call, test.code, CBStr(L"bus timeout").Get());
        });
        ASSERT_EQ(m_errors->GetShown().size(), test.reports);
        const CShownError& shown = m_errors->GetShown()[0];
        EXPECT_EQ(shown.Message, test.message);
        EXPECT_EQ(shown.Code, test.code);
        EXPECT_EQ(shown.Reason, "Reason:\nbus timeout");
        EXPECT_EQ(Column(0), test.rows);
        EXPECT_EQ(Status(), "Ready");
        EXPECT_TRUE(IsEnabled(IDC_USE_REPEAT)); // the state was read before the failure
        Stop();
    }
}

} // namespace
