// Entry points of "VexilGdb.dll": its instance, its class object, whether it
// may be unloaded, and self-registration.
#include "gdbaccess/GdbRegisterServer.h"

#include "frame/com/ClassRegistration.h"
#include "frame/com/Module.h"
#include "frame/com/ModuleEntry.h"

#include "VexilGdb.h"

namespace {

const CClassRegistration registration{CLSID_VexilGdb, LIBID_VexilGdbLib, L"Vexil GDB register access server",
                                      L"Vexil.GdbServer.1", L"Vexil.GdbServer"};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) { return AttachModule(instance, reason); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return GetModuleClassObject<CGdbRegisterServer>(clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return CanUnloadModule(); }

STDAPI DllRegisterServer() { return ClassRegistration::Register(registration); }

STDAPI DllUnregisterServer() { return ClassRegistration::Unregister(registration); }
