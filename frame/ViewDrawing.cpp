#include "frame/ViewDrawing.h"

#include "frame/Gdi.h"

void DrawInactiveControl(HDC dc, const RECT& bounds)
{
    const CSelection pen(dc, GetStockObject(BLACK_PEN));
    const CSelection brush(dc, GetStockObject(GRAY_BRUSH));
    Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    const COLORREF previousColor = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    RECT text = bounds;
    DrawTextW(dc, L"ATL Composite Control", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetBkMode(dc, previousMode);
    SetTextColor(dc, previousColor);
}
