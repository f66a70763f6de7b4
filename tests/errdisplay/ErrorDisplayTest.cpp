// The error display component as the control and the dialogs use it: created
// by its class identifier from the registration, asked to show a message or a
// question, answering the button pressed.
#include "frame/com/BStr.h"
#include "frame/com/ComPtr.h"
#include "tests/support/MessageBoxCatcher.h"

#include "ErrorDisplay.h"

#include <gtest/gtest.h>

namespace {

class ErrorDisplay : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_ErrorDisplay, nullptr, CLSCTX_ALL, IID_IErrorDisplay, m_display.OutVoid()),
                  S_OK);
    }
    void TearDown() override
    {
        m_display.Reset();
        CoUninitialize();
    }

    long Show(const wchar_t* message, long code, const wchar_t* reason, long style)
    {
        CBStr text(message), caption(L"Error"), why(reason);
        long button = 0;
        EXPECT_EQ(m_display->ShowMessage(text.Get(), caption.Get(), code, why.Get(), style, 1, &button), S_OK);
        return button;
    }

    CComPtr<IErrorDisplay> m_display;
};

TEST_F(ErrorDisplay, ShowsMessageReasonAndCode)
{
    CMessageBoxCatcher catcher(IDOK);
    EXPECT_EQ(Show(L"Invalid index", static_cast<long>(0x85000015), L"Reason:\nno such device", MB_OK), IDOK);
    ASSERT_EQ(catcher.GetBoxes().size(), 1u);
    const auto& box = catcher.GetBoxes()[0];
    EXPECT_EQ(box.Caption, L"Error");
    EXPECT_EQ(box.Text, L"Invalid index\n\nReason:\nno such device\n\nCode: 0x85000015");
}

TEST_F(ErrorDisplay, AQuestionOffersTheButtonsOfItsStyleAndAnswersThePressedOne)
{
    CMessageBoxCatcher catcher(IDNO);
    EXPECT_EQ(Show(L"Delete?", 0, L"", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
    ASSERT_EQ(catcher.GetBoxes().size(), 1u);
    EXPECT_EQ(catcher.GetBoxes()[0].Buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(catcher.GetBoxes()[0].Text, L"Delete?"); // no code and no blank reason shown
}

} // namespace
