#include "tests/support/TestContainer.h"

#include "frame/com/ComObject.h"

#include <olectl.h>

#include <utility>

namespace {

using CState = CTestContainer::CState;

// The in-place frame: the host's top-level window. It records the calls
// that make or unmake the control the active object.
class CTestFrame final : public CComObjectImpl<CTestFrame, IOleInPlaceFrame>
{
public:
    using Interfaces = CInterfaceMap<Entry<IOleInPlaceFrame>, Entry<IOleInPlaceUIWindow, IOleInPlaceFrame>,
                                     Entry<IOleWindow, IOleInPlaceFrame>>;

    explicit CTestFrame(std::shared_ptr<CState> state) : m_state(std::move(state)) {}

    STDMETHODIMP GetWindow(HWND* window) override
    {
        *window = m_state->frameWindow;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
    STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return m_state->Record("SetBorderSpace"); }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override
    {
        m_state->activeObject = object;
        return m_state->Record(object ? "SetActiveObject" : "SetActiveObject(null)");
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

// The client site with the in-place (Ex), control, ambient and advise sides.
class CTestSite final
    : public CComObjectImpl<CTestSite, IOleClientSite, IOleInPlaceSiteEx, IOleControlSite, IDispatch, IAdviseSink>
{
public:
    using Interfaces = CInterfaceMap<Entry<IOleClientSite>, Entry<IOleInPlaceSite, IOleInPlaceSiteEx>,
                                     Entry<IOleInPlaceSiteEx>, Entry<IOleWindow, IOleInPlaceSiteEx>,
                                     Entry<IOleControlSite>, Entry<IDispatch>, Entry<IAdviseSink>>;

    explicit CTestSite(std::shared_ptr<CState> state) : m_state(std::move(state)) {}

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return m_state->Record("SaveObject"); }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return m_state->Record("ShowObject"); }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceSite and IOleInPlaceSiteEx
    STDMETHODIMP GetWindow(HWND* window) override
    {
        *window = m_state->siteWindow;
        return m_state->Record("GetWindow");
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
    STDMETHODIMP CanInPlaceActivate() override
    {
        m_state->Record("CanInPlaceActivate");
        return m_state->canInPlaceActivate;
    }
    STDMETHODIMP OnInPlaceActivate() override { return m_state->Record("OnInPlaceActivate"); }
    STDMETHODIMP OnUIActivate() override { return m_state->Record("OnUIActivate"); }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override
    {
        m_state->frame.CopyTo(frame);
        *document = nullptr; // the document window is the frame
        ::GetClientRect(m_state->siteWindow, position);
        *clip = *position;
        *info = {info->cb, FALSE, m_state->frameWindow, nullptr, 0};
        return m_state->Record("GetWindowContext");
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return m_state->Record("OnUIDeactivate"); }
    STDMETHODIMP OnInPlaceDeactivate() override { return m_state->Record("OnInPlaceDeactivate"); }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
    STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD) override
    {
        *noRedraw = FALSE;
        return m_state->Record("OnInPlaceActivateEx");
    }
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override { return m_state->Record("OnInPlaceDeactivateEx"); }
    STDMETHODIMP RequestUIActivate() override { return S_OK; }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG* message, DWORD modifiers) override
    {
        m_state->Record("TranslateAccelerator");
        m_state->accelerators.push_back({*message, modifiers});
        return m_state->acceleratorAnswer;
    }
    STDMETHODIMP OnFocus(BOOL focus) override { return m_state->Record(focus ? "OnFocus(1)" : "OnFocus(0)"); }
    STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties, of which the host has only its background colour
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        if (id != -701 || !m_state->backColor) // DISPID_AMBIENT_BACKCOLOR
            return DISP_E_MEMBERNOTFOUND;
        VariantInit(result);
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(*m_state->backColor);
        return S_OK;
    }

    // IAdviseSink
    STDMETHODIMP_(void) OnDataChange(FORMATETC*, STGMEDIUM*) override { m_state->Record("OnDataChange"); }
    STDMETHODIMP_(void) OnViewChange(DWORD, LONG) override { m_state->Record("OnViewChange"); }
    STDMETHODIMP_(void) OnRename(IMoniker*) override {}
    STDMETHODIMP_(void) OnSave() override {}
    STDMETHODIMP_(void) OnClose() override {}

private:
    std::shared_ptr<CState> m_state;
};

} // namespace

CComPtr<IUnknown> CreateTestSite(std::shared_ptr<CTestContainer::CState> state)
{
    return CComPtr<IUnknown>(CTestSite::Create(std::move(state))->GetUnknown());
}

CComPtr<IUnknown> CreateTestFrame(std::shared_ptr<CTestContainer::CState> state)
{
    return CComPtr<IUnknown>(CTestFrame::Create(std::move(state))->GetUnknown());
}
