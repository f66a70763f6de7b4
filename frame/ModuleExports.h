#pragma once
// What the module's DllGetClassObject and DllCanUnloadNow answer, for the
// creatable control classes Classes... (each with GetObjectCLSID()).

#include "frame/com/ClassFactory.h"
#include "frame/com/Module.h"

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
