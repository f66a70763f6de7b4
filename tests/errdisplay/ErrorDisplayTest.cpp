// The error display component as the control and the dialogs use it: created
// by its class identifier from the registration, asked to show a message or a
// question, answering the button pressed.
#include "frame/com/BStr.h"
#include "frame/com/ComPtr.h"
#include "tests/dialogs/DialogDriver.h"

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

    // Shows the message in a box captioned "Error", records its text and the
    // buttons it offers, and presses `answer`; the button the display reports.
    long Show(const wchar_t* message, long code, const wchar_t* reason, long style, int answer)
    {
        CBStr text(message), caption(L"Error"), why(reason);
        long button = 0;
        DialogDriver::Drive(
            L"Error",
            [&](HWND box) {
                m_buttons.clear();
                m_text = DialogDriver::Text(GetDlgItem(box, 0xFFFF)); // the box's static text
                for (int id = IDOK; id <= IDNO; ++id)
                    if (const HWND child = GetDlgItem(box, id); child && IsWindowVisible(child))
                        m_buttons.push_back(id);
                DialogDriver::Click(box, answer);
            },
            [&] {
                EXPECT_EQ(m_display->ShowMessage(text.Get(), caption.Get(), code, why.Get(), style, 1, &button), S_OK);
                return 0;
            });
        return button;
    }

    CComPtr<IErrorDisplay> m_display;
    std::string m_text;
    std::vector<int> m_buttons;
};

// A message shows its reason and code; a question offers the buttons of its
// style, answers the pressed one, and shows no code and no blank reason.
TEST_F(ErrorDisplay, ShowsMessageReasonAndCodeAndAnswersThePressedButton)
{
    EXPECT_EQ(Show(L"Invalid index", static_cast<long>(0x85000015), L"Reason:\nno such device", MB_OK, IDOK), IDOK);
    EXPECT_EQ(m_text, "Invalid index\n\nReason:\nno such device\n\nCode: 0x85000015");
    EXPECT_EQ(Show(L"Delete?", 0, L"", MB_YESNO | MB_ICONEXCLAMATION, IDNO), IDNO);
    EXPECT_EQ(m_buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(m_text, "Delete?");
}

} // namespace
