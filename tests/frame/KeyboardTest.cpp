// Keys in the UI-active control: what it keeps (dialog navigation) and what it
// leaves to the host (function keys, characters nobody wants), and how the
// host's control site is asked.
#include "tests/frame/FrameTestSupport.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace {

constexpr wchar_t ChildClass[] = L"VexilTestKeyChild"; // wants no keys: dialog code 0

MSG MakeMessage(HWND window, UINT message, WPARAM key) { return MSG{window, message, key, 1, 0, {0, 0}}; }

class FrameKeyboard : public FrameTest
{
protected:
    void SetUp() override
    {
        static const WNDCLASSW childClass{0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr,
                                          nullptr, nullptr, ChildClass};
        static const bool registered = RegisterClassW(&childClass) != 0;
        ASSERT_TRUE(registered);
        ASSERT_NO_FATAL_FAILURE(Embed());
        ASSERT_EQ(m_container.DoVerb(OLEIVERB_UIACTIVATE), S_OK);
        m_list = Item(IDC_REGISTER_LIST);
        SetFocus(m_list);
        m_container.PumpMessages();
        m_container.ClearCalls();
    }
    bool HostSawKey(UINT message, WPARAM key) const
    {
        const auto& seen = m_container.GetAccelerators();
        return std::any_of(seen.begin(), seen.end(),
                           [&](const auto& each) { return each.message.message == message && each.message.wParam == key; });
    }

    HWND m_list = nullptr;
};

TEST_F(FrameKeyboard, FunctionKeysAndCharactersForAWindowThatWantsNoneAreLeftToTheHost)
{
    const HWND plain = CreateWindowExW(0, ChildClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_window, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    for (MSG message : {MakeMessage(m_list, WM_KEYDOWN, VK_F1), MakeMessage(m_list, WM_KEYDOWN, VK_F10),
                        MakeMessage(m_list, WM_KEYDOWN, VK_F24), MakeMessage(plain, WM_CHAR, 'a')})
    {
        EXPECT_FALSE(m_control->TranslateDialogKeys(&message)) << message.wParam;
        EXPECT_EQ(m_container.TranslateAccelerator(message), S_FALSE) << message.wParam;
        EXPECT_TRUE(HostSawKey(message.message, message.wParam)) << message.wParam;
    }
    DestroyWindow(plain);
    // Without a message or a site, nothing is translated.
    const auto active = Query<IOleInPlaceActiveObject>();
    EXPECT_EQ(active->TranslateAccelerator(nullptr), E_POINTER);
    Query<IOleObject>()->SetClientSite(nullptr);
    MSG message = MakeMessage(m_list, WM_KEYDOWN, VK_F1);
    EXPECT_EQ(active->TranslateAccelerator(&message), S_FALSE);
}

TEST_F(FrameKeyboard, TabMovesTheFocusToTheNextTabStopWithoutTheHost)
{
    const HWND next = GetNextDlgTabItem(m_window, m_list, FALSE);
    ASSERT_NE(next, m_list);

    m_container.PressKey(VK_TAB);

    EXPECT_EQ(GetFocus(), next);
    EXPECT_FALSE(HostSawKey(WM_KEYDOWN, VK_TAB));
}

TEST_F(FrameKeyboard, HostSiteGetsTheModifierKeysHeldAndDecidesWhetherItTranslated)
{
    const struct
    {
        std::initializer_list<BYTE> held;
        HRESULT siteAnswer;
        DWORD modifiers;
        HRESULT expected;
    } cases[] = {
        {{VK_SHIFT, VK_CONTROL, VK_MENU}, S_OK, 7, S_OK},
        {{VK_CONTROL}, E_FAIL, 2, S_FALSE},
        {{VK_MENU}, S_FALSE, 4, S_FALSE},
    };
    std::array<BYTE, 256> saved{};
    GetKeyboardState(saved.data());
    for (const auto& row : cases)
    {
        SCOPED_TRACE(row.modifiers);
        m_container.ClearCalls();
        m_container.SetAcceleratorAnswer(row.siteAnswer);
        MSG message = MakeMessage(m_list, WM_KEYDOWN, VK_F2);
        std::array<BYTE, 256> state = saved;
        for (const BYTE key : row.held)
            state[key] = 0x80;
        SetKeyboardState(state.data());

        EXPECT_EQ(m_container.TranslateAccelerator(message), row.expected);

        SetKeyboardState(saved.data());
        ASSERT_EQ(m_container.GetAccelerators().size(), 1u);
        EXPECT_EQ(m_container.GetAccelerators()[0].modifiers, row.modifiers);
        EXPECT_EQ(m_container.GetAccelerators()[0].message.wParam, static_cast<WPARAM>(VK_F2));
    }
}

} // namespace
