// Size negotiation between a host and a control built on the frame: the
// extent the host sets and reads, the notifications of a change, and the
// natural extent the control proposes within its minimum size.
#include "frame/Gdi.h"
#include "tests/frame/FrameTestSupport.h"
#include "tests/frame/TestControl.h"
#include "tests/support/TestContainer.h"

#include <gtest/gtest.h>

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

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The size of a window made from the control's template by the dialog manager itself.
SIZE MeasureTemplateWindow(HWND parent)
{
    const HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FRAME_TEST), parent,
                                           PlainDialogProc, 0);
    RECT rect{};
    GetWindowRect(dialog, &rect);
    DestroyWindow(dialog);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

class FrameExtent : public testing::Test
{
protected:
    template <class I> CComPtr<I> Query()
    {
        CComPtr<I> result;
        EXPECT_EQ(m_control->QueryInterface(__uuidof(I), result.OutVoid()), S_OK);
        return result;
    }

    CComPtr<CTestControl> m_control = CTestControl::Create();
};

TEST_F(FrameExtent, ExtentSetByTheHostIsTheOneItReadsBack)
{
    SIZEL size{10000, 5000};
    SIZEL read{};

    ASSERT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &size), S_OK);

    EXPECT_EQ(Query<IOleObject>()->GetExtent(DVASPECT_CONTENT, &read), S_OK);
    EXPECT_EQ(read, size);
    read = {};
    EXPECT_EQ(Query<IViewObject2>()->GetExtent(DVASPECT_ICON, -1, nullptr, &read), S_OK);
    EXPECT_EQ(read, size);
    read = {};
    EXPECT_EQ(Query<IQuickActivate>()->GetContentExtent(&read), S_OK);
    EXPECT_EQ(read, size);
}

TEST_F(FrameExtent, OnlyTheContentAspectCanBeSized)
{
    SIZEL before{};
    Query<IOleObject>()->GetExtent(DVASPECT_CONTENT, &before);
    SIZEL size{1000, 1000};

    EXPECT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_ICON, &size), DV_E_DVASPECT);
    EXPECT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_THUMBNAIL, nullptr), DV_E_DVASPECT);
    EXPECT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);

    SIZEL after{};
    Query<IOleObject>()->GetExtent(DVASPECT_CONTENT, &after);
    EXPECT_EQ(after, before);
}

TEST_F(FrameExtent, ChangedExtentNotifiesTheDataAndViewSinksOnce)
{
    CTestContainer container;
    ASSERT_EQ(container.Load(m_control->GetUnknown()), S_OK);
    ASSERT_EQ(container.AdviseData(), S_OK);
    container.ClearCalls();
    SIZEL size{12345, 6789};

    ASSERT_EQ(container.Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    ASSERT_EQ(container.Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &size), S_OK);

    EXPECT_EQ(container.CountCalls("OnDataChange"), 1);
    EXPECT_EQ(container.CountCalls("OnViewChange"), 1);
}

TEST_F(FrameExtent, ChangedExtentOfAnActiveControlRepaintsItsWindow)
{
    CTestContainer container;
    ASSERT_EQ(container.Embed(m_control->GetUnknown()), S_OK);
    const HWND window = container.GetControlWindow();
    UpdateWindow(window);
    container.ClearCalls();
    SIZEL size{12345, 6789};

    ASSERT_EQ(container.Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &size), S_OK);

    RECT invalid{};
    EXPECT_TRUE(GetUpdateRect(window, &invalid, FALSE));
}

TEST_F(FrameExtent, ProposalBelowTheMinimumGetsTheMinimum)
{
    DVEXTENTINFO info{sizeof info, DVEXTENT_INTEGRAL, ToHiMetric({400, 200})};
    SIZEL size{};

    EXPECT_EQ(Query<IViewObjectEx>()->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);

    EXPECT_EQ(size, ToHiMetric({600, 300}));
}

TEST_F(FrameExtent, ProposalAboveTheMinimumIsLeftToTheHost)
{
    DVEXTENTINFO info{sizeof info, DVEXTENT_INTEGRAL, ToHiMetric({800, 600})};
    SIZEL size{};

    EXPECT_EQ(Query<IViewObjectEx>()->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);

    EXPECT_EQ(size, (SIZEL{-1, -1}));
}

