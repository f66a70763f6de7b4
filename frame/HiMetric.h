#pragma once
// Sizes between screen pixels and HIMETRIC (0.01 mm), the unit in which a
// control and its container negotiate extents.

#include <windows.h>

constexpr LONG HiMetricPerInch = 2540;

SIZEL ConvertPixelsToHiMetric(SIZE pixels);
SIZE ConvertHiMetricToPixels(SIZEL himetric);
