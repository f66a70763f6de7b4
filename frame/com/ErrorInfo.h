#pragma once
// Error objects: a server sets one with a description of what went wrong
// before it returns a failure; a client reads it back.

#include <oaidl.h>

#include <string>

namespace ErrorInfo {

// Sets the thread's error object (description, source, interface) and
// returns the code, so a failing method can end with `return Raise(...)`.
HRESULT Raise(HRESULT code, REFIID iid, const std::wstring& source, const std::wstring& description);

// The description of the thread's error object, taken from it; empty when
// there is none.
std::wstring TakeDescription();

} // namespace ErrorInfo
