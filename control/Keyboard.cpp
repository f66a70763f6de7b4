// The keys that the control handles itself before the dialog keys: the host
// hands every keyboard and mouse message here before dispatching it.
#include "control/Vexil2UI.h"

namespace {

bool IsKeyboardMessage(UINT message) { return message >= 0x0100 && message <= 0x0108; }
bool IsMouseMessage(UINT message) { return message >= 0x0200 && message <= 0x020A; }
bool IsControlKeyDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

// The focus window, or the direct child of the control that holds it.
HWND FindForwardTarget(HWND control)
{
    HWND target = GetFocus();
    if (!target || !IsChild(control, target))
        return target;
    while (GetAncestor(target, GA_PARENT) != control)
        target = GetAncestor(target, GA_PARENT);
    return target;
}

} // namespace

BOOL CVexil2UI::PreTranslateAccelerator(MSG* message, HRESULT& /*result*/)
{
    if (!message || (!IsKeyboardMessage(message->message) && !IsMouseMessage(message->message)))
        return FALSE;
    if (const HWND target = FindForwardTarget(GetControlWindow()))
        if (SendMessageW(target, WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(message)) == 1)
            return TRUE;
    const LRESULT dialogCode = SendMessageW(message->hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(message));
    if (message->message == WM_KEYDOWN)
    {
        switch (message->wParam)
        {
        case VK_CANCEL:
        case VK_MENU:
        case VK_EXECUTE:
            return FALSE;
        case VK_RETURN:
            EndEditing(true);
            break;
        case VK_ESCAPE:
            // Stops a running read, write or repeat; the server is not told.
            m_operationRunning = false;
            StopRepeatTimer();
            EndEditing(false);
            break;
        case VK_DELETE:
            if (!m_editing)
                DeleteSelectedRows();
            break;
        case 'A':
            if (IsControlKeyDown())
            {
                if (m_editing)
                {
                    SendMessageW(m_cellEdit, EM_SETSEL, 0, -1);
                    SendMessageW(m_cellEdit, EM_SCROLLCARET, 0, 0);
                }
                else
                    SelectAllRows();
            }
            break;
        case 'C':
            if (IsControlKeyDown())
                CopySelectedRows();
            break;
        default:
            break;
        }
    }
    else if (message->message == WM_CHAR && dialogCode == 0)
        return FALSE;
    return TranslateDialogKeys(message);
}
