// Keys in a UI-active control built on the frame: what the control keeps
// (its own keys, dialog navigation, children that translate for themselves)
// and what it leaves to the host (function keys, characters nobody wants),
// and how the host's control site is asked.
#include "tests/frame/FrameTestSupport.h"
#include "tests/frame/TestControl.h"
#include "tests/support/TestContainer.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

namespace {

constexpr wchar_t ForwardingClass[] = L"VexilTestForwarding";
constexpr wchar_t PlainClass[] = L"VexilTestPlain";

// A child window that translates every message forwarded to it and counts them.
int forwardedMessages = 0;
UINT lastForwarded = 0;

LRESULT CALLBACK ForwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_FORWARDMSG)
    {
        ++forwardedMessages;
        lastForwarded = reinterpret_cast<const MSG*>(lParam)->message;
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterTestClasses()
{
    static const bool registered = [] {
        WNDCLASSW forwarding{};
        forwarding.lpfnWndProc = ForwardingProc;
        forwarding.hInstance = GetModuleHandleW(nullptr);
        forwarding.lpszClassName = ForwardingClass;
        RegisterClassW(&forwarding);
        WNDCLASSW plain = forwarding;
        plain.lpfnWndProc = DefWindowProcW; // dialog code 0: wants no keys
        plain.lpszClassName = PlainClass;
        RegisterClassW(&plain);
        return true;
    }();
    (void)registered;
}

// Holds modifier keys down for the thread while it lives.
class CHeldKeys
{
public:
    explicit CHeldKeys(std::initializer_list<BYTE> keys)
    {
        GetKeyboardState(m_saved.data());
        std::array<BYTE, 256> state = m_saved;
        for (const BYTE key : keys)
            state[key] = 0x80;
        SetKeyboardState(state.data());
    }
    ~CHeldKeys() { SetKeyboardState(m_saved.data()); }
    CHeldKeys(const CHeldKeys&) = delete;
    CHeldKeys& operator=(const CHeldKeys&) = delete;

private:
    std::array<BYTE, 256> m_saved{};
};

MSG MakeKeyDown(HWND window, UINT key) { return MSG{window, WM_KEYDOWN, key, 1, 0, {0, 0}}; }

class FrameKeyboard : public testing::Test
{
protected:
    void SetUp() override
    {
        RegisterTestClasses();
        forwardedMessages = 0;
        lastForwarded = 0;
        ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
        ASSERT_EQ(m_container.DoVerb(OLEIVERB_UIACTIVATE), S_OK);
        m_window = m_container.GetControlWindow();
        m_edit = GetDlgItem(m_window, IDC_TEST_EDIT);
        SetFocus(m_edit);
        m_container.PumpMessages();
        m_container.ClearCalls();
    }

    bool HostSawKey(UINT message, WPARAM key) const
    {
        for (const auto& accelerator : m_container.GetAccelerators())
            if (accelerator.message.message == message && accelerator.message.wParam == key)
                return true;
        return false;
    }

    CComPtr<CTestControl> m_control = CTestControl::Create();
    CTestContainer m_container;
    HWND m_window = nullptr;
    HWND m_edit = nullptr;
};

TEST_F(FrameKeyboard, F1PressedInTheControlReachesTheHost)
{
    m_container.PressKey(VK_F1);

    EXPECT_GT(m_control->m_preTranslations, 0);
    EXPECT_TRUE(HostSawKey(WM_KEYDOWN, VK_F1));
}

TEST_F(FrameKeyboard, FunctionKeysAreNotTranslatedByTheControl)
{
    for (const UINT key : {VK_F1, VK_F10, VK_F24})
    {
        MSG message = MakeKeyDown(m_edit, key);
        EXPECT_FALSE(m_control->TranslateDialogKeys(&message)) << key;
        EXPECT_EQ(m_container.TranslateAccelerator(message), S_FALSE) << key;
    }
}

TEST_F(FrameKeyboard, HostSiteGetsTheModifierKeysHeld)
{
    MSG message = MakeKeyDown(m_edit, VK_F2);
    {
        const CHeldKeys held{VK_SHIFT, VK_CONTROL, VK_MENU};
        m_container.TranslateAccelerator(message);
    }
    {
        const CHeldKeys held{VK_CONTROL};
        m_container.TranslateAccelerator(message);
    }
    {
        const CHeldKeys held{VK_SHIFT};
        m_container.TranslateAccelerator(message);
    }
    m_container.TranslateAccelerator(message);

    const auto& seen = m_container.GetAccelerators();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].modifiers, 7u);
    EXPECT_EQ(seen[1].modifiers, 2u);
    EXPECT_EQ(seen[2].modifiers, 1u);
    EXPECT_EQ(seen[3].modifiers, 0u);
    EXPECT_EQ(seen[0].message.wParam, static_cast<WPARAM>(VK_F2));
}

