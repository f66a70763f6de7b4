#pragma once
// The size that a dialog template's window will have, measured from the
// template itself, so that a control can state its natural extent before its
// window exists.

#include <windows.h>

#include <optional>

// The outer size in pixels of the window that CreateDialog would make from
// the template resource `id` of `module`; nothing when the resource is
// missing or malformed.
std::optional<SIZE> MeasureDialogTemplate(HINSTANCE module, UINT id);

// Messages whose result a dialog procedure returns itself instead of setting
// DWLP_MSGRESULT.
bool ReturnsDialogResultDirectly(UINT message);
