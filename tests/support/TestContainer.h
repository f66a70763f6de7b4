#pragma once
// A host of our own for embedded controls in tests. It has a top-level frame
// window with a site window inside, and plays the container's side of OLE
// embedding: client site, in-place site (Ex), control site, the ambient
// background colour, advise sink and in-place frame. It loads and activates
// a control through the control's OLE interfaces, runs a host's message loop
// (keys go to the UI-active control's TranslateAccelerator first), and
// records the calls the control makes back into it.
//
//   CTestContainer container;
//   ASSERT_EQ(container.Embed(control.Get()), S_OK); // load + OLEIVERB_INPLACEACTIVATE
//   HWND window = container.GetControlWindow();
//   container.PressKey(VK_TAB);
//   EXPECT_TRUE(container.WasCalled("OnUIActivate"));

#include "frame/com/ComPtr.h"

#include <ocidl.h>
#include <oleidl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CTestContainer
{
public:
    // A TranslateAccelerator call that reached the control site.
    struct CAccelerator
    {
        MSG message;
        DWORD modifiers;
    };

    // What the container's windows and its site and frame objects share.
    struct CState
    {
        HWND frameWindow = nullptr;
        HWND siteWindow = nullptr;
        std::vector<std::string> calls;
        std::vector<CAccelerator> accelerators;
        std::map<UINT, int> frameMessages;
        HRESULT acceleratorAnswer = S_FALSE;
        HRESULT canInPlaceActivate = S_OK;
        std::optional<OLE_COLOR> backColor;
        CComPtr<IOleInPlaceActiveObject> activeObject;
        CComPtr<IOleInPlaceFrame> frame;

        HRESULT Record(std::string call)
        {
            calls.push_back(std::move(call));
            return S_OK;
        }
    };

    explicit CTestContainer(SIZE siteSize = {700, 400});
    ~CTestContainer();
    CTestContainer(const CTestContainer&) = delete;
    CTestContainer& operator=(const CTestContainer&) = delete;

    // Loads the control as a host does: client site, IPersistStreamInit::InitNew,
    // the view advise sink and the site window's size as extent.
    HRESULT Load(IUnknown* control);
    // IOleObject::DoVerb with the site and the site window's client rectangle;
    // after an activating verb also IOleInPlaceObject::SetObjectRects.
    HRESULT DoVerb(LONG verb);
    // Load, then OLEIVERB_INPLACEACTIVATE.
    HRESULT Embed(IUnknown* control);
    // Close(OLECLOSE_NOSAVE), SetClientSite(NULL), and the control is let go.
    void Unload();

    HWND GetSiteWindow() const { return m_state->siteWindow; }
    // The control's window as IOleWindow::GetWindow gives it; null without one.
    HWND GetControlWindow() const;
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
    // A key press as the user makes it: key down and key up posted to the
    // focus window and run through the loop.
    void PressKey(UINT virtualKey);
    // What the host hands the active object for one message; S_OK: translated.
    HRESULT TranslateAccelerator(MSG& message);

    // The host's side of things: its ambient background colour (none unless
    // set), what IOleControlSite::TranslateAccelerator answers (S_FALSE unless
    // set), what IOleInPlaceSite::CanInPlaceActivate answers (S_OK unless set).
    void SetAmbientBackColor(std::optional<OLE_COLOR> color) { m_state->backColor = color; }
    void SetAcceleratorAnswer(HRESULT answer) { m_state->acceleratorAnswer = answer; }
    void SetCanInPlaceActivate(HRESULT answer) { m_state->canInPlaceActivate = answer; }
    // Advises the container's sink for the control's data changes (IDataObject::DAdvise).
    HRESULT AdviseData();

    // The container's callbacks in the order the control made them, e.g.
    // "CanInPlaceActivate", "OnInPlaceActivateEx", "GetWindowContext",
    // "OnUIActivate", "SetActiveObject", "OnFocus(1)", "OnViewChange",
    // "OnDataChange", "TranslateAccelerator".
    const std::vector<std::string>& GetCalls() const { return m_state->calls; }
    int CountCalls(std::string_view name) const
    {
        return static_cast<int>(std::count(m_state->calls.begin(), m_state->calls.end(), name));
    }
    bool WasCalled(std::string_view name) const { return CountCalls(name) > 0; }
    void ClearCalls()
    {
        m_state->calls.clear();
        m_state->accelerators.clear();
    }
    const std::vector<CAccelerator>& GetAccelerators() const { return m_state->accelerators; }
    // The object that the control made active in the frame, if any.
    IOleInPlaceActiveObject* GetActiveObject() const { return m_state->activeObject.Get(); }
    // How often the frame window got a message (e.g. WM_CLOSE, WM_HELP); it
    // records them and ends nothing.
    int CountFrameMessages(UINT message) const { return m_state->frameMessages[message]; }

private:
    RECT GetSiteRect() const;

    std::shared_ptr<CState> m_state = std::make_shared<CState>();
    CComPtr<IUnknown> m_site;  // the site object's identity
    CComPtr<IUnknown> m_frame; // the in-place frame object
    CComPtr<IUnknown> m_control;
    CComPtr<IOleObject> m_oleObject;
};

// The container's site and in-place frame objects, each holding the state.
CComPtr<IUnknown> CreateTestSite(std::shared_ptr<CTestContainer::CState> state);
CComPtr<IUnknown> CreateTestFrame(std::shared_ptr<CTestContainer::CState> state);
