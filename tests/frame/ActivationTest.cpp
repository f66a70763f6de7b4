// How a host embeds a control built on the frame: in-place and UI
// activation, the window and its placement, deactivation.
#include "tests/frame/FrameTestSupport.h"
#include "tests/frame/TestControl.h"
#include "tests/support/TestContainer.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// True when the calls contain `expected` in this order (others may come between).
bool ContainsInOrder(const std::vector<std::string>& calls, std::initializer_list<const char*> expected)
{
    auto next = calls.begin();
    for (const char* call : expected)
    {
        next = std::find(next, calls.end(), call);
        if (next == calls.end())
            return false;
        ++next;
    }
    return true;
}

bool HoldsFocus(HWND window)
{
    const HWND focus = GetFocus();
    return focus && (focus == window || IsChild(window, focus));
}

RECT GetRectInParent(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class FrameActivation : public testing::Test
{
protected:
    CComPtr<CTestControl> m_control = CTestControl::Create();
    CTestContainer m_container;
};

TEST_F(FrameActivation, InPlaceActivationCreatesTheWindowInTheSiteWindow)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);

    const HWND window = m_container.GetControlWindow();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), m_container.GetSiteWindow());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_NE(GetDlgItem(window, IDC_TEST_EDIT), nullptr);
    EXPECT_EQ(m_control->CountMessages(WM_INITDIALOG), 1);
    RECT site{};
    GetClientRect(m_container.GetSiteWindow(), &site);
    const RECT placed = GetRectInParent(window);
    EXPECT_TRUE(EqualRect(&placed, &site));
}

TEST_F(FrameActivation, WindowUsesTheCurrentCommonControls)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    SIZE ideal{};

    // Only the current buttons know their ideal size; those of the host
    // program (no manifest of its own) do not.
    const HWND button = GetDlgItem(m_container.GetControlWindow(), IDC_TEST_APPLY);
    EXPECT_TRUE(SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    const HWND hostButton = CreateWindowExW(0, L"Button", L"Host", WS_CHILD, 0, 0, 50, 20,
                                            m_container.GetSiteWindow(), nullptr, nullptr, nullptr);
    EXPECT_FALSE(SendMessageW(hostButton, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    DestroyWindow(hostButton);
}

TEST_F(FrameActivation, InPlaceActivationAsksTheSiteBeforeItMakesTheWindow)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);

    EXPECT_TRUE(ContainsInOrder(m_container.GetCalls(), {"CanInPlaceActivate", "OnInPlaceActivateEx",
                                                         "GetWindowContext", "GetWindow", "ShowObject"}));
    EXPECT_FALSE(m_container.WasCalled("OnUIActivate"));
}

TEST_F(FrameActivation, SiteThatRefusesActivationGetsNoWindow)
{
    m_container.SetCanInPlaceActivate(S_FALSE);

    EXPECT_TRUE(FAILED(m_container.Embed(m_control->GetUnknown())));
    EXPECT_EQ(m_container.GetControlWindow(), nullptr);
    EXPECT_FALSE(m_container.WasCalled("OnInPlaceActivateEx"));
    EXPECT_EQ(m_control->CountMessages(WM_INITDIALOG), 0);
}

TEST(FramePlainSite, PlainSiteIsToldOfActivationAndDeactivation)
{
    const CComPtr<CTestControl> control = CTestControl::Create();
    CTestContainer container({700, 400}, CTestContainer::CSiteKind::Plain);
    ASSERT_EQ(container.Embed(control->GetUnknown()), S_OK);
    EXPECT_TRUE(IsWindow(container.GetControlWindow()));
    EXPECT_TRUE(container.WasCalled("OnInPlaceActivate"));

    container.Unload();

    EXPECT_TRUE(container.WasCalled("OnInPlaceDeactivate"));
    EXPECT_FALSE(container.WasCalled("OnInPlaceActivateEx"));
}

TEST_F(FrameActivation, ControlKeepsItsWindowWhenTheSiteAllowsWindowless)
{
    m_container.SetWindowlessAllowed(true);

    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);

    EXPECT_TRUE(IsWindow(m_container.GetControlWindow()));
}

TEST_F(FrameActivation, UIActivationTakesTheFocusAndBecomesTheActiveObject)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);

    ASSERT_EQ(m_container.DoVerb(OLEIVERB_UIACTIVATE), S_OK);

    EXPECT_TRUE(ContainsInOrder(m_container.GetCalls(), {"OnUIActivate", "SetActiveObject", "SetBorderSpace"}));
    const auto active = m_container.Query<IOleInPlaceActiveObject>();
    EXPECT_EQ(m_container.GetActiveObject(), active.Get());
    EXPECT_TRUE(HoldsFocus(m_container.GetControlWindow()));
}

TEST_F(FrameActivation, FocusFromTheHostUIActivatesAndReachesTheFirstTabStop)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    const HWND window = m_container.GetControlWindow();

    SetFocus(window);
    m_container.PumpMessages();

    EXPECT_TRUE(m_container.WasCalled("OnUIActivate"));
    EXPECT_TRUE(m_container.WasCalled("OnFocus(1)"));
    EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_TEST_EDIT));
}

