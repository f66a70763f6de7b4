// The resizer on a real window with real child controls: the window is
// resized as a user would drag it, and the controls' rectangles are read back.
#include "dialogs/EZSize.h"

#include <gtest/gtest.h>

namespace {

constexpr int STRETCHED = 101;
constexpr int CORNER = 102;
constexpr int BELOW = 103;
constexpr int RIGHT = 104;

class EZSize : public testing::Test
{
protected:
    void SetUp() override
    {
        // A frameless popup: its outer rectangle is its client area, so the
        // expected positions read simply.
        m_window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_window);
        AddChild(STRETCHED, 10, 10, 380, 280);  // 10 px to every edge
        AddChild(CORNER, 320, 260, 70, 30);     // bottom-right button
        AddChild(BELOW, 10, 270, 80, 20);       // check box under the list
        AddChild(RIGHT, 330, 10, 60, 20);       // moves right only
    }
    void TearDown() override { DestroyWindow(m_window); }

    void AddChild(int id, int x, int y, int width, int height)
    {
        ASSERT_TRUE(CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, x, y, width, height, m_window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr));
    }
    RECT RectOf(int id)
    {
        RECT rect{};
        HWND child = GetDlgItem(m_window, id);
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, m_window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    void ResizeWindow(int width, int height)
    {
        SetWindowPos(m_window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND m_window = nullptr;
    CEZSize m_resizer;
};

void ExpectRect(const RECT& rect, int left, int top, int right, int bottom)
{
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

TEST_F(EZSize, ControlsFollowTheWindowByTheirFlags)
{
    ASSERT_EQ(m_resizer.Attach(m_window), S_OK);
    ASSERT_EQ(m_resizer.AddItem(STRETCHED, 0xD), S_OK);
    ASSERT_EQ(m_resizer.AddItem(CORNER, 0xE), S_OK);
    ASSERT_EQ(m_resizer.AddItem(BELOW, 0xA), S_OK);
    ASSERT_EQ(m_resizer.AddItem(RIGHT, 0x6), S_OK);

    ResizeWindow(600, 500);
    ASSERT_EQ(m_resizer.Resize(), S_OK);
    ExpectRect(RectOf(STRETCHED), 10, 10, 590, 490); // still 10 px from each edge
    ExpectRect(RectOf(CORNER), 520, 460, 590, 490);
    ExpectRect(RectOf(BELOW), 10, 470, 90, 490);
    ExpectRect(RectOf(RIGHT), 530, 10, 590, 30);
}

TEST_F(EZSize, ShrinkingBelowTheMinimumLeavesControlsWhereTheMinimumPutsThem)
{
    ASSERT_EQ(m_resizer.Attach(m_window), S_OK);
    ASSERT_EQ(m_resizer.SetMinimumSize(-1, -1), S_OK); // the size just measured: 400 x 300
    ASSERT_EQ(m_resizer.AddItem(STRETCHED, 0xD), S_OK);
    ASSERT_EQ(m_resizer.AddItem(CORNER, 0xE), S_OK);

    ResizeWindow(200, 100);
    ASSERT_EQ(m_resizer.Resize(), S_OK);
    ExpectRect(RectOf(STRETCHED), 10, 10, 390, 290);
    ExpectRect(RectOf(CORNER), 320, 260, 390, 290);
}

TEST_F(EZSize, UnknownControlsAndFlagsAreRefusedAndNotKept)
{
    ASSERT_EQ(m_resizer.Attach(m_window), S_OK);
    EXPECT_EQ(m_resizer.AddItem(999, 0xD), E_POINTER);
    EXPECT_EQ(m_resizer.AddItem(STRETCHED, 0xC), E_INVALIDARG);
    ASSERT_EQ(m_resizer.AddItem(CORNER, 0xE), S_OK);

    ResizeWindow(500, 400);
    EXPECT_EQ(m_resizer.Resize(), S_OK);
    ExpectRect(RectOf(STRETCHED), 10, 10, 390, 290); // neither stretched nor moved
    ExpectRect(RectOf(CORNER), 420, 360, 490, 390);
}

TEST_F(EZSize, AControlThatDisappearsIsSkipped)
{
    ASSERT_EQ(m_resizer.Attach(m_window), S_OK);
    ASSERT_EQ(m_resizer.AddItem(RIGHT, 0x6), S_OK);
    ASSERT_EQ(m_resizer.AddItem(CORNER, 0xE), S_OK);
    DestroyWindow(GetDlgItem(m_window, RIGHT));

    ResizeWindow(500, 400);
    EXPECT_EQ(m_resizer.Resize(), S_OK);
    ExpectRect(RectOf(CORNER), 420, 360, 490, 390);
}

TEST_F(EZSize, ResizeFailsWithoutAWindow)
{
    CEZSize detached;
    EXPECT_EQ(detached.Attach(nullptr), E_FAIL);
    EXPECT_EQ(detached.Resize(), E_FAIL);
}

} // namespace
