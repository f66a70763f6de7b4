#pragma once
// What a composite control draws for its container while it has no window
// of its own (not in-place active): a grey rectangle with a black frame and,
// centred on one line, "ATL Composite Control" in the window-text colour on a
// transparent background.

#include <windows.h>

void DrawInactiveControl(HDC dc, const RECT& bounds);
