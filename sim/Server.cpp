// Entry points of "VexilSim.dll": its instance, its class object, whether it
// may be unloaded, and self-registration.
#include "sim/Simulator.h"

#include "frame/com/ClassFactory.h"
#include "frame/com/ClassRegistration.h"
#include "frame/com/Module.h"

#include "VexilSim.h"

namespace {

const CClassRegistration registration{CLSID_VexilSim, LIBID_VexilSimLib, L"Vexil register access server simulator",
                                      L"Vexil.Simulator.1", L"Vexil.Simulator"};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        Module::SetInstance(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!InlineIsEqualGUID(clsid, CLSID_VexilSim))
        return CLASS_E_CLASSNOTAVAILABLE;
    return CClassFactory<CSimulator>::GetClassObject(iid, out);
}

STDAPI DllCanUnloadNow() { return Module::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return ClassRegistration::Register(registration); }

STDAPI DllUnregisterServer() { return ClassRegistration::Unregister(registration); }
