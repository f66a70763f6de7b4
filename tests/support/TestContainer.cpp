#include "tests/support/TestContainer.h"

#include "tests/support/TestContainerState.h"

#include "frame/Gdi.h"

#include <olectl.h>

#include <algorithm>
#include <utility>

namespace {

constexpr DISPID AmbientBackColor = -701;
using CState = CTestContainer::CState;

constexpr wchar_t FrameClass[] = L"VexilTestContainerFrame";
constexpr wchar_t SiteClass[] = L"VexilTestContainerSite";

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<CState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state && (message == WM_CLOSE || message == WM_HELP))
    {
        ++state->frameMessages[message];
        return message == WM_HELP ? TRUE : 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClasses()
{
    static const bool registered = [] {
        WNDCLASSW frame{};
        frame.lpfnWndProc = FrameProc;
        frame.hInstance = GetModuleHandleW(nullptr);
        frame.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        frame.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        frame.lpszClassName = FrameClass;
        RegisterClassW(&frame);
        WNDCLASSW site = frame;
        site.lpfnWndProc = DefWindowProcW;
        site.lpszClassName = SiteClass;
        RegisterClassW(&site);
        return true;
    }();
    (void)registered;
}

bool IsInputMessage(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

SIZEL ToHiMetric(HWND window, SIZE pixels)
{
    const CWindowDC dc(window);
    const int dpiX = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : 96;
    const int dpiY = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
    return {MulDiv(pixels.cx, 2540, dpiX), MulDiv(pixels.cy, 2540, dpiY)};
}

} // namespace

CTestContainer::CTestContainer(SIZE siteSize, CSiteKind kind) : m_state(std::make_shared<CState>())
{
    RegisterWindowClasses();
    m_state->kind = kind;
    RECT frame{0, 0, siteSize.cx, siteSize.cy};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    m_state->frameWindow = CreateWindowExW(0, FrameClass, L"Vexil test container", style, 0, 0,
                                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                           GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_state->frameWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_state.get()));
    m_state->siteWindow =
        CreateWindowExW(WS_EX_CONTROLPARENT, SiteClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                        siteSize.cx, siteSize.cy, m_state->frameWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(m_state->frameWindow, SW_SHOW);
    SetForegroundWindow(m_state->frameWindow);
    SetActiveWindow(m_state->frameWindow);

    m_site = CreateTestSite(m_state);
    m_frame = CreateTestFrame(m_state);
    m_frame.QueryInterface(m_state->frame);
    PumpMessages();
}

CTestContainer::~CTestContainer()
{
    Unload();
    m_state->frame.Reset();
    m_state->activeObject.Reset();
    m_site.Reset();
    m_frame.Reset();
    if (m_state->frameWindow)
    {
        SetWindowLongPtrW(m_state->frameWindow, GWLP_USERDATA, 0);
        DestroyWindow(m_state->frameWindow);
    }
    PumpMessages();
}

HRESULT CTestContainer::Load(IUnknown* control)
{
    Unload();
    if (!control)
        return E_POINTER;
    m_control = control;
    HRESULT hr = m_control.QueryInterface(m_oleObject);
    if (FAILED(hr))
        return hr;
    CComPtr<IOleClientSite> site;
    m_site.QueryInterface(site);
    DWORD status = 0;
    m_oleObject->GetMiscStatus(DVASPECT_CONTENT, &status);
    const bool siteFirst = (status & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst && FAILED(hr = m_oleObject->SetClientSite(site.Get())))
        return hr;
    CComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(m_control.QueryInterface(persist)) && persist && FAILED(hr = persist->InitNew()))
        return hr;
    if (!siteFirst && FAILED(hr = m_oleObject->SetClientSite(site.Get())))
        return hr;
    m_oleObject->SetHostNames(L"Vexil test container", nullptr);
    CComPtr<IViewObject> view;
    CComPtr<IAdviseSink> sink;
    m_site.QueryInterface(sink);
    if (SUCCEEDED(m_control.QueryInterface(view)) && view)
        view->SetAdvise(DVASPECT_CONTENT, 0, sink.Get());
    const RECT rect = GetSiteRect();
    SIZEL extent = ToHiMetric(m_state->siteWindow, {rect.right - rect.left, rect.bottom - rect.top});
    return m_oleObject->SetExtent(DVASPECT_CONTENT, &extent);
}

HRESULT CTestContainer::DoVerb(LONG verb)
{
    if (!m_oleObject)
        return E_UNEXPECTED;
    CComPtr<IOleClientSite> site;
    m_site.QueryInterface(site);
    const RECT rect = GetSiteRect();
    const HRESULT hr = m_oleObject->DoVerb(verb, nullptr, site.Get(), 0, m_state->siteWindow, &rect);
    const bool activating = verb == OLEIVERB_INPLACEACTIVATE || verb == OLEIVERB_UIACTIVATE ||
                            verb == OLEIVERB_SHOW || verb == OLEIVERB_PRIMARY;
    if (SUCCEEDED(hr) && activating)
        if (const auto inPlace = Query<IOleInPlaceObject>())
            inPlace->SetObjectRects(&rect, &rect);
    PumpMessages();
    return hr;
}

