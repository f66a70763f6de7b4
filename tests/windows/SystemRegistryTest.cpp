// The registrar against Wine's real registry, in a key of the current user
// that belongs to this test alone. The module's own script (HKCR, texts only)
// is checked through regsvr32; this covers the other roots and number values.
#include "frame/registrar/SystemRegistry.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(SystemRegistry, ScriptRegistersIntoTheRegistryAndUnregistersAgain)
{
    const char* const script = "HKEY_CURRENT_USER { NoRemove Software { ForceRemove VexilRegistrarTest = s 'Test' "
                               "{ val Count = d 3 } } }";
    CSystemRegistry registry;
    ASSERT_EQ(Registrar::Run(script, {}, Registrar::Mode::Register, registry), 0);
    char text[16] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\VexilRegistrarTest", nullptr, RRF_RT_REG_SZ, nullptr, text,
                           &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, "Test");
    DWORD count = 0;
    size = sizeof count;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\VexilRegistrarTest", "Count", RRF_RT_REG_DWORD, nullptr, &count,
                           &size),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 3u);

    ASSERT_EQ(Registrar::Run(script, {}, Registrar::Mode::Unregister, registry), 0);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VexilRegistrarTest", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

} // namespace
