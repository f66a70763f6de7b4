// Keys in the UI-active control: what it keeps (dialog navigation) and what it
// leaves to the host (function keys, characters nobody wants), and how the
// host's control site is asked.
#include "tests/frame/FrameTestSupport.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace {

MSG MakeMessage(HWND window, UINT message, WPARAM key) { return MSG{window, message, key, 1, 0, {0, 0}}; }

using FrameKeyboard = FrameTest;

// Tab stays inside; function keys and characters for a child that wants none go
// to the host's site with the modifiers held, whose answer decides; without a
// message or a site nothing is translated.
TEST_F(FrameKeyboard, TabStaysInsideAndTheRestGoesToTheHostsSiteWithTheModifiersHeld)
{
    static const WNDCLASSW childClass{0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr,
                                      nullptr, nullptr, L"VexilTestKeyChild"};
    static const bool registered = RegisterClassW(&childClass) != 0; // once a process, for repeated runs
    ASSERT_TRUE(registered);
    ASSERT_NO_FATAL_FAILURE(Embed());
    ASSERT_EQ(m_container.DoVerb(OLEIVERB_UIACTIVATE), S_OK);
    const HWND list = GetDlgItem(m_window, IDC_REGISTER_LIST);
    SetFocus(list);
    m_container.PumpMessages();
    m_container.ClearCalls();
    const auto hostSawKey = [this](UINT message, WPARAM key) {
        const auto& seen = m_container.GetAccelerators();
        return std::any_of(seen.begin(), seen.end(),
                           [&](const auto& each) { return each.message.message == message && each.message.wParam == key; });
    };

    const HWND next = GetNextDlgTabItem(m_window, list, FALSE);
    ASSERT_NE(next, list);
    m_container.PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), next);
    EXPECT_FALSE(hostSawKey(WM_KEYDOWN, VK_TAB));

    const HWND plain = CreateWindowExW(0, childClass.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_window,
                                       nullptr, GetModuleHandleW(nullptr), nullptr); // wants no keys: dialog code 0
    for (MSG message : {MakeMessage(list, WM_KEYDOWN, VK_F1), MakeMessage(list, WM_KEYDOWN, VK_F10),
                        MakeMessage(list, WM_KEYDOWN, VK_F24), MakeMessage(plain, WM_CHAR, 'a')})
    {
        EXPECT_FALSE(m_control->TranslateDialogKeys(&message)) << message.wParam;
        EXPECT_EQ(m_container.TranslateAccelerator(message), S_FALSE) << message.wParam;
        EXPECT_TRUE(hostSawKey(message.message, message.wParam)) << message.wParam;
    }
    DestroyWindow(plain);

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
        MSG message = MakeMessage(list, WM_KEYDOWN, VK_F2);
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

    const auto active = Query<IOleInPlaceActiveObject>();
    EXPECT_EQ(active->TranslateAccelerator(nullptr), E_POINTER);
    Query<IOleObject>()->SetClientSite(nullptr);
    MSG message = MakeMessage(list, WM_KEYDOWN, VK_F1);
    EXPECT_EQ(active->TranslateAccelerator(&message), S_FALSE);
}

} // namespace
