#include "host/DemoWindow.h"

#include "host/Describe.h"
#include "host/SimulatorMenu.h"

#include <algorithm>

namespace {

constexpr const wchar_t* WINDOW_CLASS = L"VexilDemoHost";
// Fits a 1024 x 768 screen whole, for the screenshot of a scripted session.
constexpr int WINDOW_WIDTH = 1000;
constexpr int WINDOW_HEIGHT = 600;

template <class I> CComPtr<I> Ask(IUnknown* object)
{
    CComPtr<I> result;
    if (object)
        object->QueryInterface(__uuidof(I), result.OutVoid());
    return result;
}


} // namespace

CDemoWindow::~CDemoWindow()
{
    Close();
    if (m_window)
        DestroyWindow(m_window);
}

bool CDemoWindow::Open(const std::wstring& controlName, std::string& reason)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &CDemoWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = WINDOW_CLASS;
    RegisterClassExW(&windowClass);

    if (!m_container.Load(reason))
        return false;
    // A server handed over beforehand is a real target: no simulator, no Simulator menu.
    const bool onTarget = static_cast<bool>(m_server);
    m_window = CreateWindowExW(0, WINDOW_CLASS,
                               onTarget ? L"Vexil2 demo host: register tool on a target"
                                        : L"Vexil2 demo host: register tool on the simulator",
                               WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, nullptr,
                               onTarget ? nullptr : SimulatorMenu::CreateMenuBar(), GetModuleHandleW(nullptr), this);
    if (!m_window)
    {
        reason = DescribeFailure("CreateWindowEx", HRESULT_FROM_WIN32(GetLastError()));
        return false;
    }
    RECT client{};
    GetClientRect(m_window, &client);
    if (const HRESULT hr = m_container.CreateControl(m_window, controlName, client); FAILED(hr))
    {
        reason = DescribeFailure("Creating the control in AtlAxWin", hr);
        return false;
    }
    ShowWindow(m_window, SW_SHOW);
    UpdateWindow(m_window);
    return StartControl(reason);
}

bool CDemoWindow::StartControl(std::string& reason)
{
    m_control = m_container.GetControl();
    m_activeObject = Ask<IOleInPlaceActiveObject>(m_control.Get());

    m_context = CHostContext::Create();
    const auto member = Ask<IContextMember>(m_control.Get());
    if (!member || !m_context)
    {
        reason = "The control is no context member";
        return false;
    }
    if (const HRESULT hr = member->AttachContext(m_context.Get()); FAILED(hr))
    {
        reason = DescribeFailure("AttachContext", hr);
        return false;
    }

    HRESULT hr = S_OK;
    if (!m_server)
    {
        CLSID simulatorClass{};
        hr = CLSIDFromProgID(L"Vexil.Simulator", &simulatorClass);
        if (SUCCEEDED(hr))
            hr = CoCreateInstance(simulatorClass, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, m_server.OutVoid());
    }
    if (FAILED(hr))
    {
        reason = DescribeFailure("Creating the simulator \"Vexil.Simulator\"", hr);
        return false;
    }
    m_simulator = Ask<IVexilSimControl>(m_server.Get());
    if (m_simulator && !m_simulatorDescription.empty())
    {
        BSTR path = SysAllocString(m_simulatorDescription.c_str());
        hr = m_simulator->LoadDescription(path);
        SysFreeString(path);
        if (FAILED(hr))
        {
            reason = DescribeFailure("Loading the simulator description", hr);
            return false;
        }
    }

    const auto client = Ask<IVexilFNClient>(m_control.Get());
    const auto goClient = Ask<IGoClient>(m_control.Get());
    if (!client || !goClient)
    {
        reason = "The control lacks IVexilFNClient or IGoClient";
        return false;
    }
    if (hr = client->SetServer(m_server.Get()); FAILED(hr))
    {
        reason = DescribeFailure("SetServer", hr);
        return false;
    }
    if (hr = goClient->Go(); FAILED(hr))
    {
        reason = DescribeFailure("Go", hr);
        return false;
    }
    return true;
}

HWND CDemoWindow::GetControlWindow() const
{
    HWND window = nullptr;
    if (const auto oleWindow = Ask<IOleWindow>(m_control.Get()))
        oleWindow->GetWindow(&window);
    return window;
}

void CDemoWindow::Dispatch(MSG& message)
{
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && m_activeObject)
    {
        HWND control = GetControlWindow();
        if (control && (message.hwnd == control || IsChild(control, message.hwnd)) &&
            m_activeObject->TranslateAccelerator(&message) == S_OK)
            return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void CDemoWindow::Run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        Dispatch(message);
}

bool CDemoWindow::Pump(DWORD milliseconds, const std::function<bool()>& done)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;)
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
            if (message.message == WM_QUIT)
                return false;
            Dispatch(message);
        }
        if (!m_window)
            return false;
        if (done && done())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return !done;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 50)),
                                  QS_ALLINPUT);
    }
}

void CDemoWindow::ReleaseControl()
{
    if (const auto client = Ask<IVexilFNClient>(m_control.Get()))
        client->SetServer(nullptr);
    m_activeObject.Reset();
    m_control.Reset();
}

void CDemoWindow::Close()
{
    ReleaseControl();
    m_container.DestroyControl();
    m_simulator.Reset();
    m_server.Reset();
}

LRESULT CALLBACK CDemoWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
    {
        auto* self = static_cast<CDemoWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CDemoWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
    {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT CDemoWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_SIZE:
        if (HWND container = m_container.GetWindow())
            MoveWindow(container, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (HWND control = GetControlWindow())
            SetFocus(control);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && m_simulator && SimulatorMenu::Execute(LOWORD(wParam), *m_simulator.Get()))
            return 0;
        break;
    case WM_CLOSE:
        // The control's Close button ends up here too.
        Close();
        DestroyWindow(m_window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}
