// Entry points of "VexilSim.dll": its instance, its class object, whether it
// may be unloaded, and self-registration.
#include "sim/Simulator.h"

#include "frame/com/ModuleEntry.h"
#include "frame/com/ClassRegistration.h"
#include "frame/com/Module.h"

#include "VexilSim.h"

namespace {

const CClassRegistration registration{CLSID_VexilSim, LIBID_VexilSimLib, L"Vexil register access server simulator",
                                      L"Vexil.Simulator.1", L"Vexil.Simulator"};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) { return AttachModule(instance, reason); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return GetModuleClassObject<CSimulator>(clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return CanUnloadModule(); }

STDAPI DllRegisterServer() { return ClassRegistration::Register(registration); }

STDAPI DllUnregisterServer() { return ClassRegistration::Unregister(registration); }
