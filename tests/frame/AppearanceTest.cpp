// What the host sees of the control: its drawing while it has no window, and
// its background in the host's ambient colour.
#include "frame/Gdi.h"
#include "tests/frame/FrameTestSupport.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace {

constexpr DISPID AmbientBackColor = -701;
constexpr DISPID AmbientUserMode = -709;
constexpr COLORREF Grey = RGB(128, 128, 128);

// A picture to draw into, white at first, read back pixel by pixel.
struct CPicture
{
    CPicture(int width, int height)
        : bitmap(CreateBitmap(width, height, 1, 32, nullptr)), selection(dc.get(), bitmap.Get())
    {
        const RECT all{0, 0, width, height};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    HDC GetDC() const { return dc.get(); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(dc.get(), x, y); }

    std::unique_ptr<HDC__, decltype(&DeleteDC)> dc{CreateCompatibleDC(nullptr), &DeleteDC};
    CGdiObject<HBITMAP> bitmap;
    CSelection selection;
};

// The smallest rectangle that holds every pixel of `color` inside `area`.
RECT FindColor(const CPicture& picture, COLORREF color, const RECT& area)
{
    RECT found{area.right, area.bottom, -1, -1};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (picture.GetPixel(x, y) == color)
                found = {std::min<LONG>(found.left, x), std::min<LONG>(found.top, y),
                         std::max<LONG>(found.right, x + 1), std::max<LONG>(found.bottom, y + 1)};
    return found;
}

HRESULT DrawControl(IViewObject* view, const CPicture& picture, const RECTL* bounds)
{
    return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, picture.GetDC(), bounds, nullptr, nullptr, 0);
}

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

TEST_F(FrameDrawing, InactiveControlIsAGreyFramedBoxWithTheCentredTitleActiveOneLeavesItToItsWindow)
{
    const CPicture picture(300, 100);
    const RECTL bounds{0, 0, 300, 100};

    ASSERT_EQ(DrawControl(Query<IViewObject>().Get(), picture, &bounds), S_OK);

    for (const POINT corner : {POINT{0, 0}, POINT{299, 99}, POINT{150, 0}})
        EXPECT_EQ(picture.GetPixel(corner.x, corner.y), RGB(0, 0, 0));
    EXPECT_EQ(picture.GetPixel(5, 5), Grey);
    // The title: window-text coloured pixels on one line around the middle,
    // on the grey (the background shows through between the letters).
    const RECT inner{2, 2, 298, 98};
    const RECT text = FindColor(picture, GetSysColor(COLOR_WINDOWTEXT), inner);
    ASSERT_LT(text.left, text.right) << "no title drawn";
    EXPECT_LT(text.bottom - text.top, 30);
    EXPECT_NEAR((text.top + text.bottom) / 2.0, 50, 4);
    EXPECT_NEAR((text.left + text.right) / 2.0, 150, 4);
    EXPECT_GT(text.right - text.left, 60);
    const RECT white = FindColor(picture, RGB(255, 255, 255), inner);
    EXPECT_GE(white.left, white.right) << "the title has a background";
    EXPECT_EQ(DrawControl(Query<IViewObject>().Get(), picture, nullptr), E_INVALIDARG);
    EXPECT_EQ(Query<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr,
                                         nullptr, 0),
              E_INVALIDARG);

    ASSERT_NO_FATAL_FAILURE(Embed());
    const CPicture active(100, 50);
    const RECTL small{0, 0, 100, 50};
    ASSERT_EQ(DrawControl(Query<IViewObject>().Get(), active, &small), S_OK);
    EXPECT_EQ(active.GetPixel(0, 0), RGB(255, 255, 255)); // no frame drawn over the window's own picture
}

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
        RedrawWindow(m_window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (row.changed)
        {
            m_container.SetAmbientBackColor(row.changedTo);
            EXPECT_EQ(Query<IOleControl>()->OnAmbientPropertyChange(row.changed), S_OK);
        }

        EXPECT_EQ(AskChildColor(m_window, WM_CTLCOLORSTATIC), row.expected);
        EXPECT_EQ(AskChildColor(m_window, WM_CTLCOLORBTN), row.expected);
        RECT invalid{};
        if (row.changed == AmbientBackColor && row.changedTo)
        {
            EXPECT_TRUE(GetUpdateRect(m_window, &invalid, FALSE));
            EXPECT_TRUE(GetUpdateRect(Item(IDC_READ), &invalid, FALSE));
        }
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
