// The Options dialog as a user works it: the settings shown, typed and
// pasted intervals, the arrow keys, OK, Cancel and help.
#include "dialogs/OptionsDlg.h"
#include "frame/com/Module.h"
#include "tests/dialogs/DialogDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace DialogDriver;

namespace {

class OptionsDialog : public testing::Test
{
protected:
    void SetUp() override
    {
        Module::SetInstance(GetModuleHandleW(nullptr));
        InitCommonControls();
        m_options.SetColumns(127);
        m_options.SetInterval(25);
        m_options.SetAutomaticWidth(1);
        m_options.SetRememberConfiguration(1);
    }
    INT_PTR Run(const std::function<void(HWND)>& act)
    {
        COptionsDlg dialog(&m_options);
        return Drive(L"Options", act, [&] { return dialog.DoModal(m_parent.Get()); });
    }

    COptions m_options;
    CHelpRecordingParent m_parent;
};

TEST_F(OptionsDialog, ShowsTheSettingsAndCancelLeavesThemUntouched)
{
    const INT_PTR result = Run([](HWND dialog) {
        for (const int id : {IDC_OPT_DECIMAL, IDC_OPT_HEXADECIMAL, IDC_OPT_BINARY, IDC_OPT_DEVICE, IDC_OPT_MASK,
                             IDC_OPT_LENGTH, IDC_OPT_OPERATIONS, IDC_OPT_REMEMBER_CONFIGURATION,
                             IDC_OPT_AUTOMATIC_WIDTH})
            EXPECT_TRUE(IsChecked(dialog, id)) << id;
        EXPECT_FALSE(IsChecked(dialog, IDC_OPT_SEPARATE_COLUMNS));
        EXPECT_FALSE(IsEnabled(dialog, IDC_OPT_AUTOMATIC_WIDTH));
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_OPT_INTERVAL)), "25");
        Click(dialog, IDC_OPT_DEVICE);
        Retype(GetDlgItem(dialog, IDC_OPT_INTERVAL), "300");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_options.GetColumns(), 127);
    EXPECT_EQ(m_options.GetInterval(), 25);
}

TEST_F(OptionsDialog, IntervalKeepsDigitsUpTo1000AndOkNeedsAtLeast5)
{
    Run([](HWND dialog) {
        const HWND edit = GetDlgItem(dialog, IDC_OPT_INTERVAL);
        Retype(edit, "4");
        EXPECT_FALSE(IsEnabled(dialog, IDOK));
        Retype(edit, "5");
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        Retype(edit, "10001"); // the last key is refused, and again at the same place
        SendMessageA(edit, WM_CHAR, '1', 1);
        EXPECT_EQ(Text(edit), "1000");
        SendMessageA(edit, EM_SETSEL, 0, -1);
        Paste(edit, "a1b2c");
        EXPECT_EQ(Text(edit), "12");
        // The arrow keys step the value and stop at 5 and 1000.
        Retype(edit, "6");
        for (int press = 0; press < 3; ++press)
            SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(Text(edit), "5");
        Retype(edit, "999");
        for (int press = 0; press < 3; ++press)
            SendMessageW(edit, WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(Text(edit), "1000");
    });
}

TEST_F(OptionsDialog, OkStoresTheBoxesAndTheWholeInterval)
{
    const INT_PTR result = Run([](HWND dialog) {
        Click(dialog, IDC_OPT_DEVICE);
        Click(dialog, IDC_OPT_MASK);
        Click(dialog, IDC_OPT_REMEMBER_CONFIGURATION);
        Click(dialog, IDC_OPT_SEPARATE_COLUMNS);
        Retype(GetDlgItem(dialog, IDC_OPT_INTERVAL), "0100");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_options.GetColumns(), 103);
    EXPECT_EQ(m_options.GetAutomaticWidth(), 1); // shown in a disabled box, written back
    EXPECT_EQ(m_options.GetRememberConfiguration(), 0);
    EXPECT_EQ(m_options.GetSeparateColumns(), 1);
    EXPECT_EQ(m_options.GetInterval(), 100);
}

TEST_F(OptionsDialog, F1AndHelpAskTheParentForContext2)
{
    Run([](HWND dialog) {
        PressF1(GetDlgItem(dialog, IDC_OPT_INTERVAL));
        Click(dialog, IDC_HELP_BUTTON);
    });
    EXPECT_EQ(m_parent.Contexts, (std::vector<DWORD>{2, 2}));
}

} // namespace
