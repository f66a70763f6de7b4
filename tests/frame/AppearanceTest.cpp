// What the host sees of a control built on the frame: its drawing while it
// has no window, and its background in the host's ambient colour.
#include "frame/Gdi.h"
#include "tests/frame/FrameTestSupport.h"
#include "tests/frame/TestControl.h"
#include "tests/support/TestContainer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr DISPID AmbientBackColor = -701;
constexpr DISPID AmbientUserMode = -709;
constexpr COLORREF Grey = RGB(128, 128, 128);

// A 32-bit picture to draw into, read back pixel by pixel.
class CPicture
{
public:
    CPicture(int width, int height) : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap = CGdiObject<HBITMAP>(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<const DWORD*>(bits);
        m_previous = SelectObject(m_dc, m_bitmap.Get());
        const RECT all{0, 0, width, height};
        FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~CPicture()
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    HDC GetDC() const { return m_dc; }
    COLORREF GetPixel(int x, int y) const
    {
        GdiFlush();
        const DWORD pixel = m_bits[y * m_width + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    // The smallest rectangle that holds every pixel of `color` inside `area`.
    RECT FindColor(COLORREF color, const RECT& area) const
    {
        RECT found{m_width, m_height, -1, -1};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (GetPixel(x, y) == color)
                    found = {std::min<LONG>(found.left, x), std::min<LONG>(found.top, y),
                             std::max<LONG>(found.right, x + 1), std::max<LONG>(found.bottom, y + 1)};
        return found;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    CGdiObject<HBITMAP> m_bitmap;
    const DWORD* m_bits = nullptr;
    HGDIOBJ m_previous = nullptr;
};

HRESULT DrawControl(IUnknown* control, const CPicture& picture, const RECTL& bounds)
{
    CComPtr<IViewObject> view;
    const HRESULT hr = control->QueryInterface(IID_IViewObject, view.OutVoid());
    if (FAILED(hr))
        return hr;
    return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, picture.GetDC(), &bounds, nullptr, nullptr, 0);
}

// The colour that the control's window gives a button or static text that
// asks how to paint itself (as they do when they repaint).
COLORREF AskChildColor(HWND window, UINT message)
{
    const CPicture picture(1, 1);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(window, message, reinterpret_cast<WPARAM>(picture.GetDC()),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_TEST_APPLY))));
    LOGBRUSH description{};
    if (!brush || GetObjectW(brush, sizeof description, &description) != sizeof description)
        return CLR_INVALID;
    return description.lbColor;
}

TEST(FrameInactiveDrawing, ShowsAGreyFramedBoxWithTheCentredTitle)
{
    const CComPtr<CTestControl> control = CTestControl::Create();
    const CPicture picture(300, 100);

    ASSERT_EQ(DrawControl(control->GetUnknown(), picture, {0, 0, 300, 100}), S_OK);

    EXPECT_EQ(picture.GetPixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(picture.GetPixel(299, 99), RGB(0, 0, 0));
    EXPECT_EQ(picture.GetPixel(150, 0), RGB(0, 0, 0));
    EXPECT_EQ(picture.GetPixel(5, 5), Grey);
    EXPECT_EQ(picture.GetPixel(294, 94), Grey);
    // The title: window-text coloured pixels on one line around the middle,
    // on the grey (the background shows through between the letters).
    const RECT inner{2, 2, 298, 98};
    const RECT text = picture.FindColor(GetSysColor(COLOR_WINDOWTEXT), inner);
    ASSERT_LT(text.left, text.right) << "no title drawn";
    EXPECT_LT(text.bottom - text.top, 30);
    EXPECT_NEAR((text.top + text.bottom) / 2.0, 50, 4);
    EXPECT_NEAR((text.left + text.right) / 2.0, 150, 4);
    EXPECT_GT(text.right - text.left, 60);
    const RECT white = picture.FindColor(RGB(255, 255, 255), inner);
    EXPECT_GE(white.left, white.right) << "the title has a background";
}

TEST(FrameInactiveDrawing, ActiveControlLeavesThePaintingToItsWindow)
{
    const CComPtr<CTestControl> control = CTestControl::Create();
    CTestContainer container;
    ASSERT_EQ(container.Embed(control->GetUnknown()), S_OK);
    const CPicture picture(100, 50);

    ASSERT_EQ(DrawControl(control->GetUnknown(), picture, {0, 0, 100, 50}), S_OK);

    EXPECT_EQ(picture.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(picture.GetPixel(50, 25), RGB(255, 255, 255));
}

TEST(FrameInactiveDrawing, NeedsADeviceAndBounds)
{
    const CComPtr<CTestControl> control = CTestControl::Create();
    CComPtr<IViewObject> view;
    ASSERT_EQ(control->QueryInterface(IID_IViewObject, view.OutVoid()), S_OK);
    const CPicture picture(10, 10);
    const RECTL bounds{0, 0, 10, 10};

    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, picture.GetDC(), nullptr, nullptr, nullptr,
                         0),
              E_INVALIDARG);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr, nullptr, 0),
              E_INVALIDARG);
}

