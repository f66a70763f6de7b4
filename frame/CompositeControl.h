#pragma once
// CComCompositeControl2<T>: the window of a composite control T, made from
// its dialog template T::IDD as a child of the in-place site's window, inside
// the module's activation context (current common controls).
//
// Every message of the window goes first to the frame's own handling, then to
// `BOOL T::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&)`:
// - WM_CTLCOLORBTN, WM_CTLCOLORSTATIC: the container's background brush, once
//   the container has given an ambient background colour;
// - WM_SETFOCUS: UI activation and the site's OnFocus(TRUE); WM_KILLFOCUS to a
//   window outside the control: OnFocus(FALSE); WM_MOUSEACTIVATE: UI
//   activation (these three go on to T and to the dialog manager);
// - the click of the Help button (command 9): ShowHelp;
// - WM_HELP: ShowHelpContext(active window, the request's context) when the
//   request has a context, else ShowHelp.
//
// A message that neither handles goes to the dialog manager's default.

#include "frame/ActivationContext.h"
#include "frame/ControlBase.h"
#include "frame/DialogKeys.h"
#include "frame/DialogTemplate.h"
#include "frame/Gdi.h"
#include "frame/Help.h"
#include "frame/HiMetric.h"
#include "frame/com/Module.h"
#include "frame/com/Variant.h"

#include <olectl.h>

#include <utility>

constexpr WORD HelpButtonId = 9;

