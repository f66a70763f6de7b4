#include "frame/DialogKeys.h"

namespace {

bool IsKeyboardMessage(UINT message) { return message >= 0x0100 && message <= 0x0108; }
bool IsMouseMessage(UINT message) { return message >= 0x0200 && message <= 0x020A; }

// The focus window, or the direct child of the control that holds it.
HWND FindForwardTarget(HWND control)
{
    HWND target = GetFocus();
    if (!target || !IsChild(control, target))
        return target;
    for (HWND parent = GetAncestor(target, GA_PARENT); parent && parent != control;
         parent = GetAncestor(target, GA_PARENT))
        target = parent;
    return target;
}

} // namespace

BOOL TranslateDialogKeys(HWND control, MSG* message)
{
    if (!control || !message)
        return FALSE;
    if (!IsKeyboardMessage(message->message) && !IsMouseMessage(message->message))
        return FALSE;
    if (const HWND target = FindForwardTarget(control))
        if (SendMessageW(target, WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(message)) == 1)
            return TRUE;
    // Function keys are the host's (F1 opens its help).
    if (message->message == WM_KEYDOWN && message->wParam >= VK_F1 && message->wParam <= VK_F24)
        return FALSE;
    // Characters for a window that wants none go to the host.
    if (message->message == WM_CHAR &&
        SendMessageW(message->hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(message)) == 0)
        return FALSE;
    return IsDialogMessageW(control, message);
}
