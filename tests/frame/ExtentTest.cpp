// What the host sees of the control: the size negotiation (the extent the host
// sets and reads, the notifications of a change, and the natural extent the
// control proposes within its minimum size) and its background in the host's
// ambient colour.
#include "frame/Gdi.h"
#include "tests/frame/FrameTestSupport.h"

#include <ostream>

// Found by argument-dependent lookup, so in the sizes' own (global) namespace.
static bool operator==(const SIZEL& left, const SIZEL& right) { return left.cx == right.cx && left.cy == right.cy; }
static void PrintTo(const SIZEL& size, std::ostream* out) { *out << size.cx << " x " << size.cy; }

namespace {

// Pixels of the screen in HIMETRIC, as a host converts them.
SIZEL ToHiMetric(SIZE pixels)
{
    const CWindowDC screen(nullptr);
    return {MulDiv(pixels.cx, 2540, GetDeviceCaps(screen.Get(), LOGPIXELSX)),
            MulDiv(pixels.cy, 2540, GetDeviceCaps(screen.Get(), LOGPIXELSY))};
}

using FrameExtent = FrameTest;

// Set once or twice, the sinks hear of it once; read back over every interface
// for the content aspect only; once active, the window is repainted, and an
// integral proposal gets the minimum of each dimension below it, the fixed ones kept.
TEST_F(FrameExtent, ExtentSetByTheHostIsReadBackNotifiesOnceRepaintsAndProposalsKeepTheMinimum)
{
    ASSERT_EQ(m_container.Load(m_control->GetUnknown()), S_OK);
    ASSERT_EQ(m_container.AdviseData(), S_OK);
    m_container.ClearCalls();
    SIZEL size{10000, 5000};
    SIZEL read[3]{};

    ASSERT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    ASSERT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(m_container.CountCalls("OnDataChange"), 1);
    EXPECT_EQ(m_container.CountCalls("OnViewChange"), 1);
    SIZEL other{1000, 1000};
    EXPECT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_ICON, &other), DV_E_DVASPECT);
    EXPECT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);

    EXPECT_EQ(Query<IOleObject>()->GetExtent(DVASPECT_CONTENT, &read[0]), S_OK);
    EXPECT_EQ(Query<IViewObject2>()->GetExtent(DVASPECT_ICON, -1, nullptr, &read[1]), S_OK);
    EXPECT_EQ(Query<IQuickActivate>()->GetContentExtent(&read[2]), S_OK);
    for (const SIZEL& each : read)
        EXPECT_EQ(each, size);
    // Negotiation refuses other aspects and missing arguments.
    DVEXTENTINFO info{sizeof info, DVEXTENT_INTEGRAL, ToHiMetric({400, 200})};
    EXPECT_EQ(Query<IViewObjectEx>()->GetNaturalExtent(DVASPECT_ICON, -1, nullptr, nullptr, &info, &other), E_FAIL);
    EXPECT_EQ(Query<IViewObjectEx>()->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, &other),
              E_POINTER);

    ASSERT_NO_FATAL_FAILURE(Embed());
    UpdateWindow(m_window);
    size = {23456, 7890};
    ASSERT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    RECT invalid{};
    EXPECT_TRUE(GetUpdateRect(m_window, &invalid, FALSE));

    SIZEL current{20000, 10000};
    Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &current);
    const SIZEL minimum = ToHiMetric({600, 300});
    const struct
    {
        const char* name;
        CResizeMode mode;
        SIZE proposed; // pixels
        SIZEL expected;
    } cases[] = {
        {"400 x 200: the minimum", CResizeMode::Both, {400, 200}, minimum},
        {"800 x 600: the host's choice", CResizeMode::Both, {800, 600}, {-1, -1}},
        {"each dimension on its own", CResizeMode::Both, {800, 200}, {-1, minimum.cy}},
        {"width only", CResizeMode::WidthOnly, {400, 200}, {minimum.cx, current.cy}},
        {"height only", CResizeMode::HeightOnly, {400, 200}, {current.cx, minimum.cy}},
        {"fixed", CResizeMode::Fixed, {400, 200}, current},
    };
    for (const auto& row : cases)
    {
        SCOPED_TRACE(row.name);
        m_control->SetResizeMode(row.mode);
        info.sizelProposed = ToHiMetric(row.proposed);
        EXPECT_EQ(Query<IViewObjectEx>()->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &other),
                  S_OK);
        EXPECT_EQ(other, row.expected);
    }
}

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
    EXPECT_EQ(Query<IOleControl>()->OnAmbientPropertyChange(-701), S_OK); // DISPID_AMBIENT_BACKCOLOR
    EXPECT_EQ(AskChildColor(m_window, WM_CTLCOLORBTN), GetSysColor(COLOR_WINDOW));
}

} // namespace