TEST_F(FrameExtent, EachDimensionIsNegotiatedOnItsOwn)
{
    DVEXTENTINFO info{sizeof info, DVEXTENT_INTEGRAL, ToHiMetric({800, 200})};
    SIZEL size{};

    EXPECT_EQ(Query<IViewObjectEx>()->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);

    EXPECT_EQ(size, (SIZEL{-1, ToHiMetric({600, 300}).cy}));
}

TEST_F(FrameExtent, DimensionsThatMayNotChangeKeepTheCurrentExtent)
{
    SIZEL current{20000, 10000};
    Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &current);
    DVEXTENTINFO info{sizeof info, DVEXTENT_INTEGRAL, ToHiMetric({400, 200})};
    const SIZEL minimum = ToHiMetric({600, 300});
    SIZEL size{};
    const auto view = Query<IViewObjectEx>();

    m_control->SetResizeMode(CResizeMode::WidthOnly);
    EXPECT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);
    EXPECT_EQ(size, (SIZEL{minimum.cx, current.cy}));

    m_control->SetResizeMode(CResizeMode::HeightOnly);
    EXPECT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);
    EXPECT_EQ(size, (SIZEL{current.cx, minimum.cy}));

    m_control->SetResizeMode(CResizeMode::Fixed);
    EXPECT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);
    EXPECT_EQ(size, current);
}

TEST_F(FrameExtent, ContentModeGivesTheSizeOfTheDialogTemplate)
{
    CTestContainer container;
    const SIZEL expected = ToHiMetric(MeasureTemplateWindow(container.GetSiteWindow()));
    DVEXTENTINFO info{sizeof info, DVEXTENT_CONTENT, {0, 0}};
    SIZEL size{};
    const auto view = Query<IViewObjectEx>();

    EXPECT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);
    EXPECT_EQ(size, expected);

    ASSERT_EQ(container.Embed(m_control->GetUnknown()), S_OK);
    EXPECT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);
    EXPECT_EQ(size, expected);
}

TEST_F(FrameExtent, NegotiationRefusesWrongAspectsModesAndMissingArguments)
{
    DVEXTENTINFO info{sizeof info, DVEXTENT_INTEGRAL, ToHiMetric({400, 200})};
    SIZEL size{};
    const auto view = Query<IViewObjectEx>();

    EXPECT_EQ(view->GetNaturalExtent(DVASPECT_ICON, -1, nullptr, nullptr, &info, &size), E_FAIL);
    EXPECT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, &size), E_POINTER);
    EXPECT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, nullptr), E_POINTER);
    EXPECT_EQ(view->GetNaturalExtent(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, nullptr), E_POINTER);
    info.dwExtentMode = 2;
    EXPECT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), E_FAIL);
}

TEST_F(FrameExtent, QuickActivationReportsStatusAndSizesTheContent)
{
    QACONTAINER container{};
    container.cbSize = sizeof container;
    QACONTROL control{};
    control.cbSize = sizeof control;
    const auto quick = Query<IQuickActivate>();

    ASSERT_EQ(quick->QuickActivate(&container, &control), S_OK);
    EXPECT_EQ(control.dwMiscStatus, 131473u);
    EXPECT_EQ(control.dwViewStatus, static_cast<DWORD>(VIEWSTATUS_SOLIDBKGND | VIEWSTATUS_OPAQUE));

    SIZEL size{3000, 2000};
    SIZEL read{};
    EXPECT_EQ(quick->SetContentExtent(&size), S_OK);
    EXPECT_EQ(Query<IOleObject>()->GetExtent(DVASPECT_CONTENT, &read), S_OK);
    EXPECT_EQ(read, size);

    control.cbSize = 4;
    EXPECT_EQ(quick->QuickActivate(&container, &control), E_INVALIDARG);
    EXPECT_EQ(quick->QuickActivate(nullptr, &control), E_POINTER);
}

} // namespace
