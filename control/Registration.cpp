// Self-registration of the control's module: the host framework's component
// categories, the registry script (resource 103), the class's categories and
// the type library.
#include "frame/HostCategories.h"
#include "frame/com/ClassRegistration.h"
#include "frame/com/ComPtr.h"
#include "frame/com/Module.h"
#include "frame/registrar/SystemRegistry.h"
#include "resources/resource.h"

#include "Vexil2UI.h"

#include <comcat.h>
#include <oleauto.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>

namespace {

constexpr LCID ENGLISH = 1033;
constexpr std::size_t MAX_CATEGORY_DESCRIPTION = 127;

// The registry script is text in UTF-8, so that a module path outside the
// ANSI code page reaches the registry unchanged.
std::string ToUtf8(const std::wstring& text)
{
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
    return result;
}

CComPtr<ICatRegister> GetCategoryManager()
{
    CComPtr<ICatRegister> manager;
    CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                     manager.OutVoid());
    return manager;
}

// Each category on its own, so that one failing leaves the others; the
// result does not decide the registration.
void CreateCategories()
{
    for (const int number : HOST_CATEGORY_CREATION_ORDER)
    {
        CComPtr<ICatRegister> manager = GetCategoryManager();
        if (!manager)
            continue;
        CATEGORYINFO info{};
        info.catid = HOST_CATEGORIES[static_cast<std::size_t>(number)].Id;
        info.lcid = ENGLISH;
        const std::wstring description = HOST_CATEGORIES[static_cast<std::size_t>(number)].Description;
        const std::size_t length = std::min(description.size(), MAX_CATEGORY_DESCRIPTION);
        description.copy(info.szDescription, length);
        info.szDescription[length] = L'\0';
        manager->RegisterCategories(1, &info);
    }
}

std::array<CATID, 2> GetControlCategories()
{
    return {HOST_CATEGORIES[CONTROL_CATEGORIES[0]].Id, HOST_CATEGORIES[CONTROL_CATEGORIES[1]].Id};
}

std::string LoadRegistryScript()
{
    HMODULE module = Module::GetInstance();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDR_VEXIL2UI), L"REGISTRY");
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(module, resource)) : std::string();
}

HRESULT RunRegistryScript(Registrar::Mode mode)
{
    const std::string script = LoadRegistryScript();
    if (script.empty())
        return E_FAIL;
    CSystemRegistry registry;
    const std::map<std::string, std::string> replacements{
        {"MODULE", Registrar::QuoteForScript(ToUtf8(Module::GetFileName()))}};
    return Registrar::Run(script, replacements, mode, registry);
}

HRESULT RegisterTypeLibrary()
{
    std::wstring module = Module::GetFileName();
    CComPtr<ITypeLib> library;
    if (const HRESULT hr = LoadTypeLibEx(module.c_str(), REGKIND_NONE, library.Out()); FAILED(hr))
        return hr;
    std::wstring directory = module.substr(0, module.find_last_of(L"\\/") + 1);
    return RegisterTypeLib(library.Get(), module.data(), directory.data());
}

} // namespace

STDAPI DllRegisterServer()
{
    CreateCategories();
    if (const HRESULT hr = RunRegistryScript(Registrar::Mode::Register); FAILED(hr))
        return hr;
    CComPtr<ICatRegister> manager = GetCategoryManager();
    if (!manager)
        return E_FAIL;
    std::array<CATID, 2> categories = GetControlCategories();
    if (const HRESULT hr = manager->RegisterClassImplCategories(CLSID_Vexil2UI, 2, categories.data()); FAILED(hr))
        return hr;
    return RegisterTypeLibrary();
}

STDAPI DllUnregisterServer()
{
    // Every step is tried; what is already gone is no failure.
    RunRegistryScript(Registrar::Mode::Unregister);
    if (CComPtr<ICatRegister> manager = GetCategoryManager())
    {
        std::array<CATID, 2> categories = GetControlCategories();
        manager->UnRegisterClassImplCategories(CLSID_Vexil2UI, 2, categories.data());
    }
    UnRegisterTypeLib(LIBID_ZRPVazVexil2UILib, 1, 0, ENGLISH, ClassRegistration::MODULE_SYSKIND);
    return S_OK;
}
