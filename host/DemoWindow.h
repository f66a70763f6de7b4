#pragma once
// The demo host's top-level window: the register tool control embedded by the
// system's container, a host context it belongs to, the simulated register
// access server it works on, and a menu that steers the simulator.

#include "frame/com/ComPtr.h"
#include "host/AtlContainer.h"
#include "host/HostContext.h"

#include "HostFramework.h"
#include "VexilFN.h"
#include "VexilSim.h"

#include <ocidl.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

class CDemoWindow
{
public:
    CDemoWindow() = default;
    ~CDemoWindow();
    CDemoWindow(const CDemoWindow&) = delete;
    CDemoWindow& operator=(const CDemoWindow&) = delete;

    // Opens the window with the control named controlName (a ProgID or a
    // CLSID string) and starts it as a host does: context, server, Go.
    // False with a reason when a step fails.
    bool Open(const std::wstring& controlName, std::string& reason);
    // Before Open: the control works on this server instead of the simulator.
    void UseServer(IVexilFN* server) { m_server = CComPtr<IVexilFN>(server); }
    // Before Open: the simulator serves this description file instead of its built-in one.
    void UseSimulatorDescription(std::wstring path) { m_simulatorDescription = std::move(path); }

    // The message loop until the window is closed.
    void Run();
    // Dispatches messages for at most milliseconds, or until done answers true;
    // false when the window was closed meanwhile.
    bool Pump(DWORD milliseconds, const std::function<bool()>& done = {});
    // Lets the control go as a host does: no server, then the container
    // destroys the control, which saves its settings.
    void Close();

    HWND GetWindow() const { return m_window; }
    HWND GetControlWindow() const;
    IVexilSimControl* GetSimulator() const { return m_simulator.Get(); }
    // Members of the host context: the control joins at start-up and leaves when destroyed.
    std::size_t GetContextMemberCount() const { return m_context ? m_context->GetMemberCount() : 0; }
    bool IsOpen() const { return m_window != nullptr; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool StartControl(std::string& reason);
    // Keyboard messages go to the control's in-place active object first, so
    // that its dialog keys and accelerators work inside our window.
    void Dispatch(MSG& message);
    void ReleaseControl();

    HWND m_window = nullptr;
    CAtlContainer m_container;
    CComPtr<CHostContext> m_context;
    CComPtr<IUnknown> m_control;
    CComPtr<IOleInPlaceActiveObject> m_activeObject;
    CComPtr<IVexilFN> m_server;
    CComPtr<IVexilSimControl> m_simulator;
    std::wstring m_simulatorDescription;
};