TEST_F(FrameKeyboard, HostSiteDecidesWhetherItsKeyWasTranslated)
{
    MSG message = MakeKeyDown(m_edit, VK_F3);

    m_container.SetAcceleratorAnswer(S_OK);
    EXPECT_EQ(m_container.TranslateAccelerator(message), S_OK);
    m_container.SetAcceleratorAnswer(E_FAIL);
    EXPECT_EQ(m_container.TranslateAccelerator(message), S_FALSE);
    m_container.SetAcceleratorAnswer(S_FALSE);
    EXPECT_EQ(m_container.TranslateAccelerator(message), S_FALSE);
}

TEST_F(FrameKeyboard, ControlsOwnKeysComeBeforeTheHost)
{
    MSG message = MakeKeyDown(m_edit, CTestControl::OwnKey);

    EXPECT_EQ(m_container.TranslateAccelerator(message), S_OK);

    EXPECT_EQ(m_control->m_ownKeys, 1);
    EXPECT_FALSE(m_container.WasCalled("TranslateAccelerator"));
}

TEST_F(FrameKeyboard, TabMovesTheFocusToTheNextTabStopOfTheControl)
{
    m_container.PressKey(VK_TAB);

    EXPECT_EQ(GetFocus(), GetDlgItem(m_window, IDC_TEST_APPLY));
    EXPECT_FALSE(HostSawKey(WM_KEYDOWN, VK_TAB));
}

TEST_F(FrameKeyboard, CharactersForAWindowThatWantsNoneGoToTheHost)
{
    const HWND plain = CreateWindowExW(0, PlainClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_window, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    MSG character{plain, WM_CHAR, 'a', 1, 0, {0, 0}};

    EXPECT_FALSE(m_control->TranslateDialogKeys(&character));
    EXPECT_EQ(m_container.TranslateAccelerator(character), S_FALSE);
    EXPECT_TRUE(HostSawKey(WM_CHAR, 'a'));
    DestroyWindow(plain);
}

TEST_F(FrameKeyboard, ChildThatTranslatesForwardedMessagesKeepsThem)
{
    const HWND forwarding = CreateWindowExW(0, ForwardingClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, m_window,
                                            nullptr, GetModuleHandleW(nullptr), nullptr);
    const HWND inner = CreateWindowExW(0, PlainClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, forwarding, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    SetFocus(inner);
    MSG message = MakeKeyDown(inner, 'Q');

    EXPECT_EQ(m_container.TranslateAccelerator(message), S_OK);

    EXPECT_EQ(forwardedMessages, 1);
    EXPECT_EQ(lastForwarded, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_FALSE(m_container.WasCalled("TranslateAccelerator"));
    DestroyWindow(forwarding);
}

TEST_F(FrameKeyboard, MessagesOtherThanKeysAndMouseAreLeftUntranslated)
{
    const HWND forwarding = CreateWindowExW(0, ForwardingClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, m_window,
                                            nullptr, GetModuleHandleW(nullptr), nullptr);
    SetFocus(forwarding);
    MSG timer{forwarding, WM_TIMER, 1, 0, 0, {0, 0}};
    MSG click{forwarding, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, {0, 0}};

    EXPECT_FALSE(m_control->TranslateDialogKeys(&timer));
    EXPECT_EQ(forwardedMessages, 0);
    EXPECT_TRUE(m_control->TranslateDialogKeys(&click));
    EXPECT_EQ(forwardedMessages, 1);
    DestroyWindow(forwarding);
}

TEST_F(FrameKeyboard, AcceleratorsNeedAMessageAndASite)
{
    const auto active = m_container.Query<IOleInPlaceActiveObject>();
    EXPECT_EQ(active->TranslateAccelerator(nullptr), E_POINTER);

    m_container.Query<IOleObject>()->SetClientSite(nullptr);
    MSG message = MakeKeyDown(m_edit, VK_F1);
    EXPECT_EQ(active->TranslateAccelerator(&message), S_FALSE);
}

} // namespace
