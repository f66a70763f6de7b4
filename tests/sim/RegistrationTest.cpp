// Self-registration as regsvr32 leaves it in the prefix, and the removal of
// exactly those keys.
#include "tests/sim/SimTestSupport.h"

#include "frame/com/ClassRegistration.h"

#include <windows.h>

#include <filesystem>
#include <optional>

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

bool KeyExists(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

TEST(Registration, ClassKeyNamesTheDllApartmentThreaded)
{
    const std::wstring clsid = L"CLSID\\" + FormatGuid(CLSID_VexilSim);
    const std::optional<std::wstring> server = ReadString(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32");
    ASSERT_TRUE(server.has_value());
    const std::filesystem::path registered(*server);
    EXPECT_EQ(registered.filename(), L"VexilSim.dll");
    EXPECT_TRUE(std::filesystem::exists(registered));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, clsid + L"\\ProgID"), L"Vexil.Simulator.1");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, clsid + L"\\VersionIndependentProgID"), L"Vexil.Simulator");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, clsid + L"\\TypeLib"), FormatGuid(LIBID_VexilSimLib));
}

TEST(Registration, BothProgIdsResolveToTheClass)
{
    for (const wchar_t* progId : {L"Vexil.Simulator", L"Vexil.Simulator.1"})
    {
        CLSID clsid = GUID_NULL;
        EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
        EXPECT_TRUE(InlineIsEqualGUID(clsid, CLSID_VexilSim));
    }
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"Vexil.Simulator\\CurVer"), L"Vexil.Simulator.1");
}

TEST(Registration, TypeLibraryIsRegistered)
{
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    {
        CComPtr<ITypeLib> library;
        EXPECT_EQ(LoadRegTypeLib(LIBID_VexilSimLib, 1, 0, LOCALE_NEUTRAL, library.Out()), S_OK);
    }
    CoUninitialize();
}

// Registration into a private stand-in for HKEY_CLASSES_ROOT, so that the
// prefix's own registration, which other tests use, stays as it is.
class PrivateRegistration : public testing::Test
{
protected:
    using CServerCall = HRESULT(STDAPICALLTYPE*)();

    void SetUp() override
    {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        m_path = L"Software\\VexilSimTest\\" + std::to_wstring(GetCurrentProcessId());
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_root,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, m_root), ERROR_SUCCESS);
        m_module = LoadLibraryA((std::string("Z:") + VEXIL_SIM_DLL).c_str());
        ASSERT_NE(m_module, nullptr);
    }
    void TearDown() override
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (m_module)
            FreeLibrary(m_module);
        if (m_root)
            RegCloseKey(m_root);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VexilSimTest");
        CoUninitialize();
    }

    HRESULT CallServer(const char* name)
    {
        const auto call = reinterpret_cast<CServerCall>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
        return call ? call() : E_NOTIMPL;
    }

    DWORD CountSubkeys()
    {
        DWORD count = 0;
        RegQueryInfoKeyW(m_root, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr);
        return count;
    }

    std::wstring m_path;
    HKEY m_root = nullptr;
    HMODULE m_module = nullptr;
};

TEST_F(PrivateRegistration, UnregisterRemovesEverythingRegisterWrote)
{
    ASSERT_EQ(CallServer("DllRegisterServer"), S_OK);
    EXPECT_TRUE(KeyExists(m_root, L"CLSID\\" + FormatGuid(CLSID_VexilSim) + L"\\InprocServer32"));
    EXPECT_TRUE(KeyExists(m_root, L"Vexil.Simulator\\CLSID"));
    EXPECT_TRUE(KeyExists(m_root, L"Vexil.Simulator.1\\CLSID"));
    EXPECT_TRUE(KeyExists(m_root, L"TypeLib\\" + FormatGuid(LIBID_VexilSimLib)));
    ASSERT_EQ(CallServer("DllUnregisterServer"), S_OK);
    EXPECT_FALSE(KeyExists(m_root, L"CLSID\\" + FormatGuid(CLSID_VexilSim)));
    EXPECT_FALSE(KeyExists(m_root, L"Vexil.Simulator"));
    EXPECT_FALSE(KeyExists(m_root, L"Vexil.Simulator.1"));
    EXPECT_FALSE(KeyExists(m_root, L"TypeLib\\" + FormatGuid(LIBID_VexilSimLib)));
    // Unregistering twice is harmless.
    EXPECT_EQ(CallServer("DllUnregisterServer"), S_OK);
}

} // namespace
