#include "tests/support/TestContainer.h"

#include "frame/Gdi.h"
#include "frame/com/ComObject.h"

#include <olectl.h>

#include <algorithm>
#include <map>
#include <utility>

struct CTestContainer::CState
{
    HWND frameWindow = nullptr;
    HWND siteWindow = nullptr;
    CSiteKind kind = CSiteKind::Windowless;
    std::vector<std::string> calls;
    std::vector<CAccelerator> accelerators;
    std::map<UINT, int> frameMessages;
    HRESULT acceleratorAnswer = S_FALSE;
    HRESULT canInPlaceActivate = S_OK;
    bool windowlessAllowed = false;
    std::optional<OLE_COLOR> backColor;
    CComPtr<IOleInPlaceActiveObject> activeObject;
    CComPtr<IOleInPlaceFrame> frame;

    void Record(std::string call) { calls.push_back(std::move(call)); }
};

namespace {

constexpr DISPID AmbientBackColor = -701;
constexpr DISPID AmbientLocale = -705;
constexpr DISPID AmbientMessageReflect = -706;
constexpr DISPID AmbientUserMode = -709;
constexpr DISPID AmbientUIDead = -710;
constexpr DISPID AmbientShowGrabHandles = -711;
constexpr DISPID AmbientShowHatching = -712;

using CState = CTestContainer::CState;
using CSiteKind = CTestContainer::CSiteKind;

// The in-place frame: the host's top-level window.
class CTestFrame final : public CComObjectImpl<CTestFrame, IOleInPlaceFrame>
{
public:
    using Interfaces = CInterfaceMap<Entry<IOleInPlaceFrame>, Entry<IOleInPlaceUIWindow, IOleInPlaceFrame>,
                                     Entry<IOleWindow, IOleInPlaceFrame>>;

    explicit CTestFrame(std::shared_ptr<CState> state) : m_state(std::move(state)) {}

