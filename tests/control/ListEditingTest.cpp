// Copying rows to the clipboard, deleting rows and selecting all of them,
// through keys and clipboard messages.
#include "tests/control/ControlTestSupport.h"

#include <cstring>

namespace {

class ListEditingTest : public ControlTest
{
protected:
    // Copies as the given message or key does, the clipboard holding "before".
    static std::string Copied(const std::function<void()>& copy)
    {
        EXPECT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof "before");
        std::memcpy(GlobalLock(block), "before", sizeof "before");
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
        CloseClipboard();
        copy();
        EXPECT_TRUE(OpenClipboard(nullptr));
        const HANDLE data = GetClipboardData(CF_TEXT);
        const char* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
        const std::string text = bytes ? bytes : "<no text>";
        GlobalUnlock(data);
        CloseClipboard();
        return text;
    }
};

const std::string LINE_126 = "Controller|IRQ_ENABLE|FF|0000000011111111|1111111111111111|16|RW\r\n";

TEST_F(ListEditingTest, CutCopiesThenDeletesClearDeletesAndDeletedRowsStayAway)
{
    StartWith("Columns=0\r\n", {"ID", "CTRL", "MODE", "IRQ_FLAGS"});
    SelectRows({1});
    EXPECT_EQ(Copied([&] { SendMessageW(List(), WM_CUT, 0, 0); }), "CTRL|\r\n");
    EXPECT_EQ(Column(0), (Strings{"ID", "MODE", "IRQ_FLAGS"}));
    SelectRows({0});
    SendMessageW(Window(), WM_CLEAR, 0, 0);
    EXPECT_EQ(Column(0), (Strings{"MODE", "IRQ_FLAGS"}));
    Stop();
    Start(); // the selection was saved when the control went away
    EXPECT_EQ(Column(0), (Strings{"MODE", "IRQ_FLAGS"}));
}

// Select all, a shift-click and delete change many rows at once; once the
// change is over the status line and the buttons tell the selection as
// after a single change.
TEST_F(ListEditingTest, CopyPutsOneLinePerSelectedRowAndStatusAndButtonsFollowEveryKindOfSelectionChange)
{
    StartWith("", {"ID", "CTRL", "MODE", "IRQ_ENABLE"}); // the default column set
    // Copy puts one line per selected row on the clipboard.
    Poke(IRQ_ENABLE_ADDRESS, {0xFF});
    Apply(IDC_READ, {3});
    EXPECT_EQ(Copied([&] { SendMessageW(List(), WM_COPY, 0, 0); }), LINE_126);
    SelectRows({2, 3});
    EXPECT_EQ(Copied([&] { PressControlKey('C'); }), "Controller|MODE|0|00000000|11111111|8|RWC\r\n" + LINE_126);
    EXPECT_EQ(RowCount(), 4);
    SelectRows({});
    EXPECT_EQ(Copied([&] { PressControlKey('C'); }), "before");
    EXPECT_TRUE(m_errors->GetShown().empty());
    SetFocus(List());
    const auto selectAll = [&] { PressControlKey('A'); };
    const auto deleteSelected = [&] { PressKey(VK_DELETE); };
    struct CStep
    {
        const char* name;
        std::function<void()> act;
        const char* status;
        bool readAndWrite;
        int rows;
    };
    const CStep steps[] = {
        {"two rows selected", [&] { SelectRows({0, 2}); }, "2 item(s) selected", true, 4},
        {"click on the second row", [&] { ClickCell(1, 0); }, "1 item(s) selected", true, 4},
        {"shift-click on the fourth", [&] { ClickCell(3, 0, MK_SHIFT); }, "3 item(s) selected", true, 4},
        {"Ctrl+A", selectAll, "4 item(s) selected", true, 4},
        {"one row selected", [&] { SelectRows({1}); }, "1 item(s) selected", true, 4},
        {"that row deleted", deleteSelected, "Ready", false, 3},
        {"Ctrl+A, then every row deleted", [&] { selectAll(); deleteSelected(); }, "Ready", false, 0},
    };
    for (const CStep& step : steps)
    {
        step.act();
        EXPECT_EQ(Status(), step.status) << step.name;
        EXPECT_EQ(IsEnabled(IDC_READ), step.readAndWrite) << step.name;
        EXPECT_EQ(IsEnabled(IDC_WRITE), step.readAndWrite) << step.name;
        EXPECT_EQ(RowCount(), step.rows) << step.name;
    }

    Stop();
    StartWith("Columns=97\r\nSeparateColumns=yes\r\n", {"ACC_RWCS"}); // Dec, Length, Operations
    SelectRows({0});
    EXPECT_EQ(Copied([&] { SendMessageW(Window(), WM_COPY, 0, 0); }), "ACC_RWCS|0|0|128|RWSC\r\n");
}

} // namespace
