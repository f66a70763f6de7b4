// Self-registration as regsvr32 leaves it in the prefix, and the removal of
// exactly those keys.
#include "tests/sim/SimTestSupport.h"

#include "frame/com/ClassRegistration.h"

#include <windows.h>

#include <filesystem>
#include <memory>
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

bool KeyExists(HKEY root, const std::wstring& path) { return CRegistryKey().Open(root, path); }

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
        m_initialized = true;
        ASSERT_TRUE(m_root.Create(HKEY_CURRENT_USER, kRootPath));
        ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, m_root.Get()), ERROR_SUCCESS);
        ASSERT_TRUE(m_module->Load(GetBuiltDllPath()));
    }
    void TearDown() override
    {
        m_module.reset();
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRootPath);
        if (m_initialized)
            CoUninitialize();
    }

    HRESULT CallServer(const char* name)
    {
        const auto call = m_module->Find<CServerCall>(name);
        return call ? call() : E_NOTIMPL;
    }

    static DWORD CountSubkeys(HKEY key)
    {
        DWORD count = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr);
        return count;
    }

    // Parents such as CLSID may stay behind, but nothing below them.
    bool HoldsOnlyEmptyParents()
    {
        for (const wchar_t* parent : {L"CLSID", L"Interface", L"TypeLib"})
        {
            CRegistryKey key;
            if (key.Open(m_root.Get(), parent) && CountSubkeys(key.Get()) != 0)
                return false;
        }
        return CountSubkeys(m_root.Get()) <= 3;
    }

    static constexpr wchar_t kRootPath[] = L"Software\\VexilSimTest";
    bool m_initialized = false;
    CRegistryKey m_root;
    std::unique_ptr<CLibrary> m_module = std::make_unique<CLibrary>();
};

TEST_F(PrivateRegistration, UnregisterRemovesEverythingRegisterWrote)
{
    ASSERT_EQ(CallServer("DllRegisterServer"), S_OK);
    EXPECT_TRUE(KeyExists(m_root.Get(), L"CLSID\\" + FormatGuid(CLSID_VexilSim) + L"\\InprocServer32"));
    EXPECT_TRUE(KeyExists(m_root.Get(), L"Vexil.Simulator\\CLSID"));
    EXPECT_TRUE(KeyExists(m_root.Get(), L"Vexil.Simulator.1\\CLSID"));
    EXPECT_TRUE(KeyExists(m_root.Get(), L"TypeLib\\" + FormatGuid(LIBID_VexilSimLib)));
    EXPECT_TRUE(KeyExists(m_root.Get(), L"Interface\\" + FormatGuid(IID_IVexilSimControl)));
    ASSERT_EQ(CallServer("DllUnregisterServer"), S_OK);
    EXPECT_FALSE(KeyExists(m_root.Get(), L"CLSID\\" + FormatGuid(CLSID_VexilSim)));
    EXPECT_FALSE(KeyExists(m_root.Get(), L"Vexil.Simulator"));
    EXPECT_FALSE(KeyExists(m_root.Get(), L"Vexil.Simulator.1"));
    EXPECT_FALSE(KeyExists(m_root.Get(), L"TypeLib\\" + FormatGuid(LIBID_VexilSimLib)));
    EXPECT_TRUE(HoldsOnlyEmptyParents());
    // Unregistering twice is harmless.
    EXPECT_EQ(CallServer("DllUnregisterServer"), S_OK);
}

} // namespace
