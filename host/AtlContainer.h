#pragma once
// The system's own control container: the "AtlAxWin" window class of Wine's
// (or Windows') atl.dll, reached through LoadLibrary because mingw ships no
// ATL headers. A child window of that class creates the control named by its
// window text (a ProgID or a CLSID string), in-place activates it and
// destroys it with the window.

#include "frame/com/ComPtr.h"

#include <windows.h>

#include <memory>
#include <string>

class CAtlContainer
{
public:
    CAtlContainer() = default;
    ~CAtlContainer();
    CAtlContainer(const CAtlContainer&) = delete;
    CAtlContainer& operator=(const CAtlContainer&) = delete;

    // Loads atl.dll and registers its window class; false with a reason on failure.
    bool Load(std::string& reason);
    // Creates the container window as a child of parent and the control in it.
    HRESULT CreateControl(HWND parent, const std::wstring& name, const RECT& position);
    // Destroys the container window, and with it the control.
    void DestroyControl();

    HWND GetWindow() const { return m_window; }
    CComPtr<IUnknown> GetControl() const;

private:
    struct CLibraryRelease
    {
        void operator()(HMODULE module) const { FreeLibrary(module); }
    };
    using GetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

    std::unique_ptr<std::remove_pointer_t<HMODULE>, CLibraryRelease> m_library;
    GetControlFunction m_getControl = nullptr;
    HWND m_window = nullptr;
};
