#pragma once
// What the entry points of our COM server modules answer: DllMain keeps the
// module's instance, DllGetClassObject hands out the class object of one of
// the creatable classes Classes... (each with GetObjectCLSID()), and
// DllCanUnloadNow answers by the module's objects and locks.

#include "frame/com/ClassFactory.h"
#include "frame/com/Module.h"

inline BOOL AttachModule(HINSTANCE instance, DWORD reason)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        Module::SetInstance(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

template <class... Classes> HRESULT GetModuleClassObject(REFCLSID id, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    HRESULT hr = CLASS_E_CLASSNOTAVAILABLE;
    ((hr == CLASS_E_CLASSNOTAVAILABLE && InlineIsEqualGUID(id, Classes::GetObjectCLSID())
          ? (hr = CClassFactory<Classes>::GetClassObject(iid, out), true)
          : false),
     ...);
    return hr;
}

inline HRESULT CanUnloadModule() { return Module::CanUnload() ? S_OK : S_FALSE; }
