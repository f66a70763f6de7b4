// The Options dialog as a user works it: each box shows and stores its own
// option, typed and pasted intervals, the arrow keys, OK, Cancel and help.
#include "dialogs/OptionsDlg.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/QuestionStandIn.h"

#include <tuple>

using namespace DialogDriver;

namespace {

// A box and its option: a bit of Columns, or a flag of its own.
struct CBox
{
    int Id;
    std::int32_t Bit;
    std::int32_t (COptions::*Get)() const;
    void (COptions::*Set)(std::int32_t);
};

const CBox BOXES[] = {
    {IDC_OPT_DECIMAL, 1, &COptions::GetColumns, &COptions::SetColumns},
    {IDC_OPT_HEXADECIMAL, 2, &COptions::GetColumns, &COptions::SetColumns},
    {IDC_OPT_BINARY, 4, &COptions::GetColumns, &COptions::SetColumns},
    {IDC_OPT_DEVICE, 8, &COptions::GetColumns, &COptions::SetColumns},
    {IDC_OPT_MASK, 16, &COptions::GetColumns, &COptions::SetColumns},
    {IDC_OPT_LENGTH, 32, &COptions::GetColumns, &COptions::SetColumns},
    {IDC_OPT_OPERATIONS, 64, &COptions::GetColumns, &COptions::SetColumns},
    {IDC_OPT_REMEMBER_CONFIGURATION, 0, &COptions::GetRememberConfiguration, &COptions::SetRememberConfiguration},
    {IDC_OPT_SEPARATE_COLUMNS, 0, &COptions::GetSeparateColumns, &COptions::SetSeparateColumns},
    {IDC_OPT_AUTOMATIC_WIDTH, 0, &COptions::GetAutomaticWidth, &COptions::SetAutomaticWidth},
    {IDC_OPT_AUTO_SCROLL, 0, &COptions::GetAutoScroll, &COptions::SetAutoScroll},
    {IDC_OPT_SHOW_SELECTION, 0, &COptions::GetShowSelection, &COptions::SetShowSelection},
};

std::int32_t Stored(const COptions& options, const CBox& box)
{
    const std::int32_t value = (options.*box.Get)();
    return box.Bit ? (value & box.Bit) / box.Bit : value;
}

class OptionsDialog : public CDialogTest
{
protected:
    INT_PTR Run(const std::function<void(HWND)>& act)
    {
        COptionsDlg dialog(&m_options);
        return Drive(L"Options", act, [&] { return dialog.DoModal(m_parent.Get()); });
    }

    COptions m_options;
    CHelpRecordingParent m_parent;
};

// One option on at a time: only its box is checked; every box the user can
// change is clicked; OK stores each box into its own option, Cancel nothing.
TEST_F(OptionsDialog, EachBoxShowsAndStoresItsOwnOption)
{
    for (const CBox& on : BOXES)
        for (const bool ok : {false, true})
        {
            SCOPED_TRACE(testing::Message() << "box " << on.Id << (ok ? " OK" : " Cancel"));
            m_options.SetInterval(25);
            m_options.SetColumns(on.Bit);
            for (const CBox& box : BOXES)
                if (!box.Bit)
                    (m_options.*box.Set)(&box == &on ? 1 : 0);
            const INT_PTR result = Run([ok, &on](HWND dialog) {
                EXPECT_FALSE(IsEnabled(dialog, IDC_OPT_AUTOMATIC_WIDTH));
                for (const CBox& box : BOXES)
                {
                    EXPECT_EQ(IsChecked(dialog, box.Id), &box == &on) << box.Id;
                    if (box.Id != IDC_OPT_AUTOMATIC_WIDTH)
                        Click(dialog, box.Id);
                }
                Retype(GetDlgItem(dialog, IDC_OPT_INTERVAL), "0100"); // every digit is kept
                Click(dialog, ok ? IDOK : IDCANCEL);
            });
            EXPECT_EQ(result, ok ? IDOK : IDCANCEL);
            for (const CBox& box : BOXES)
            {
                const bool toggled = ok && box.Id != IDC_OPT_AUTOMATIC_WIDTH;
                EXPECT_EQ(Stored(m_options, box), (&box == &on) != toggled ? 1 : 0) << box.Id;
            }
            EXPECT_EQ(m_options.GetInterval(), ok ? 100 : 25);
        }
}

TEST_F(OptionsDialog, IntervalKeepsDigitsUpTo1000AndOkNeedsAtLeast5AndHelpAsksForContext2)
{
    m_options.SetInterval(25);
    Run([](HWND dialog) {
        const HWND edit = GetDlgItem(dialog, IDC_OPT_INTERVAL);
        EXPECT_EQ(Text(edit), "25");
        Retype(edit, "4");
        EXPECT_FALSE(IsEnabled(dialog, IDOK));
        Retype(edit, "5");
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        Retype(edit, "10001"); // the last key is refused, and again at the same place
        SendMessageA(edit, WM_CHAR, '1', 1);
        EXPECT_EQ(Text(edit), "1000");
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("a1b2c")); // as Ctrl+V does
        EXPECT_EQ(Text(edit), "12");
        // The arrow keys step the value and stop at 5 and 1000.
        for (const auto& [start, key, end] : {std::tuple{"6", VK_DOWN, "5"}, std::tuple{"999", VK_UP, "1000"}})
        {
            Retype(edit, start);
            for (int press = 0; press < 3; ++press)
                SendMessageW(edit, WM_KEYDOWN, key, 0);
            EXPECT_EQ(Text(edit), end);
        }
        Click(dialog, IDC_HELP_BUTTON);
    });
    EXPECT_EQ(m_parent.Contexts, (std::vector<DWORD>{2}));
}

} // namespace
