#pragma once
// Self-registration of a simple in-process class: its class key with
// InprocServer32 (the module, apartment threaded), its two ProgIDs and its
// type library, and removal of exactly these. Used by our stand-in servers;
// the control itself registers through its registry script.

#include <objbase.h>
#include <oleauto.h>

#include <string>

struct CClassRegistration
{
    const CLSID& ClassId;
    const GUID& LibraryId;
    std::wstring Description;
    std::wstring ProgId;            // versioned, e.g. "Vexil.Simulator.1"
    std::wstring IndependentProgId; // e.g. "Vexil.Simulator"
};

namespace ClassRegistration {

// Writes every key and registers the module's type library; on failure
// nothing stays behind and SELFREG_E_CLASS or SELFREG_E_TYPELIB is returned.
HRESULT Register(const CClassRegistration& registration);
// Removes the keys and the type library registration; S_OK when they are gone.
HRESULT Unregister(const CClassRegistration& registration);

std::wstring FormatGuid(REFGUID guid);

// The kind of the module's type library registration: a 32-bit module's is
// registered, and so must be removed, under win32.
constexpr SYSKIND MODULE_SYSKIND = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

} // namespace ClassRegistration
