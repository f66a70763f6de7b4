// Entry points of "VexilErrorDisplay.dll".
#include "errdisplay/ErrorDisplayObject.h"
#include "frame/com/ModuleEntry.h"
#include "frame/com/ClassRegistration.h"

namespace {

const CClassRegistration registration{CLSID_ErrorDisplay, LIBID_ErrorDisplayLib, L"Vexil error display",
                                      L"Vexil.ErrorDisplay.1", L"Vexil.ErrorDisplay"};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) { return AttachModule(instance, reason); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return GetModuleClassObject<CErrorDisplay>(clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return CanUnloadModule(); }

STDAPI DllRegisterServer() { return ClassRegistration::Register(registration); }

STDAPI DllUnregisterServer() { return ClassRegistration::Unregister(registration); }
