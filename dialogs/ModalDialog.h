#pragma once
// CModalDialogImpl<T>: a modal dialog made from T's dialog template T::IDD in
// the module's resources, inside the module's activation context (current
// common controls). Every message goes to
// `BOOL T::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&)`; what
// it leaves unhandled goes to the dialog manager's default.

#include "frame/ActivationContext.h"
#include "frame/DialogTemplate.h"
#include "frame/com/Module.h"

#include <windows.h>

template <class T> class CModalDialogImpl
{
public:
    CModalDialogImpl() = default;
    CModalDialogImpl(const CModalDialogImpl&) = delete;
    CModalDialogImpl& operator=(const CModalDialogImpl&) = delete;

    // Runs the dialog until it ends; the id it ended with, or -1 when it
    // could not be shown.
    INT_PTR DoModal(HWND parent)
    {
        m_parent = parent;
        const CModuleActivationScope scope;
        return DialogBoxParamW(Module::GetInstance(), MAKEINTRESOURCEW(T::IDD), parent, DialogProc,
                               reinterpret_cast<LPARAM>(this));
    }

    HWND GetWindow() const { return m_window; }
    // The window given to the modal run (the dialog's owner may be its top-level ancestor).
    HWND GetParentWindow() const { return m_parent; }

protected:
    ~CModalDialogImpl() = default;

    HWND Item(int id) const { return GetDlgItem(m_window, id); }
    void End(INT_PTR result) { EndDialog(m_window, result); }

    // What the small dialogs handle alike: WM_INITDIALOG goes to
    // T::OnInitDialog, OK to T::OnOk, Cancel ends the dialog, and the
    // notification `code` of control `id` goes to `onChange`. T befriends
    // this class for the two handlers.
    BOOL ProcessDialogBasics(UINT message, WPARAM wParam, LRESULT& result, int id, WORD code, void (T::*onChange)())
    {
        T& self = static_cast<T&>(*this);
        if (message == WM_INITDIALOG)
        {
            result = self.OnInitDialog();
            return TRUE;
        }
        if (message != WM_COMMAND)
            return FALSE;
        switch (LOWORD(wParam))
        {
        case IDOK:
            self.OnOk();
            return TRUE;
        case IDCANCEL:
            End(IDCANCEL);
            return TRUE;
        default:
            if (LOWORD(wParam) != id || HIWORD(wParam) != code)
                return FALSE;
            (self.*onChange)();
            return TRUE;
        }
    }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CModalDialogImpl*>(GetWindowLongPtrW(window, DWLP_USER));
        if (message == WM_INITDIALOG)
        {
            self = reinterpret_cast<CModalDialogImpl*>(lParam);
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            self->m_window = window;
        }
        if (!self)
            return FALSE;
        LRESULT result = 0;
        const BOOL handled = static_cast<T*>(self)->ProcessWindowMessage(window, message, wParam, lParam, result);
        if (message == WM_NCDESTROY)
        {
            SetWindowLongPtrW(window, DWLP_USER, 0);
            self->m_window = nullptr;
        }
        if (!handled)
            return FALSE;
        if (ReturnsDialogResultDirectly(message))
            return static_cast<INT_PTR>(result);
        SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        return TRUE;
    }

    HWND m_window = nullptr;
    HWND m_parent = nullptr;
};