HRESULT CTestContainer::Embed(IUnknown* control)
{
    const HRESULT hr = Load(control);
    return FAILED(hr) ? hr : DoVerb(OLEIVERB_INPLACEACTIVATE);
}

void CTestContainer::Unload()
{
    if (m_oleObject)
    {
        m_oleObject->Close(OLECLOSE_NOSAVE);
        m_oleObject->SetClientSite(nullptr);
    }
    m_state->activeObject.Reset();
    m_oleObject.Reset();
    m_control.Reset();
    PumpMessages();
}

void CTestContainer::Resize(SIZE siteSize)
{
    SetWindowPos(m_state->siteWindow, nullptr, 0, 0, siteSize.cx, siteSize.cy, SWP_NOZORDER | SWP_NOMOVE);
    if (!m_oleObject)
        return;
    SIZEL extent = ToHiMetric(m_state->siteWindow, siteSize);
    m_oleObject->SetExtent(DVASPECT_CONTENT, &extent);
    const RECT rect = GetSiteRect();
    if (const auto inPlace = Query<IOleInPlaceObject>())
        inPlace->SetObjectRects(&rect, &rect);
    PumpMessages();
}

HWND CTestContainer::GetFrameWindow() const { return m_state->frameWindow; }
HWND CTestContainer::GetSiteWindow() const { return m_state->siteWindow; }

HWND CTestContainer::GetControlWindow() const
{
    HWND window = nullptr;
    if (const auto oleWindow = Query<IOleWindow>())
        if (FAILED(oleWindow->GetWindow(&window)))
            window = nullptr;
    return window;
}

RECT CTestContainer::GetSiteRect() const
{
    RECT rect{};
    ::GetClientRect(m_state->siteWindow, &rect);
    return rect;
}

HRESULT CTestContainer::TranslateAccelerator(MSG& message)
{
    // The object may go away while it translates.
    const CComPtr<IOleInPlaceActiveObject> active = m_state->activeObject;
    return active ? active->TranslateAccelerator(&message) : S_FALSE;
}

void CTestContainer::PumpMessages()
{
    // Bounded, so that a window that keeps posting never stalls a test.
    MSG message{};
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i)
    {
        if (message.message == WM_QUIT)
            break;
        if (IsInputMessage(message.message) && TranslateAccelerator(message) == S_OK)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void CTestContainer::PumpMessagesFor(DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64())
    {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        PumpMessages();
    }
}

void CTestContainer::PressKey(UINT virtualKey)
{
    HWND target = ::GetFocus();
    if (!target)
        target = m_state->frameWindow;
    const UINT scan = MapVirtualKeyW(virtualKey, 0); // MAPVK_VK_TO_VSC
    const LPARAM down = 1 | static_cast<LPARAM>(scan << 16);
    const LPARAM up = down | (1LL << 30) | (1LL << 31);
    PostMessageW(target, WM_KEYDOWN, virtualKey, down);
    PostMessageW(target, WM_KEYUP, virtualKey, up);
    PumpMessages();
}

void CTestContainer::SetAmbientBackColor(std::optional<OLE_COLOR> color) { m_state->backColor = color; }

HRESULT CTestContainer::ChangeAmbientBackColor(OLE_COLOR color)
{
    m_state->backColor = color;
    const auto control = Query<IOleControl>();
    const HRESULT hr = control ? control->OnAmbientPropertyChange(AmbientBackColor) : E_NOINTERFACE;
    PumpMessages();
    return hr;
}

void CTestContainer::SetAcceleratorAnswer(HRESULT answer) { m_state->acceleratorAnswer = answer; }
void CTestContainer::SetCanInPlaceActivate(HRESULT answer) { m_state->canInPlaceActivate = answer; }
void CTestContainer::SetWindowlessAllowed(bool allowed) { m_state->windowlessAllowed = allowed; }

HRESULT CTestContainer::AdviseData()
{
    const auto data = Query<IDataObject>();
    if (!data)
        return E_NOINTERFACE;
    CComPtr<IAdviseSink> sink;
    m_site.QueryInterface(sink);
    FORMATETC format{0, nullptr, DVASPECT_CONTENT, -1, TYMED_NULL};
    DWORD connection = 0;
    return data->DAdvise(&format, ADVF_NODATA, sink.Get(), &connection);
}

const std::vector<std::string>& CTestContainer::GetCalls() const { return m_state->calls; }

int CTestContainer::CountCalls(std::string_view name) const
{
    return static_cast<int>(std::count(m_state->calls.begin(), m_state->calls.end(), name));
}

void CTestContainer::ClearCalls()
{
    m_state->calls.clear();
    m_state->accelerators.clear();
}

const std::vector<CTestContainer::CAccelerator>& CTestContainer::GetAccelerators() const
{
    return m_state->accelerators;
}

IOleInPlaceActiveObject* CTestContainer::GetActiveObject() const { return m_state->activeObject.Get(); }

int CTestContainer::CountFrameMessages(UINT message) const
{
    const auto found = m_state->frameMessages.find(message);
    return found == m_state->frameMessages.end() ? 0 : found->second;
}