TEST_F(FrameActivation, MouseActivationUIActivates)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    const HWND window = m_container.GetControlWindow();

    // What the system sends a child window when the user clicks into it.
    SendMessageW(GetDlgItem(window, IDC_TEST_APPLY), WM_MOUSEACTIVATE,
                 reinterpret_cast<WPARAM>(m_container.GetFrameWindow()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    m_container.PumpMessages();

    EXPECT_TRUE(m_container.WasCalled("OnUIActivate"));
    EXPECT_NE(m_container.GetActiveObject(), nullptr);
}

TEST_F(FrameActivation, DocumentWindowDeactivationKeepsTheControlUIActive)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    ASSERT_EQ(m_container.DoVerb(OLEIVERB_UIACTIVATE), S_OK);
    m_container.ClearCalls();

    EXPECT_EQ(m_container.GetActiveObject()->OnDocWindowActivate(FALSE), S_OK);

    EXPECT_FALSE(m_container.WasCalled("OnUIDeactivate"));
    EXPECT_NE(m_container.GetActiveObject(), nullptr);
}

TEST_F(FrameActivation, WindowQueriesAnswerUnexpectedWithoutAWindow)
{
    HWND window = reinterpret_cast<HWND>(1);
    ASSERT_EQ(m_container.Load(m_control->GetUnknown()), S_OK);

    const auto active = m_container.Query<IOleInPlaceActiveObject>();
    EXPECT_EQ(active->GetWindow(&window), E_UNEXPECTED);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(m_container.Query<IOleWindow>()->GetWindow(&window), E_UNEXPECTED);
    EXPECT_EQ(active->GetWindow(nullptr), E_POINTER);
}

TEST_F(FrameActivation, CloseDestroysTheWindowAndLeavesActivation)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    ASSERT_EQ(m_container.DoVerb(OLEIVERB_UIACTIVATE), S_OK);
    const HWND window = m_container.GetControlWindow();
    m_container.ClearCalls();

    EXPECT_EQ(m_container.Query<IOleObject>()->Close(OLECLOSE_NOSAVE), S_OK);

    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(ContainsInOrder(m_container.GetCalls(),
                                {"SetActiveObject(null)", "OnUIDeactivate", "OnInPlaceDeactivateEx"}));
    EXPECT_EQ(m_container.GetActiveObject(), nullptr);
    EXPECT_EQ(m_container.GetControlWindow(), nullptr);
    EXPECT_EQ(m_control->CountMessages(WM_DESTROY), 1);
}

TEST_F(FrameActivation, HideVerbHidesTheWindowAndActivationShowsItAgain)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    const HWND window = m_container.GetControlWindow();

    ASSERT_EQ(m_container.DoVerb(OLEIVERB_HIDE), S_OK);
    EXPECT_FALSE(IsWindowVisible(window));

    ASSERT_EQ(m_container.DoVerb(OLEIVERB_INPLACEACTIVATE), S_OK);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(m_container.GetControlWindow(), window);
}

TEST_F(FrameActivation, ResizingTheSiteMovesAndSizesTheWindow)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);

    m_container.Resize({500, 300});

    const RECT placed = GetRectInParent(m_container.GetControlWindow());
    const RECT expected{0, 0, 500, 300};
    EXPECT_TRUE(EqualRect(&placed, &expected));
}

TEST_F(FrameActivation, ClippedPositionShowsOnlyTheVisiblePart)
{
    ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
    const RECT position{10, 20, 410, 320};
    const RECT clip{0, 0, 210, 400};

    EXPECT_EQ(m_container.Query<IOleInPlaceObject>()->SetObjectRects(&position, &clip), S_OK);

    const HWND window = m_container.GetControlWindow();
    const RECT placed = GetRectInParent(window);
    EXPECT_TRUE(EqualRect(&placed, &position));
    RECT visible{};
    EXPECT_EQ(GetWindowRgnBox(window, &visible), SIMPLEREGION);
    const RECT expected{0, 0, 200, 300};
    EXPECT_TRUE(EqualRect(&visible, &expected));
}

TEST(FrameConfigurationComponent, OnlyRecordsThePositionItIsGiven)
{
    const CComPtr<CConfigurationTestControl> control = CConfigurationTestControl::Create();
    CTestContainer container;
    ASSERT_EQ(container.Embed(control->GetUnknown()), S_OK);
    const HWND window = container.GetControlWindow();
    const RECT before = GetRectInParent(window);
    const RECT position{10, 20, 410, 320};
    const auto inPlace = container.Query<IOleInPlaceObject>();

    EXPECT_EQ(inPlace->SetObjectRects(&position, &position), S_OK);
    EXPECT_EQ(inPlace->SetObjectRects(nullptr, &position), E_POINTER);

    const RECT after = GetRectInParent(window);
    EXPECT_TRUE(EqualRect(&after, &before));
    EXPECT_TRUE(EqualRect(&control->m_position, &position));
}

} // namespace
