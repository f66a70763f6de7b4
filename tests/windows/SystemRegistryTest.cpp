// The registrar against Wine's real registry, in a key of the current user
// that belongs to this test alone.
#include "frame/registrar/SystemRegistry.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const char* const SCRIPT = R"(HKCU
{
    NoRemove Software
    {
        ForceRemove VexilRegistrarTest = s 'Test'
        {
            Server = s '%MODULE%'
            {
                val ThreadingModel = s 'Apartment'
            }
            val Count = d 3
        }
    }
})";

std::string ReadString(const char* path, const char* name)
{
    char buffer[MAX_PATH] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return "<none>";
    return buffer;
}

TEST(SystemRegistry, ScriptRegistersIntoTheRegistryAndUnregistersAgain)
{
    CSystemRegistry registry;
    const std::map<std::string, std::string> replacements{{"MODULE", Registrar::QuoteForScript("C:\\it's\\x.dll")}};
    ASSERT_EQ(Registrar::Run(SCRIPT, replacements, Registrar::Mode::Register, registry), 0);
    EXPECT_EQ(ReadString("Software\\VexilRegistrarTest", nullptr), "Test");
    EXPECT_EQ(ReadString("Software\\VexilRegistrarTest\\Server", nullptr), "C:\\it's\\x.dll");
    EXPECT_EQ(ReadString("Software\\VexilRegistrarTest\\Server", "ThreadingModel"), "Apartment");
    DWORD count = 0;
    DWORD size = sizeof count;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\VexilRegistrarTest", "Count", RRF_RT_REG_DWORD, nullptr, &count,
                           &size),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 3u);

    ASSERT_EQ(Registrar::Run(SCRIPT, replacements, Registrar::Mode::Unregister, registry), 0);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VexilRegistrarTest", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

} // namespace
