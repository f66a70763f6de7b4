// What the host sees of the control: its background in the host's ambient colour.
#include "frame/Gdi.h"
#include "tests/frame/FrameTestSupport.h"

#include <memory>
#include <optional>

namespace {

constexpr DISPID AmbientBackColor = -701;
constexpr DISPID AmbientUserMode = -709;

// A picture to draw into, read back pixel by pixel.
struct CPicture
{
    CPicture(int width, int height)
        : bitmap(CreateBitmap(width, height, 1, 32, nullptr)), selection(dc.get(), bitmap.Get())
    {
    }
    HDC GetDC() const { return dc.get(); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(dc.get(), x, y); }

    std::unique_ptr<HDC__, decltype(&DeleteDC)> dc{CreateCompatibleDC(nullptr), &DeleteDC};
    CGdiObject<HBITMAP> bitmap;
    CSelection selection;
};

// The colour that the control's window gives a button or static text that
// asks how to paint itself (as they do when they repaint).
COLORREF AskChildColor(HWND window, UINT message)
{
    const CPicture picture(1, 1);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(window, message, reinterpret_cast<WPARAM>(picture.GetDC()),
                                                             reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_READ))));
    LOGBRUSH description{};
    if (!brush || GetObjectW(brush, sizeof description, &description) != sizeof description)
        return CLR_INVALID;
    return description.lbColor;
}

using FrameDrawing = FrameTest;

TEST_F(FrameDrawing, BackgroundFollowsTheHostsAmbientColour)
{
    const COLORREF system = GetSysColor(COLOR_BTNFACE);
    const struct
    {
        const char* name;
        std::optional<OLE_COLOR> atActivation;
        std::optional<OLE_COLOR> changedTo; // the host's colour when it tells of a change
        DISPID changed;                     // which ambient property it says changed
        COLORREF expected;
    } cases[] = {
        {"no colour: the system's stays", std::nullopt, std::nullopt, 0, system},
        {"taken at activation", RGB(200, 10, 30), std::nullopt, 0, RGB(200, 10, 30)},
        {"changed colour", std::nullopt, RGB(10, 200, 30), AmbientBackColor, RGB(10, 200, 30)},
        {"system colour translated", std::nullopt, 0x80000000 | COLOR_WINDOW, AmbientBackColor,
         GetSysColor(COLOR_WINDOW)},
        {"other property: colour not read again", RGB(1, 2, 3), RGB(4, 5, 6), AmbientUserMode, RGB(1, 2, 3)},
        {"colour withdrawn: the current one stays", RGB(1, 2, 3), std::nullopt, AmbientBackColor, RGB(1, 2, 3)},
    };
    for (const auto& row : cases)
    {
        SCOPED_TRACE(row.name);
        m_control = CVexil2UI::Create();
        m_container.SetAmbientBackColor(row.atActivation);
        ASSERT_NO_FATAL_FAILURE(Embed());
        if (row.changed)
        {
            m_container.SetAmbientBackColor(row.changedTo);
            EXPECT_EQ(Query<IOleControl>()->OnAmbientPropertyChange(row.changed), S_OK);
        }

        EXPECT_EQ(AskChildColor(m_window, WM_CTLCOLORSTATIC), row.expected);
        EXPECT_EQ(AskChildColor(m_window, WM_CTLCOLORBTN), row.expected);
        if (row.atActivation)
        {
            // The control's own surface too, not only its children.
            const CPicture surface(4, 4);
            SendMessageW(m_window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.GetDC()), 0);
            EXPECT_EQ(surface.GetPixel(1, 1), row.expected);
        }
        m_container.Unload();
    }
}

} // namespace
