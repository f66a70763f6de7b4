#pragma once
// Default keyboard handling of a dialog-based control window for the host's
// accelerator pass: what the dialog manager would do in a dialog's own
// message loop, minus the keys that belong to the host.

#include <windows.h>

// Sent to a child window with the message to pre-translate (lParam: MSG*);
// an answer of 1 means the child translated it.
constexpr UINT WM_FORWARDMSG = 0x037F;

// TRUE when the message was translated for the control window `control`.
BOOL TranslateDialogKeys(HWND control, MSG* message);
