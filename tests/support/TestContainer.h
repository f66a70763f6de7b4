#pragma once
// A host of our own for embedded controls in tests. It has a top-level frame
// window with a site window inside, and plays the container's side of OLE
// embedding: client site, in-place site (plain, Ex or windowless), control
// site, ambient properties, advise sink and in-place frame. It loads and
// activates a control through the control's OLE interfaces, runs a host's
// message loop (keys go to the UI-active control's TranslateAccelerator
// first), and records every call the control makes back into it.
//
//   CTestContainer container;
//   ASSERT_EQ(container.Embed(control.Get()), S_OK); // load + OLEIVERB_INPLACEACTIVATE
//   HWND window = container.GetControlWindow();
//   container.PressKey(VK_TAB);
//   EXPECT_TRUE(container.WasCalled("OnUIActivate"));

#include "frame/com/ComPtr.h"

#include <ocidl.h>
#include <oleidl.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CTestContainer
{
public:
    // Which in-place site interfaces the site offers.
    enum class CSiteKind
    {
        Plain,      // IOleInPlaceSite
        Ex,         // and IOleInPlaceSiteEx
        Windowless, // and IOleInPlaceSiteWindowless
    };

    // A TranslateAccelerator call that reached the control site.
    struct CAccelerator
    {
        MSG message;
        DWORD modifiers;
    };

    explicit CTestContainer(SIZE siteSize = {700, 400}, CSiteKind kind = CSiteKind::Windowless);
    ~CTestContainer();
    CTestContainer(const CTestContainer&) = delete;
    CTestContainer& operator=(const CTestContainer&) = delete;

    // Loads the control as a host does: client site (first when the control
    // asks for it), IPersistStreamInit::InitNew, host names, the view advise
    // sink and the site window's size as extent.
    HRESULT Load(IUnknown* control);
    // IOleObject::DoVerb with the site and the site window's client rectangle;
    // after an activating verb also IOleInPlaceObject::SetObjectRects.
    HRESULT DoVerb(LONG verb);
    // Load, then OLEIVERB_INPLACEACTIVATE.
    HRESULT Embed(IUnknown* control);
    // Close(OLECLOSE_NOSAVE), SetClientSite(NULL), and the control is let go.
    void Unload();
    // Resizes the site window and tells the control: SetExtent, SetObjectRects.
    void Resize(SIZE siteSize);

    HWND GetFrameWindow() const;
    HWND GetSiteWindow() const;
    // The control's window as IOleWindow::GetWindow gives it; null without one.
    HWND GetControlWindow() const;
    IUnknown* GetControl() const { return m_control.Get(); }
    template <class I> CComPtr<I> Query() const
    {
        CComPtr<I> result;
        m_control.QueryInterface(result);
        return result;
    }

    // The host's message loop until the queue is empty: keyboard and mouse
    // messages go to the UI-active object's TranslateAccelerator first.
    void PumpMessages();
    // The same loop for a time, for timers and posted work.
    void PumpMessagesFor(DWORD milliseconds);
    // A key press as the user makes it: key down (and its character) and key
    // up posted to the focus window and run through the loop.
    void PressKey(UINT virtualKey);
    // What the host hands the active object for one message; S_OK: translated.
    HRESULT TranslateAccelerator(MSG& message);

    // The host's side of things.
    void SetAmbientBackColor(std::optional<OLE_COLOR> color);
    // Changes the ambient background colour and tells the control
    // (IOleControl::OnAmbientPropertyChange(-701)).
    HRESULT ChangeAmbientBackColor(OLE_COLOR color);
    // What IOleControlSite::TranslateAccelerator answers (S_FALSE unless set).
    void SetAcceleratorAnswer(HRESULT answer);
    // What IOleInPlaceSite::CanInPlaceActivate answers (S_OK unless set).
    void SetCanInPlaceActivate(HRESULT answer);
    // Whether CanWindowlessActivate says yes (no unless set).
    void SetWindowlessAllowed(bool allowed);
    // Advises the container's sink for the control's data changes (IDataObject::DAdvise).
    HRESULT AdviseData();

    // The container's callbacks in the order the control made them, e.g.
    // "CanInPlaceActivate", "OnInPlaceActivateEx", "GetWindowContext",
    // "OnUIActivate", "SetActiveObject", "OnFocus(1)", "OnViewChange",
    // "OnDataChange", "TranslateAccelerator", "Ambient(-701)".
    const std::vector<std::string>& GetCalls() const;
    int CountCalls(std::string_view name) const;
    bool WasCalled(std::string_view name) const { return CountCalls(name) > 0; }
    void ClearCalls();
    const std::vector<CAccelerator>& GetAccelerators() const;
    // The object that the control made active in the frame, if any.
    IOleInPlaceActiveObject* GetActiveObject() const;
    // How often the frame window got a message (e.g. WM_CLOSE, WM_HELP); it
    // records them and ends nothing.
    int CountFrameMessages(UINT message) const;

    struct CState;

private:
    RECT GetSiteRect() const;

    std::shared_ptr<CState> m_state;
    CComPtr<IUnknown> m_site;  // the site object's identity
    CComPtr<IUnknown> m_frame; // the in-place frame object
    CComPtr<IUnknown> m_control;
    CComPtr<IOleObject> m_oleObject;
};
