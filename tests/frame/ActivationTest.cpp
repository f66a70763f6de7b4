// How a host embeds the control: in-place and UI activation, the window and
// its placement, deactivation.
#include "tests/frame/FrameTestSupport.h"

#include <algorithm>
#include <functional>
#include <initializer_list>

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

RECT GetRectInParent(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

using FrameActivation = FrameTest;

// In-place activation, then the host places, hides, shows and closes the control.
TEST_F(FrameActivation, WindowIsMadeInTheSiteWindowPlacedClippedHiddenAndDestroyed)
{
    ASSERT_NO_FATAL_FAILURE(Embed());
    EXPECT_TRUE(ContainsInOrder(m_container.GetCalls(), {"CanInPlaceActivate", "OnInPlaceActivateEx",
                                                         "GetWindowContext", "GetWindow", "ShowObject"}));
    EXPECT_FALSE(m_container.WasCalled("OnUIActivate"));
    EXPECT_EQ(GetParent(m_window), m_container.GetSiteWindow());
    EXPECT_TRUE(IsWindowVisible(m_window));
    RECT site{};
    GetClientRect(m_container.GetSiteWindow(), &site);
    RECT placed = GetRectInParent(m_window);
    EXPECT_TRUE(EqualRect(&placed, &site));

    const RECT position{10, 20, 710, 370};
    const RECT clip{0, 0, 210, 400};
    EXPECT_EQ(Query<IOleInPlaceObject>()->SetObjectRects(&position, &clip), S_OK);
    placed = GetRectInParent(m_window);
    EXPECT_TRUE(EqualRect(&placed, &position));
    RECT visible{};
    EXPECT_EQ(GetWindowRgnBox(m_window, &visible), SIMPLEREGION);
    const RECT expected{0, 0, 200, 350};
    EXPECT_TRUE(EqualRect(&visible, &expected));

    ASSERT_EQ(m_container.DoVerb(OLEIVERB_HIDE), S_OK);
    EXPECT_FALSE(IsWindowVisible(m_window));
    ASSERT_EQ(m_container.DoVerb(OLEIVERB_UIACTIVATE), S_OK);
    EXPECT_TRUE(IsWindowVisible(m_window));
    EXPECT_EQ(m_container.GetControlWindow(), m_window);
    m_container.ClearCalls();
    EXPECT_EQ(Query<IOleObject>()->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_FALSE(IsWindow(m_window));
    EXPECT_TRUE(ContainsInOrder(m_container.GetCalls(),
                                {"SetActiveObject(null)", "OnUIDeactivate", "OnInPlaceDeactivateEx"}));
    EXPECT_EQ(m_container.GetActiveObject(), nullptr);
    EXPECT_EQ(m_container.GetControlWindow(), nullptr);
}

TEST_F(FrameActivation, SiteThatRefusesActivationGetsNoWindowAndWindowQueriesAnswerUnexpected)
{
    m_container.SetCanInPlaceActivate(S_FALSE);
    HWND window = reinterpret_cast<HWND>(1);

    EXPECT_TRUE(FAILED(m_container.Embed(m_control->GetUnknown())));
    EXPECT_FALSE(m_container.WasCalled("OnInPlaceActivateEx"));
    EXPECT_EQ(Query<IOleInPlaceActiveObject>()->GetWindow(&window), E_UNEXPECTED);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(Query<IOleWindow>()->GetWindow(&window), E_UNEXPECTED);
    EXPECT_EQ(Query<IOleInPlaceActiveObject>()->GetWindow(nullptr), E_POINTER);
}

TEST_F(FrameActivation, VerbAndFocusEachUIActivateAndMakeTheControlTheActiveObject)
{
    const struct
    {
        const char* name;
        std::function<void()> activate;
        const char* siteCall; // what the site hears besides the activation
    } cases[] = {
        {"UI activation verb", [this] { m_container.DoVerb(OLEIVERB_UIACTIVATE); }, "ShowObject"},
        {"focus from the host", [this] { SetFocus(m_window); }, "OnFocus(1)"},
    };
    for (const auto& row : cases)
    {
        SCOPED_TRACE(row.name);
        m_control = CVexil2UI::Create();
        ASSERT_NO_FATAL_FAILURE(Embed());
        m_container.ClearCalls();

        row.activate();
        m_container.PumpMessages();

        EXPECT_TRUE(ContainsInOrder(m_container.GetCalls(), {"OnUIActivate", "SetActiveObject", "SetBorderSpace"}));
        EXPECT_TRUE(m_container.WasCalled(row.siteCall));
        EXPECT_EQ(m_container.GetActiveObject(), Query<IOleInPlaceActiveObject>().Get());
        // The dialog manager has put the focus on the first tab stop.
        EXPECT_EQ(GetFocus(), GetDlgItem(m_window, IDC_REGISTER_LIST));
        // The control stays UI-active when the host's document window is deactivated.
        EXPECT_EQ(m_container.GetActiveObject()->OnDocWindowActivate(FALSE), S_OK);
        EXPECT_FALSE(m_container.WasCalled("OnUIDeactivate"));
        m_container.Unload();
    }
}

} // namespace
