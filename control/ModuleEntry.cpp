// Entry points of the control's module "cmnvexil2ui.dll".
#include "control/Vexil2UI.h"
#include "frame/ModuleExports.h"

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
    return GetModuleClassObject<CVexil2UI>(clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return CanUnloadModule(); }
