// The resizer on a real window with real child controls: the window is
// resized as a user would drag it, and the control's rectangle is read back.
#include "dialogs/EZSize.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Rect = std::array<LONG, 4>; // left, top, right, bottom in the window

struct CLayoutCase
{
    const char* Name;
    UINT Flags;
    Rect Control;
    SIZE Window; // the size dragged to, from 400 x 300, which is also the minimum
    HRESULT Added;
    Rect Placed;
};

const CLayoutCase LAYOUT_CASES[] = {
    {"stretch right and down", 0xD, {10, 10, 390, 290}, {600, 500}, S_OK, {10, 10, 590, 490}},
    {"stretch right only", 0x5, {10, 10, 390, 290}, {600, 500}, S_OK, {10, 10, 590, 290}},
    {"move with the corner", 0xE, {320, 260, 390, 290}, {600, 500}, S_OK, {520, 460, 590, 490}},
    {"move down only", 0xA, {10, 270, 90, 290}, {600, 500}, S_OK, {10, 470, 90, 490}},
    {"move with neither edge", 0x2, {330, 10, 390, 30}, {600, 500}, S_OK, {330, 10, 390, 30}},
    {"stretch below the minimum", 0xD, {10, 10, 390, 290}, {200, 100}, S_OK, {10, 10, 390, 290}},
    {"neither size nor move: refused", 0xC, {10, 10, 390, 290}, {500, 400}, E_INVALIDARG, {10, 10, 390, 290}},
};

HWND AddChild(HWND window, int id, const Rect& rect)
{
    return CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, rect[0], rect[1], rect[2] - rect[0],
                           rect[3] - rect[1], window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                           nullptr);
}

// Without a window nothing is resized; with one, each control by its flags.
TEST(EZSize, ControlsFollowTheWindowByTheirFlagsAndNeverBelowTheMinimumAndNothingWithoutAWindow)
{
    CEZSize detached;
    EXPECT_EQ(detached.Attach(nullptr), E_FAIL);
    EXPECT_EQ(detached.Resize(), E_FAIL);
    constexpr int CONTROL = 101;
    constexpr int GONE = 102;
    for (const CLayoutCase& row : LAYOUT_CASES)
    {
        SCOPED_TRACE(row.Name);
        // A frameless popup: its outer rectangle is its client area.
        const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                            nullptr, nullptr);
        CEZSize resizer;
        ASSERT_EQ(resizer.Attach(window), S_OK);
        ASSERT_EQ(resizer.SetMinimumSize(-1, -1), S_OK);
        // A control that disappears before the resize is skipped; an unknown id is refused.
        ASSERT_EQ(resizer.AddItem(GONE, 0xD), E_POINTER);
        AddChild(window, GONE, {0, 0, 5, 5});
        ASSERT_EQ(resizer.AddItem(GONE, 0xD), S_OK);
        DestroyWindow(GetDlgItem(window, GONE));
        AddChild(window, CONTROL, row.Control);
        EXPECT_EQ(resizer.AddItem(CONTROL, row.Flags), row.Added);
        SetWindowPos(window, nullptr, 0, 0, row.Window.cx, row.Window.cy, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(resizer.Resize(), S_OK);
        RECT placed{};
        GetWindowRect(GetDlgItem(window, CONTROL), &placed);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ((Rect{placed.left, placed.top, placed.right, placed.bottom}), row.Placed);
        DestroyWindow(window);
    }
}

} // namespace
