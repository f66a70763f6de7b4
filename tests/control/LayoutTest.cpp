// The control's window as the host sizes it: status line parts, the resizer's
// layout, the repeat text and the Close button.
#include "tests/control/ControlTestSupport.h"

#include "resources/resource.h"

#include <commctrl.h>

namespace {

RECT ChildRect(HWND window, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(window, id), &rect);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int FirstPartEnd(HWND statusBar)
{
    int parts[2] = {};
    SendMessageW(statusBar, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    return parts[0];
}

TEST_F(ControlTest, TheFirstStatusPartLeaves200PixelsButEndsNoEarlierThan400)
{
    Start(false);
    m_container->Resize(SIZE{800, 400});
    EXPECT_EQ(FirstPartEnd(StatusBar()), 600);
    m_container->Resize(SIZE{500, 400});
    EXPECT_EQ(FirstPartEnd(StatusBar()), 400);
}

TEST_F(ControlTest, ResizingStretchesTheListAndMovesTheButtons)
{
    Start(false);
    m_container->Resize(SIZE{800, 400});
    const RECT list = ChildRect(Window(), IDC_REGISTER_LIST);
    const RECT read = ChildRect(Window(), IDC_READ);
    const RECT repeat = ChildRect(Window(), IDC_USE_REPEAT);

    m_container->Resize(SIZE{900, 500});
    const RECT wideList = ChildRect(Window(), IDC_REGISTER_LIST);
    EXPECT_EQ(wideList.left, list.left);
    EXPECT_EQ(wideList.right - list.right, 100);
    EXPECT_EQ(wideList.bottom - list.bottom, 100);
    const RECT movedRead = ChildRect(Window(), IDC_READ);
    EXPECT_EQ(movedRead.left - read.left, 100);
    EXPECT_EQ(movedRead.top - read.top, 100);
    const RECT movedRepeat = ChildRect(Window(), IDC_USE_REPEAT);
    EXPECT_EQ(movedRepeat.left, repeat.left);
    EXPECT_EQ(movedRepeat.top - repeat.top, 100);

    // Below the minimum of 600 x 300 the layout of the minimum stays.
    m_container->Resize(SIZE{600, 300});
    const RECT atMinimum = ChildRect(Window(), IDC_READ);
    m_container->Resize(SIZE{400, 200});
    const RECT belowMinimum = ChildRect(Window(), IDC_READ);
    EXPECT_EQ(belowMinimum.left, atMinimum.left);
    EXPECT_EQ(belowMinimum.top, atMinimum.top);
}

TEST_F(ControlTest, RepeatTextFollowsTheIntervalAndTheCheckBox)
{
    WriteFile("Vexil2.ini", "[Options]\r\nRepeat=yes\r\nInterval=5\r\n");
    Start(false);
    EXPECT_EQ(Status(1), "Repeat interval: 500 ms");
    EXPECT_EQ(IsDlgButtonChecked(Window(), IDC_USE_REPEAT), BST_CHECKED);
    Click(IDC_USE_REPEAT);
    EXPECT_EQ(Status(1), "Repeat off");
    Stop();
    EXPECT_NE(m_directory.ReadFile("Vexil2.ini").find("Repeat=no"), std::string::npos);
}

TEST_F(ControlTest, LongIntervalsAreShownInSeconds)
{
    WriteFile("Vexil2.ini", "[Options]\r\nRepeat=yes\r\nInterval=25\r\n");
    Start(false);
    EXPECT_EQ(Status(1), "Repeat interval: 2.50 s");
}

TEST_F(ControlTest, CloseAsksTheHostsFrameWindowToClose)
{
    Start(false);
    Click(IDC_CLOSE);
    EXPECT_EQ(m_container->CountFrameMessages(WM_CLOSE), 1);
}

} // namespace
