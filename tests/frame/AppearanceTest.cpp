// What the host sees of the control: its background in the host's ambient colour.
#include "frame/Gdi.h"
#include "tests/frame/FrameTestSupport.h"

namespace {

constexpr DISPID AmbientBackColor = -701;

// The colour that the control's window gives a button or static text that
// asks how to paint itself (as they do when they repaint).
COLORREF AskChildColor(HWND window, UINT message)
{
    const CWindowDC screen(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(window, message, reinterpret_cast<WPARAM>(screen.Get()),
                                                             reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_READ))));
    LOGBRUSH description{};
    if (!brush || GetObjectW(brush, sizeof description, &description) != sizeof description)
        return CLR_INVALID;
    return description.lbColor;
}

using FrameDrawing = FrameTest;

TEST_F(FrameDrawing, BackgroundFollowsTheHostsAmbientColour)
{
    m_container.SetAmbientBackColor(RGB(200, 10, 30));
    ASSERT_NO_FATAL_FAILURE(Embed());
    EXPECT_EQ(AskChildColor(m_window, WM_CTLCOLORSTATIC), RGB(200, 10, 30));
    // The colour changed: a system colour is translated.
    m_container.SetAmbientBackColor(0x80000000 | COLOR_WINDOW);
    EXPECT_EQ(Query<IOleControl>()->OnAmbientPropertyChange(AmbientBackColor), S_OK);
    EXPECT_EQ(AskChildColor(m_window, WM_CTLCOLORBTN), GetSysColor(COLOR_WINDOW));
}

} // namespace