class FrameAmbientBackground : public testing::Test
{
protected:
    CComPtr<CTestControl> m_control = CTestControl::Create();
    CTestContainer m_container;
};

TEST_F(FrameAmbientBackground, WithoutAnAmbientColourTheSystemColoursStay)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);

    EXPECT_EQ(AskChildColor(m_container.GetControlWindow(), WM_CTLCOLORSTATIC), GetSysColor(COLOR_BTNFACE));
}

TEST_F(FrameAmbientBackground, ColourOfTheHostAtActivationIsTaken)
{
    m_container.SetAmbientBackColor(RGB(200, 10, 30));

    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);

    const HWND window = m_container.GetControlWindow();
    EXPECT_EQ(AskChildColor(window, WM_CTLCOLORSTATIC), RGB(200, 10, 30));
    EXPECT_EQ(AskChildColor(window, WM_CTLCOLORBTN), RGB(200, 10, 30));
    // The control's own surface too, not only its children.
    const CPicture surface(4, 4);
    SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.GetDC()), 0);
    EXPECT_EQ(surface.GetPixel(1, 1), RGB(200, 10, 30));
}

TEST_F(FrameAmbientBackground, ChangedColourRecoloursAndRepaintsTheControlAndItsChildren)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    const HWND window = m_container.GetControlWindow();
    const HWND button = GetDlgItem(window, IDC_TEST_APPLY);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_container.SetAmbientBackColor(RGB(10, 200, 30));

    EXPECT_EQ(m_container.Query<IOleControl>()->OnAmbientPropertyChange(AmbientBackColor), S_OK);

    RECT invalid{};
    EXPECT_TRUE(GetUpdateRect(window, &invalid, FALSE));
    EXPECT_TRUE(GetUpdateRect(button, &invalid, FALSE));
    EXPECT_EQ(AskChildColor(window, WM_CTLCOLORSTATIC), RGB(10, 200, 30));
    EXPECT_EQ(AskChildColor(window, WM_CTLCOLORBTN), RGB(10, 200, 30));
}

TEST_F(FrameAmbientBackground, SystemColourOfTheHostIsTranslated)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);

    EXPECT_EQ(m_container.ChangeAmbientBackColor(0x80000000 | COLOR_WINDOW), S_OK);

    EXPECT_EQ(AskChildColor(m_container.GetControlWindow(), WM_CTLCOLORSTATIC), GetSysColor(COLOR_WINDOW));
}

TEST_F(FrameAmbientBackground, OtherAmbientChangesAreAcceptedWithoutRereadingTheColour)
{
    m_container.SetAmbientBackColor(RGB(1, 2, 3));
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    m_container.SetAmbientBackColor(RGB(4, 5, 6));
    const int reads = m_container.CountCalls("Ambient(-701)");

    EXPECT_EQ(m_container.Query<IOleControl>()->OnAmbientPropertyChange(AmbientUserMode), S_OK);

    EXPECT_EQ(m_container.CountCalls("Ambient(-701)"), reads);
    EXPECT_EQ(AskChildColor(m_container.GetControlWindow(), WM_CTLCOLORSTATIC), RGB(1, 2, 3));
}

TEST_F(FrameAmbientBackground, HostWithoutTheColourLeavesTheCurrentOne)
{
    m_container.SetAmbientBackColor(RGB(1, 2, 3));
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    m_container.SetAmbientBackColor(std::nullopt);

    EXPECT_EQ(m_container.Query<IOleControl>()->OnAmbientPropertyChange(AmbientBackColor), S_OK);

    EXPECT_EQ(AskChildColor(m_container.GetControlWindow(), WM_CTLCOLORSTATIC), RGB(1, 2, 3));
}

} // namespace
