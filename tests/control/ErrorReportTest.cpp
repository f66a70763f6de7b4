// The error report: the message for the code, the reason from the server's
// error information, and the message box when no error display is there.
#include "tests/control/ControlTestSupport.h"

#include "tests/support/MessageBoxCatcher.h"

namespace {

void FailDeviceList(IVexilSimControl& simulator, long code, const wchar_t* text)
{
    BSTR description = SysAllocString(text);
    simulator.FailCall(2, code, description);
    SysFreeString(description);
}

TEST_F(ControlTest, ACodeOutsideTheTableIsAnUnknownError)
{
    Start(true, [](IVexilSimControl& simulator) { FailDeviceList(simulator, static_cast<long>(0x80041234), L"odd"); });
    ASSERT_EQ(m_errors->GetShown().size(), 1u);
    EXPECT_EQ(m_errors->GetShown()[0].Message, "Unknown error.");
    EXPECT_EQ(m_errors->GetShown()[0].Code, static_cast<HRESULT>(0x80041234));
}

TEST_F(ControlTest, WithoutAnErrorDisplayAMessageBoxShowsTheMessageAndTheCode)
{
    m_errors.reset(); // one stand-in at a time answers for the class
    m_errors = std::make_unique<CErrorDisplayStandIn>(false);
    CMessageBoxCatcher boxes(IDOK);
    Start(true, [](IVexilSimControl& simulator) { FailDeviceList(simulator, static_cast<long>(E_FAIL), L"broken"); });
    ASSERT_EQ(boxes.GetBoxes().size(), 1u);
    const auto& box = boxes.GetBoxes()[0];
    EXPECT_EQ(box.Caption, L"Error");
    // The reason is not part of the box.
    EXPECT_EQ(box.Text, L"Failed to perform action\r\nHRESULT 0x80004005 (-2147467259)");
    EXPECT_EQ(box.Buttons, std::vector<int>{IDOK});
}

} // namespace