    STDMETHODIMP GetWindow(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        *window = m_state->frameWindow;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
    STDMETHODIMP GetBorder(LPRECT border) override
    {
        if (!border)
            return E_POINTER;
        return ::GetClientRect(m_state->frameWindow, border) ? S_OK : E_FAIL;
    }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override
    {
        m_state->Record("SetBorderSpace");
        return S_OK;
    }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override
    {
        m_state->Record(object ? "SetActiveObject" : "SetActiveObject(null)");
        m_state->activeObject = object;
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    std::shared_ptr<CState> m_state;
};

// The client site with the in-place, control, ambient and advise sides.
class CTestSite final : public CComObjectImpl<CTestSite, IOleClientSite, IOleInPlaceSiteWindowless, IOleControlSite,
                                              IDispatch, IAdviseSink>
{
public:
    using Interfaces =
        CInterfaceMap<Entry<IOleClientSite>, Entry<IOleInPlaceSite, IOleInPlaceSiteWindowless>,
                      Entry<IOleInPlaceSiteEx, IOleInPlaceSiteWindowless>, Entry<IOleInPlaceSiteWindowless>,
                      Entry<IOleWindow, IOleInPlaceSiteWindowless>, Entry<IOleControlSite>, Entry<IDispatch>,
                      Entry<IAdviseSink>>;

    explicit CTestSite(std::shared_ptr<CState> state) : m_state(std::move(state)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        const bool hidden =
            (m_state->kind != CSiteKind::Windowless && InlineIsEqualGUID(iid, IID_IOleInPlaceSiteWindowless)) ||
            (m_state->kind == CSiteKind::Plain && InlineIsEqualGUID(iid, IID_IOleInPlaceSiteEx));
        if (hidden && out)
        {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return CComObjectImpl::QueryInterface(iid, out);
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return Record("SaveObject"); }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override
    {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return Record("ShowObject"); }
    STDMETHODIMP OnShowWindow(BOOL) override { return Record("OnShowWindow"); }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        m_state->Record("GetWindow");
        *window = m_state->siteWindow;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override
    {
        m_state->Record("CanInPlaceActivate");
        return m_state->canInPlaceActivate;
    }
    STDMETHODIMP OnInPlaceActivate() override { return Record("OnInPlaceActivate"); }
    STDMETHODIMP OnUIActivate() override { return Record("OnUIActivate"); }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override
    {
        if (!frame || !document || !position || !clip || !info)
            return E_POINTER;
        m_state->Record("GetWindowContext");
        m_state->frame.CopyTo(frame);
        *document = nullptr; // the document window is the frame
        ::GetClientRect(m_state->siteWindow, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = m_state->frameWindow;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return Record("OnUIDeactivate"); }
    STDMETHODIMP OnInPlaceDeactivate() override { return Record("OnInPlaceDeactivate"); }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return Record("OnPosRectChange"); }

    // IOleInPlaceSiteEx
    STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD) override
    {
        if (noRedraw)
            *noRedraw = FALSE;
        return Record("OnInPlaceActivateEx");
    }
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override { return Record("OnInPlaceDeactivateEx"); }
    STDMETHODIMP RequestUIActivate() override { return Record("RequestUIActivate"); }

    // IOleInPlaceSiteWindowless
    STDMETHODIMP CanWindowlessActivate() override
    {
        m_state->Record("CanWindowlessActivate");
        return m_state->windowlessAllowed ? S_OK : S_FALSE;
    }
    STDMETHODIMP GetCapture() override { return S_FALSE; }
    STDMETHODIMP SetCapture(BOOL) override { return S_FALSE; }
    STDMETHODIMP GetFocus() override { return S_FALSE; }
    STDMETHODIMP SetFocus(BOOL) override { return S_FALSE; }
    STDMETHODIMP GetDC(LPCRECT, DWORD, HDC* dc) override
    {
        if (dc)
            *dc = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP ReleaseDC(HDC) override { return E_NOTIMPL; }
    STDMETHODIMP InvalidateRect(LPCRECT, BOOL) override { return Record("InvalidateRect"); }
    STDMETHODIMP InvalidateRgn(HRGN, BOOL) override { return Record("InvalidateRgn"); }
    STDMETHODIMP ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return E_NOTIMPL; }
    STDMETHODIMP AdjustRect(LPRECT) override { return S_OK; }
    STDMETHODIMP OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) override
    {
        if (result)
            *result = 0;
        return S_FALSE;
    }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return Record("OnControlInfoChanged"); }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** control) override
    {
        if (control)
            *control = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG* message, DWORD modifiers) override
    {
        m_state->Record("TranslateAccelerator");
        if (message)
            m_state->accelerators.push_back({*message, modifiers});
        return m_state->acceleratorAnswer;
    }
    STDMETHODIMP OnFocus(BOOL focus) override { return Record(focus ? "OnFocus(1)" : "OnFocus(0)"); }
    STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        m_state->Record("Ambient(" + std::to_string(id) + ")");
        if (!(flags & DISPATCH_PROPERTYGET) || !result)
            return DISP_E_MEMBERNOTFOUND;
        VariantInit(result);
        switch (id)
        {
        case AmbientBackColor:
            if (!m_state->backColor)
                return DISP_E_MEMBERNOTFOUND;
            V_VT(result) = VT_I4;
            V_I4(result) = static_cast<LONG>(*m_state->backColor);
            return S_OK;
        case AmbientLocale:
            V_VT(result) = VT_I4;
            V_I4(result) = static_cast<LONG>(GetUserDefaultLCID());
            return S_OK;
        case AmbientUserMode:
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = VARIANT_TRUE;
            return S_OK;
        case AmbientMessageReflect:
        case AmbientUIDead:
        case AmbientShowGrabHandles:
        case AmbientShowHatching:
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = VARIANT_FALSE;
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

    // IAdviseSink
    STDMETHODIMP_(void) OnDataChange(FORMATETC*, STGMEDIUM*) override { m_state->Record("OnDataChange"); }
    STDMETHODIMP_(void) OnViewChange(DWORD, LONG) override { m_state->Record("OnViewChange"); }
    STDMETHODIMP_(void) OnRename(IMoniker*) override { m_state->Record("OnRename"); }
    STDMETHODIMP_(void) OnSave() override { m_state->Record("OnSave"); }
    STDMETHODIMP_(void) OnClose() override { m_state->Record("OnClose"); }

private:
    HRESULT Record(const char* call)
    {
        m_state->Record(call);
        return S_OK;
    }

    std::shared_ptr<CState> m_state;
};

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

    const CComPtr<CTestSite> site = CTestSite::Create(m_state);
    m_site = site->GetUnknown();
    const CComPtr<CTestFrame> inPlaceFrame = CTestFrame::Create(m_state);
    m_frame = inPlaceFrame->GetUnknown();
    m_state->frame = inPlaceFrame.Get();
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
