// Entry points of "VexilErrorDisplay.dll".
#include "errdisplay/ErrorDisplayObject.h"
#include "frame/com/ClassFactory.h"
#include "frame/com/ClassRegistration.h"

namespace {

const CClassRegistration registration{CLSID_ErrorDisplay, LIBID_ErrorDisplayLib, L"Vexil error display",
                                      L"Vexil.ErrorDisplay.1", L"Vexil.ErrorDisplay"};

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
    if (!InlineIsEqualGUID(clsid, CLSID_ErrorDisplay))
        return CLASS_E_CLASSNOTAVAILABLE;
    return CClassFactory<CErrorDisplay>::GetClassObject(iid, out);
}

STDAPI DllCanUnloadNow() { return Module::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return ClassRegistration::Register(registration); }

STDAPI DllUnregisterServer() { return ClassRegistration::Unregister(registration); }
