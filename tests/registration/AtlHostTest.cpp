// A container we did not write: Wine's own AtlAxWin (atl.dll) creates the
// registered control by its ProgID and in-place activates it.
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <windows.h>

#include <memory>

namespace {

struct CComThread
{
    const HRESULT Started = CoInitialize(nullptr);
    ~CComThread() { CoUninitialize(); }
};

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

TEST(AtlHost, CreatesTheControlByItsProgIdAndShowsItsWindow)
{
    const CComThread com;
    ASSERT_EQ(com.Started, S_OK);
    const std::unique_ptr<HINSTANCE__, decltype(&FreeLibrary)> atl(LoadLibraryW(L"atl.dll"), &FreeLibrary);
    ASSERT_TRUE(atl);
    const auto init =
        reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(atl.get(), "AtlAxWinInit")));
    ASSERT_TRUE(init && init());
    const std::unique_ptr<HWND__, decltype(&DestroyWindow)> container(
        CreateWindowExW(0, L"AtlAxWin", L"ZRP.Vaz.Vexil2UI", WS_POPUP | WS_VISIBLE, 0, 0, 880, 460, nullptr, nullptr,
                        nullptr, nullptr),
        &DestroyWindow);
    ASSERT_TRUE(container);
    Pump();
    // The control's dialog window: the child of the container that has the list.
    HWND control = GetWindow(container.get(), GW_CHILD);
    while (control && !GetDlgItem(control, IDC_REGISTER_LIST))
        control = GetWindow(control, GW_HWNDNEXT);
    ASSERT_TRUE(control) << "no control window inside AtlAxWin";
    EXPECT_TRUE(IsWindowVisible(control));
}

} // namespace
