// Self-registration as regsvr32 leaves it in the prefix, the server
// interface as the registered type library describes it to marshalling and
// scripts, and the removal of exactly what registration wrote.
#include "tests/sim/SimTestSupport.h"

#include "frame/com/BStr.h"
#include "frame/com/ClassRegistration.h"

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <type_traits>

namespace {

using ClassRegistration::FormatGuid;

// A key's string value; nullopt when the key or value is missing.
std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const wchar_t* name = nullptr)
{
    DWORD size = 0;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(wcslen(value.c_str()));
    return value;
}

// An open registry key, closed by its owner; null when the key cannot be opened.
using CKey = std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)>;
CKey OpenKey(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key);
    return {key, &RegCloseKey};
}

TEST(Registration, ClassKeyAndProgIdsNameTheDllApartmentThreaded)
{
    const std::wstring clsid = L"CLSID\\" + FormatGuid(CLSID_VexilSim);
    const std::optional<std::wstring> server = ReadString(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32");
    ASSERT_TRUE(server.has_value());
    EXPECT_EQ(std::filesystem::path(*server).filename(), L"VexilSim.dll");
    EXPECT_TRUE(std::filesystem::exists(*server));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, clsid + L"\\ProgID"), L"Vexil.Simulator.1");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, clsid + L"\\VersionIndependentProgID"), L"Vexil.Simulator");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, clsid + L"\\TypeLib"), FormatGuid(LIBID_VexilSimLib));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"Vexil.Simulator\\CurVer"), L"Vexil.Simulator.1");
    for (const wchar_t* progId : {L"Vexil.Simulator", L"Vexil.Simulator.1"})
    {
        CLSID resolved = GUID_NULL;
        EXPECT_EQ(CLSIDFromProgID(progId, &resolved), S_OK);
        EXPECT_TRUE(InlineIsEqualGUID(resolved, CLSID_VexilSim));
    }
}

std::wstring DescribeType(const TYPEDESC& type)
{
    switch (type.vt)
    {
    case VT_PTR: return DescribeType(*type.lptdesc) + L"*";
    case VT_I4: return L"long";
    case VT_VARIANT: return L"VARIANT";
    case VT_HRESULT: return L"HRESULT";
    case VT_VOID: return L"void";
    default: return L"VARTYPE " + std::to_wstring(type.vt);
    }
}

// A function as its type description gives it: "HRESULT Name([in] long a, [out] VARIANT* b)".
std::wstring DescribeFunction(ITypeInfo* info, const FUNCDESC& function)
{
    std::vector<BSTR> names(function.cParams + 1u, nullptr);
    UINT count = 0;
    EXPECT_EQ(info->GetNames(function.memid, names.data(), static_cast<UINT>(names.size()), &count), S_OK);
    std::vector<CBStr> owned;
    for (BSTR name : names)
        owned.push_back(CBStr::Adopt(name));
    std::wstring text = DescribeType(function.elemdescFunc.tdesc) + L" " + owned[0].ToString() + L"(";
    for (SHORT i = 0; i < function.cParams; ++i)
    {
        const ELEMDESC& parameter = function.lprgelemdescParam[i];
        const USHORT flags = parameter.paramdesc.wParamFlags;
        std::wstring direction = (flags & PARAMFLAG_FIN) ? L"in" : L"";
        if (flags & PARAMFLAG_FOUT)
            direction += direction.empty() ? L"out" : L", out";
        if (flags & PARAMFLAG_FRETVAL)
            direction += L", retval";
        text += (i ? L", [" : L"[") + direction + L"] " + DescribeType(parameter.tdesc) + L" " +
                owned[i + 1u].ToString();
    }
    return text + L")";
}

