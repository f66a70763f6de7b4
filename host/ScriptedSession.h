#pragma once
// A session without a person: after start-up it selects the registers in the
// control's list as a user would, reads them, lets three passes of the
// repeat cycle run, and prints the list as text. Reports of the control are
// printed, not shown.

#include "host/DemoWindow.h"

#include <string>

namespace ScriptedSession {

// 0 when registers were read; 2 when the list was empty or nothing was read.
// With holdUntil set, the window stays open after printing until that file
// exists (at most a minute), so that a screenshot can be taken from outside.
int Run(CDemoWindow& demo, const std::wstring& holdUntil);

} // namespace ScriptedSession
