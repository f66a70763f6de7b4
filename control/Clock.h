#pragma once
// The tick count that the repeat cycle measures its passes with. Tests put
// a clock of their own in its place to check the timing without waiting.

#include <windows.h>

namespace Clock {

using TickFunction = DWORD(WINAPI*)(); // the system's own calling convention

inline TickFunction& CurrentTickFunction()
{
    static TickFunction function = &::GetTickCount;
    return function;
}

// Null puts the system's tick count back.
inline void SetTickFunction(TickFunction function) { CurrentTickFunction() = function ? function : &::GetTickCount; }
inline DWORD GetTicks() { return CurrentTickFunction()(); }

} // namespace Clock
