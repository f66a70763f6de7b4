#include "tests/support/TestContainer.h"

#include "frame/HiMetric.h"

namespace {

constexpr wchar_t FrameClass[] = L"VexilTestContainerFrame";
constexpr wchar_t SiteClass[] = L"VexilTestContainerSite";

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<CTestContainer::CState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!state || (message != WM_CLOSE && message != WM_HELP))
        return DefWindowProcW(window, message, wParam, lParam);
    ++state->frameMessages[message];
    return message == WM_HELP ? TRUE : 0;
}

void RegisterWindowClasses()
{
    static const bool registered = [] {
        WNDCLASSW frame{0, FrameProc, 0, 0, GetModuleHandleW(nullptr), nullptr,
                        LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)), GetSysColorBrush(COLOR_WINDOW), nullptr,
                        FrameClass};
        RegisterClassW(&frame);
        WNDCLASSW site = frame;
        site.lpfnWndProc = DefWindowProcW;
        site.lpszClassName = SiteClass;
        return RegisterClassW(&site) != 0;
    }();
    (void)registered;
}

bool IsInputMessage(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

} // namespace

CTestContainer::CTestContainer(SIZE siteSize)
{
    RegisterWindowClasses();
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
    SetWindowLongPtrW(m_state->frameWindow, GWLP_USERDATA, 0);
    DestroyWindow(m_state->frameWindow);
    PumpMessages();
}

HRESULT CTestContainer::Load(IUnknown* control)
{
    Unload();
    m_control = control;
    HRESULT hr = m_control.QueryInterface(m_oleObject);
    CComPtr<IOleClientSite> site;
    m_site.QueryInterface(site);
    // Our controls ask for the client site before they are initialised.
    if (FAILED(hr) || FAILED(hr = m_oleObject->SetClientSite(site.Get())))
        return hr;
    if (const auto persist = Query<IPersistStreamInit>(); persist && FAILED(hr = persist->InitNew()))
        return hr;
    CComPtr<IAdviseSink> sink;
    m_site.QueryInterface(sink);
    if (const auto view = Query<IViewObject>())
        view->SetAdvise(DVASPECT_CONTENT, 0, sink.Get());
    const RECT rect = GetSiteRect();
    SIZEL extent = ConvertPixelsToHiMetric({rect.right - rect.left, rect.bottom - rect.top});
    return m_oleObject->SetExtent(DVASPECT_CONTENT, &extent);
}

HRESULT CTestContainer::DoVerb(LONG verb)
{
    CComPtr<IOleClientSite> site;
    m_site.QueryInterface(site);
    const RECT rect = GetSiteRect();
    const HRESULT hr = m_oleObject->DoVerb(verb, nullptr, site.Get(), 0, m_state->siteWindow, &rect);
    const auto inPlace = Query<IOleInPlaceObject>();
    if (SUCCEEDED(hr) && inPlace && (verb == OLEIVERB_INPLACEACTIVATE || verb == OLEIVERB_UIACTIVATE))
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

HWND CTestContainer::GetControlWindow() const
{
    HWND window = nullptr;
    const auto oleWindow = Query<IOleWindow>();
    return oleWindow && SUCCEEDED(oleWindow->GetWindow(&window)) ? window : nullptr;
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
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_QUIT; ++i)
    {
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
    const HWND target = ::GetFocus() ? ::GetFocus() : m_state->frameWindow;
    const LPARAM down = 1 | static_cast<LPARAM>(MapVirtualKeyW(virtualKey, 0) << 16); // MAPVK_VK_TO_VSC
    PostMessageW(target, WM_KEYDOWN, virtualKey, down);
    PostMessageW(target, WM_KEYUP, virtualKey, down | (1LL << 30) | (1LL << 31));
    PumpMessages();
}

HRESULT CTestContainer::AdviseData()
{
    CComPtr<IAdviseSink> sink;
    m_site.QueryInterface(sink);
    FORMATETC format{0, nullptr, DVASPECT_CONTENT, -1, TYMED_NULL};
    DWORD connection = 0;
    return Query<IDataObject>()->DAdvise(&format, ADVF_NODATA, sink.Get(), &connection);
}
