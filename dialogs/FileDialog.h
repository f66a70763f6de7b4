#pragma once
// The one call through which a dialog asks the user for a file name: the
// system's open or save dialog unless replaced. Tests replace it, since the
// system's dialogs wait for a person.

#include <windows.h>

#include <commdlg.h>

#include <functional>

namespace FileDialog {

// Fills the request's file name and answers TRUE, or FALSE when the user cancelled.
using CAsk = std::function<BOOL(OPENFILENAMEA& request, bool save)>;

BOOL Ask(OPENFILENAMEA& request, bool save);
// An empty function puts the system's dialogs back. Returns the one replaced.
CAsk Replace(CAsk ask);

} // namespace FileDialog
