#pragma once
// CHasHelp<T, Context>: turns F1 (WM_HELP) and the dialog's Help button (id 9)
// into a help request at the dialog's context number, handed to the window
// that the modal run was given. The control at the end of the chain opens
// the help file; a dialog run from another dialog passes through that one,
// which keeps the number since it is not 0.

#include <windows.h>

template <class T, DWORD Context> class CHasHelp
{
public:
    static constexpr DWORD HelpContext = Context;

protected:
    // Runs before the dialog's own handling; TRUE when the message was a help request.
    BOOL ProcessHelpMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        const HWND parent = static_cast<T*>(this)->GetParentWindow();
        if (message == WM_HELP)
        {
            auto* request = reinterpret_cast<HELPINFO*>(lParam);
            if (request && request->dwContextId == 0)
                request->dwContextId = Context;
            SendMessageW(parent, WM_HELP, 0, lParam);
            result = TRUE;
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == HELP_BUTTON && HIWORD(wParam) == BN_CLICKED)
        {
            HELPINFO request{};
            request.cbSize = sizeof request;
            request.iContextType = HELPINFO_WINDOW;
            request.dwContextId = Context;
            SendMessageW(parent, WM_HELP, 0, reinterpret_cast<LPARAM>(&request));
            result = 0;
            return TRUE;
        }
        return FALSE;
    }

private:
    static constexpr WORD HELP_BUTTON = 9;
};
