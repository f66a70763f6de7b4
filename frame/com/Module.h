#pragma once
// The module-wide state of a COM server DLL: its instance handle, the count
// of live objects and locks that DllCanUnloadNow answers by, and its own type
// library (resource 1 of type TYPELIB).

#include <oaidl.h>
#include <objbase.h>

#include <string>

namespace Module {

// Set by DllMain (or, in a program that links the code statically, by its start-up).
void SetInstance(HINSTANCE instance);
HINSTANCE GetInstance();
std::wstring GetFileName();

void Lock();
void Unlock();
bool CanUnload();

// Type information of an interface or class described in the module's own
// type library; the library is loaded once and kept.
HRESULT GetTypeInfo(REFGUID guid, ITypeInfo** info);
HRESULT GetTypeLib(ITypeLib** library);

} // namespace Module
