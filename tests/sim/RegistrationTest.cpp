// Self-registration into a private stand-in for HKEY_CLASSES_ROOT, so that
// the prefix's own registration, which other tests use, stays as it is. The
// keys themselves are checked by the registration test of the control, whose
// module registers through the same code.
#include "tests/sim/SimTestSupport.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace {

TEST(PrivateRegistration, RegisterThenUnregisterTwiceSucceeds)
{
    constexpr wchar_t kRootPath[] = L"Software\\VexilSimTest";
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRootPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)> root(created, &RegCloseKey);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, root.get()), ERROR_SUCCESS);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    {
        const std::string path = std::string("Z:") + VEXIL_SIM_DLL;
        const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> module(LoadLibraryA(path.c_str()),
                                                                                           &FreeLibrary);
        const auto call = [&module](const char* name) {
            using CServerCall = HRESULT(STDAPICALLTYPE*)();
            return reinterpret_cast<CServerCall>(reinterpret_cast<void*>(GetProcAddress(module.get(), name)))();
        };
        ASSERT_EQ(call("DllRegisterServer"), S_OK);
        EXPECT_EQ(call("DllUnregisterServer"), S_OK);
        EXPECT_EQ(call("DllUnregisterServer"), S_OK); // the type library is gone already: still a success
    }
    CoUninitialize();
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, kRootPath);
}

} // namespace