template <class T> class CComCompositeControl2 : public CComControlBase
{
public:
    // Help topic of the control's window.
    static constexpr DWORD HelpContextId = 1;

    // Tab order, arrow keys, mnemonics and the default button of the
    // control's window; leaves the host's keys alone. The last step of T's
    // own pre-translation.
    BOOL TranslateDialogKeys(MSG* message) { return ::TranslateDialogKeys(m_window, message); }

    // Defaults for a control class that has no keys or messages of its own;
    // T hides them with its own.
    BOOL PreTranslateAccelerator(MSG* message, HRESULT& /*result*/) { return TranslateDialogKeys(message); }
    BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) { return FALSE; }

    // Takes the container's ambient background colour for the window and its
    // children and repaints them; keeps the colour it has when the container
    // gives none.
    void UpdateBackgroundFromAmbient()
    {
        if (!ReadAmbientBackground())
            return;
        // The children ask for the brush again (WM_CTLCOLOR...) as they repaint.
        if (m_window)
            RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    // The background brush of the window and its buttons and static texts;
    // null until the container gave a colour.
    HBRUSH GetBackgroundBrush() const { return m_background.Get(); }

    virtual void ShowHelp() { ShowHelpContext(m_window, HelpContextId); }
    virtual void ShowHelpContext(HWND window, DWORD contextId)
    {
        Help::ShowHelpContext(Module::GetInstance(), window, contextId);
    }

protected:
    CComCompositeControl2()
    {
        if (const auto size = MeasureDialogTemplate(Module::GetInstance(), T::IDD))
            m_naturalExtent = m_extent = ConvertPixelsToHiMetric(*size);
        if constexpr (requires { T::IsConfigurationComponent(); })
            m_configurationComponent = T::IsConfigurationComponent() ? 1 : 0;
    }
    ~CComCompositeControl2() override
    {
        // T's part of the object is gone: the window must not reach it any more.
        if (const HWND window = std::exchange(m_window, nullptr))
        {
            SetWindowLongPtrW(window, DWLP_USER, 0);
            DestroyWindow(window);
        }
    }

    IUnknown* GetControlUnknown() override { return static_cast<T*>(this)->GetUnknown(); }

    HWND CreateControlWindow(HWND parent, const RECT& /*position*/) override
    {
        if (!m_background)
            ReadAmbientBackground();
        const CModuleActivationScope scope;
        const HWND window = CreateDialogParamW(Module::GetInstance(), MAKEINTRESOURCEW(T::IDD), parent, DialogProc,
                                               reinterpret_cast<LPARAM>(this));
        RECT frame{};
        if (window && GetWindowRect(window, &frame))
            m_naturalExtent = ConvertPixelsToHiMetric({frame.right - frame.left, frame.bottom - frame.top});
        return window;
    }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CComCompositeControl2*>(GetWindowLongPtrW(window, DWLP_USER));
        if (message == WM_INITDIALOG)
        {
            self = reinterpret_cast<CComCompositeControl2*>(lParam);
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            self->m_window = window;
        }
        if (!self)
            return FALSE;
        // A handler may run a nested message loop (a read, a modal dialog) in
        // which the host lets the control go; the object then lives on until
        // the handler has returned, and goes away here.
        CComPtr<IUnknown> keepAlive;
        if (static_cast<T*>(self)->GetReferenceCount() > 0)
            keepAlive = static_cast<T*>(self)->GetUnknown();
        LRESULT result = 0;
        const BOOL handled = self->ProcessFrameMessage(window, message, wParam, lParam, result) ||
                             static_cast<T*>(self)->ProcessWindowMessage(window, message, wParam, lParam, result);
        if (message == WM_NCDESTROY)
        {
            SetWindowLongPtrW(window, DWLP_USER, 0);
            if (self->m_window == window)
                self->m_window = nullptr;
        }
        if (!handled)
            return FALSE;
        if (ReturnsDialogResultDirectly(message))
            return static_cast<INT_PTR>(result);
        SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        return TRUE;
    }

    BOOL ProcessFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        switch (message)
        {
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORDLG: // the control's own surface, erased by the dialog manager
            if (!m_background)
                return FALSE;
            SetBkColor(reinterpret_cast<HDC>(wParam), m_backgroundColor);
            result = reinterpret_cast<LRESULT>(m_background.Get());
            return TRUE;
        case WM_SETFOCUS:
            if (m_inPlaceActive && !m_uiActive)
                ActivateInPlace(OLEIVERB_UIACTIVATE);
            NotifySiteOfFocus(true);
            return FALSE;
        case WM_KILLFOCUS:
        {
            const HWND next = reinterpret_cast<HWND>(wParam);
            if (!next || (next != window && !IsChild(window, next)))
                NotifySiteOfFocus(false);
            return FALSE;
        }
        case WM_MOUSEACTIVATE:
            if (m_inPlaceActive && !m_uiActive)
                ActivateInPlace(OLEIVERB_UIACTIVATE);
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) != HelpButtonId || HIWORD(wParam) != BN_CLICKED)
                return FALSE;
            ShowHelp();
            result = 0;
            return TRUE;
        case WM_HELP:
        {
            const auto* request = reinterpret_cast<const HELPINFO*>(lParam);
            if (request && request->dwContextId != 0)
                ShowHelpContext(GetActiveWindow(), static_cast<DWORD>(request->dwContextId));
            else
                ShowHelp();
            result = TRUE;
            return TRUE;
        }
        default:
            return FALSE;
        }
    }

    bool ReadAmbientBackground()
    {
        CVariant value;
        if (FAILED(GetAmbientProperty(AmbientBackColorId, value.Out())))
            return false;
        OLE_COLOR color = 0;
        if (value.GetType() == VT_UI4)
            color = V_UI4(&value.Get());
        else if (SUCCEEDED(VariantChangeType(value.GetPointer(), value.GetPointer(), 0, VT_I4)))
            color = static_cast<OLE_COLOR>(V_I4(&value.Get()));
        else
            return false;
        COLORREF rgb = 0;
        if (FAILED(OleTranslateColor(color, nullptr, &rgb)))
            return false;
        CGdiObject<HBRUSH> brush(CreateSolidBrush(rgb));
        if (!brush)
            return false;
        m_background = std::move(brush);
        m_backgroundColor = rgb;
        return true;
    }

    CGdiObject<HBRUSH> m_background;
    COLORREF m_backgroundColor = 0;
};
