#include "frame/HiMetric.h"

namespace {

// Logical pixels per inch of the screen, horizontally and vertically.
SIZE GetScreenResolution()
{
    SIZE resolution{96, 96};
    if (HDC screen = GetDC(nullptr))
    {
        resolution.cx = GetDeviceCaps(screen, LOGPIXELSX);
        resolution.cy = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    if (resolution.cx <= 0)
        resolution.cx = 96;
    if (resolution.cy <= 0)
        resolution.cy = 96;
    return resolution;
}

} // namespace

SIZEL ConvertPixelsToHiMetric(SIZE pixels)
{
    const SIZE resolution = GetScreenResolution();
    return {MulDiv(pixels.cx, HiMetricPerInch, resolution.cx), MulDiv(pixels.cy, HiMetricPerInch, resolution.cy)};
}

SIZE ConvertHiMetricToPixels(SIZEL himetric)
{
    const SIZE resolution = GetScreenResolution();
    return {MulDiv(himetric.cx, resolution.cx, HiMetricPerInch), MulDiv(himetric.cy, resolution.cy, HiMetricPerInch)};
}
