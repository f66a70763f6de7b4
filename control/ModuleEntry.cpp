// Entry points of the control's module "cmnvexil2ui.dll".
#include "control/Vexil2UI.h"
#include "frame/com/ModuleEntry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) { return AttachModule(instance, reason); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return GetModuleClassObject<CVexil2UI>(clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return CanUnloadModule(); }
