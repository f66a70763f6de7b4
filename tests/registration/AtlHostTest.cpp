// A container we did not write: Wine's own AtlAxWin (atl.dll) creates the
// registered control by its ProgID and in-place activates it; the host then
// finds the control's list and buttons by their ids.
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <windows.h>

namespace {

using AtlAxWinInitFunction = BOOL(WINAPI*)();

class AtlHost : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        m_atl = LoadLibraryW(L"atl.dll");
        ASSERT_TRUE(m_atl);
        auto init = reinterpret_cast<AtlAxWinInitFunction>(reinterpret_cast<void*>(GetProcAddress(m_atl, "AtlAxWinInit")));
        ASSERT_TRUE(init && init());
        m_frame = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 900, 500, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_TRUE(m_frame);
        ShowWindow(m_frame, SW_SHOWNOACTIVATE);
    }
    void TearDown() override
    {
        DestroyWindow(m_frame);
        Pump();
        FreeLibrary(m_atl);
        CoUninitialize();
    }
    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // The control's dialog window: the child of the container window that has the list.
    static HWND FindControlWindow(HWND container)
    {
        for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgItem(child, IDC_REGISTER_LIST))
                return child;
        return nullptr;
    }

    HMODULE m_atl = nullptr;
    HWND m_frame = nullptr;
};

TEST_F(AtlHost, CreatesTheControlByItsProgIdAndShowsItsWindow)
{
    HWND container = CreateWindowExW(0, L"AtlAxWin", L"ZRP.Vaz.Vexil2UI", WS_CHILD | WS_VISIBLE, 0, 0, 880, 460,
                                     m_frame, nullptr, nullptr, nullptr);
    ASSERT_TRUE(container);
    Pump();
    HWND control = FindControlWindow(container);
    ASSERT_TRUE(control) << "no control window inside AtlAxWin";
    EXPECT_TRUE(IsWindowVisible(control));
    char className[64] = {};
    GetClassNameA(GetDlgItem(control, IDC_REGISTER_LIST), className, sizeof className);
    EXPECT_STREQ(className, "SysListView32");
    for (const int id : {IDC_READ, IDC_WRITE, IDC_ABORT, IDC_CONFIGURE, IDC_OPTIONS, IDC_CLOSE, IDC_HELP_BUTTON,
                         IDC_USE_REPEAT, IDC_LIST_GROUP})
        EXPECT_TRUE(GetDlgItem(control, id)) << id;
    // Without a server only what needs none is usable.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(control, IDC_READ)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(control, IDC_CONFIGURE)));
    DestroyWindow(container);
    Pump();
}

} // namespace
