#include "frame/com/Module.h"

#include "frame/com/ComPtr.h"

#include <oleauto.h>

#include <atomic>
#include <vector>

namespace {

HINSTANCE instance = nullptr;
std::atomic<long> locks{0};
CComPtr<ITypeLib> typeLibrary;

} // namespace

namespace Module {

void SetInstance(HINSTANCE value) { instance = value; }
HINSTANCE GetInstance() { return instance; }

std::wstring GetFileName()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetModuleFileNameW(instance, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
            return std::wstring(path.data(), length);
        path.resize(path.size() * 2);
    }
}

void Lock() { ++locks; }
void Unlock() { --locks; }
bool CanUnload() { return locks == 0; }

HRESULT GetTypeLib(ITypeLib** library)
{
    if (!library)
        return E_POINTER;
    if (!typeLibrary)
    {
        const HRESULT hr = LoadTypeLibEx(GetFileName().c_str(), REGKIND_NONE, typeLibrary.Out());
        if (FAILED(hr))
            return hr;
    }
    return typeLibrary.CopyTo(library);
}

HRESULT GetTypeInfo(REFGUID guid, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    CComPtr<ITypeLib> library;
    const HRESULT hr = GetTypeLib(library.Out());
    if (FAILED(hr))
        return hr;
    return library->GetTypeInfoOfGuid(guid, info);
}

} // namespace Module
