#include "tests/support/TestContainerState.h"

#include "frame/com/ComObject.h"

#include <olectl.h>

#include <utility>

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

} // namespace

CComPtr<IUnknown> CreateTestSite(std::shared_ptr<CTestContainer::CState> state)
{
    const CComPtr<CTestSite> site = CTestSite::Create(std::move(state));
    return site ? CComPtr<IUnknown>(site->GetUnknown()) : CComPtr<IUnknown>();
}

CComPtr<IUnknown> CreateTestFrame(std::shared_ptr<CTestContainer::CState> state)
{
    const CComPtr<CTestFrame> frame = CTestFrame::Create(std::move(state));
    return frame ? CComPtr<IUnknown>(frame->GetUnknown()) : CComPtr<IUnknown>();
}
