#pragma once
// The one call through which the control asks for the user's temporary
// directory: GetTempPathA unless replaced. Tests replace it to see what the
// control does when the system gives no directory.

#include <windows.h>

#include <functional>

namespace TempPath {

// As GetTempPathA: the length written, 0 on failure, or the size needed when
// the buffer is too small.
using CGet = std::function<DWORD(DWORD size, char* buffer)>;

DWORD Get(DWORD size, char* buffer);
// An empty function puts GetTempPathA back. Returns the one replaced.
CGet Replace(CGet get);

} // namespace TempPath