// Marshalling and script hosts know the server only from this: a wrong
// direction or order would silently lose or misplace a value.
TEST(Registration, RegisteredTypeLibraryDescribesTheServerInterfaceSlotBySlot)
{
    const struct
    {
        MEMBERID id;
        const wchar_t* function;
    } slots[] = {
        {1, L"HRESULT ReadRegister([in] long deviceId, [in] long address, [in] long length, [out] VARIANT* value, "
            L"[in] VARIANT mask, [in] long flags)"},
        {2, L"HRESULT WriteRegister([in] long deviceId, [in] long address, [in] long length, [in] VARIANT value, "
            L"[in] VARIANT mask, [in] long flags)"},
        {3, L"HRESULT Reserved1()"},
        {4, L"HRESULT Reserved2()"},
        {5, L"HRESULT GetDevices([out] VARIANT* names, [out] VARIANT* ids)"},
        {6, L"HRESULT GetRegisters("
            L"[in] long deviceId, "
            L"[out] VARIANT* names, "
            L"[out] VARIANT* addresses, "
            L"[out] VARIANT* lengths, "
            L"[out] VARIANT* operations, "
            L"[out] VARIANT* secondTexts, "
            L"[out] VARIANT* numbers, "
            L"[out] VARIANT* extras, "
            L"[out] long* userRegisterFlag)"},
        {7, L"HRESULT GetServerState([out, retval] long* state)"},
    };
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    {
        CComPtr<ITypeLib> library;
        ASSERT_EQ(LoadRegTypeLib(LIBID_VexilSimLib, 1, 0, LOCALE_NEUTRAL, library.Out()), S_OK);
        // The dual interface's vtable half: its slots follow IDispatch's seven.
        CComPtr<ITypeInfo> dispatch, server;
        ASSERT_EQ(library->GetTypeInfoOfGuid(IID_IVexilFN, dispatch.Out()), S_OK);
        HREFTYPE vtable = 0;
        ASSERT_EQ(dispatch->GetRefTypeOfImplType(-1, &vtable), S_OK);
        ASSERT_EQ(dispatch->GetRefTypeInfo(vtable, server.Out()), S_OK);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(server->GetTypeAttr(&attributes), S_OK);
        EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
        EXPECT_EQ(attributes->cFuncs, std::size(slots));
        server->ReleaseTypeAttr(attributes);
        for (UINT slot = 0; slot < std::size(slots); ++slot)
        {
            SCOPED_TRACE(Narrow(slots[slot].function));
            FUNCDESC* function = nullptr;
            ASSERT_EQ(server->GetFuncDesc(slot, &function), S_OK);
            EXPECT_EQ(DescribeFunction(server.Get(), *function), slots[slot].function);
            EXPECT_EQ(function->memid, slots[slot].id);
            EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + slot) * sizeof(void*)));
            server->ReleaseFuncDesc(function);
        }
        // The state event: dispatch id 1 with the new state.
        CComPtr<ITypeInfo> events;
        ASSERT_EQ(library->GetTypeInfoOfGuid(DIID__IVexilFNEvents, events.Out()), S_OK);
        FUNCDESC* event = nullptr;
        ASSERT_EQ(events->GetFuncDesc(0, &event), S_OK);
        EXPECT_EQ(DescribeFunction(events.Get(), *event), L"void ServerStateChanged([in] long state)");
        EXPECT_EQ(event->memid, 1);
        events->ReleaseFuncDesc(event);
    }
    CoUninitialize();
}

// Registration into a private stand-in for HKEY_CLASSES_ROOT, so that the
// prefix's own registration, which other tests use, stays as it is.
TEST(PrivateRegistration, UnregisterRemovesEverythingRegisterWrote)
{
    constexpr wchar_t kRootPath[] = L"Software\\VexilSimTest";
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRootPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const CKey root(created, &RegCloseKey);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, root.get()), ERROR_SUCCESS);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    {
        const CLibrary module = LoadOwnedLibrary(GetBuiltDllPath());
        using CServerCall = HRESULT(STDAPICALLTYPE*)();
        const auto registerServer = FindExport<CServerCall>(module, "DllRegisterServer");
        const auto unregisterServer = FindExport<CServerCall>(module, "DllUnregisterServer");
        ASSERT_TRUE(registerServer && unregisterServer);
        const std::wstring keys[] = {L"CLSID\\" + FormatGuid(CLSID_VexilSim) + L"\\InprocServer32",
                                     L"Vexil.Simulator\\CLSID", L"Vexil.Simulator.1\\CLSID",
                                     L"TypeLib\\" + FormatGuid(LIBID_VexilSimLib),
                                     L"Interface\\" + FormatGuid(IID_IVexilSimControl)};
        ASSERT_EQ(registerServer(), S_OK);
        for (const std::wstring& key : keys)
            EXPECT_TRUE(OpenKey(root.get(), key)) << Narrow(key);
        ASSERT_EQ(unregisterServer(), S_OK);
        const auto countSubkeys = [](HKEY key) {
            DWORD count = 0;
            RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
            return count;
        };
        // Parents such as CLSID may stay behind, but nothing below them.
        for (const wchar_t* parent : {L"CLSID", L"Interface", L"TypeLib"})
        {
            const CKey key = OpenKey(root.get(), parent);
            EXPECT_EQ(key ? countSubkeys(key.get()) : 0u, 0u) << Narrow(parent);
        }
        EXPECT_LE(countSubkeys(root.get()), 3u);
        EXPECT_EQ(unregisterServer(), S_OK); // twice is harmless
    }
    CoUninitialize();
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, kRootPath);
}

} // namespace
