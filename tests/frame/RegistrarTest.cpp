// The registrar runs a component's registry script against a registry: here
// an in-memory one, so the same tests run natively and under Wine.
#include "frame/registrar/Registrar.h"
#include "tests/support/FakeRegistry.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const char* const SCRIPT = R"(HKCR
{
    Test.Thing.1 = s 'Test Thing'
    {
        CLSID = s '{11111111-2222-3333-4444-555555555555}'
    }
    NoRemove CLSID
    {
        ForceRemove {11111111-2222-3333-4444-555555555555} = s 'Test Thing'
        {
            ForceRemove 'Programmable'
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Apartment'
            }
            'MiscStatus' = s '0'
            {
                '1' = s '131473'
            }
            Flags = d 7
        }
    }
}
)";
const char* const CLASS_KEY = "CLSID\\{11111111-2222-3333-4444-555555555555}";

// The module's path has a quote, which the script must keep.
std::int32_t RunScript(const std::string& script, Registrar::Mode mode, CFakeRegistry& registry)
{
    return Registrar::Run(script, {{"MODULE", Registrar::QuoteForScript("C:\\Bob's tools\\thing.dll")}}, mode,
                          registry);
}

// Register, register again over what an older version left, unregister.
TEST(Registrar, RegistrationWritesTheScriptReplacesWhatWasBelowTheClassKeyAndUnregistrationKeepsNoRemoveKeys)
{
    CFakeRegistry registry;
    registry.CreateKey("HKCR", "CLSID\\{99999999-0000-0000-0000-000000000000}"); // another component's class
    ASSERT_EQ(RunScript(SCRIPT, Registrar::Mode::Register, registry), 0);
    EXPECT_EQ(registry.GetValue("HKCR", "Test.Thing.1"), "Test Thing");
    EXPECT_EQ(registry.GetValue("HKCR", "Test.Thing.1\\CLSID"), "{11111111-2222-3333-4444-555555555555}");
    EXPECT_EQ(registry.GetValue("HKCR", CLASS_KEY), "Test Thing");
    EXPECT_TRUE(registry.HasKey("HKCR", std::string(CLASS_KEY) + "\\Programmable"));
    EXPECT_EQ(registry.GetValue("HKCR", std::string(CLASS_KEY) + "\\Programmable"), "<none>");
    EXPECT_EQ(registry.GetValue("HKCR", std::string(CLASS_KEY) + "\\InprocServer32"), "C:\\Bob's tools\\thing.dll");
    EXPECT_EQ(registry.GetValue("HKCR", std::string(CLASS_KEY) + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(registry.GetValue("HKCR", std::string(CLASS_KEY) + "\\MiscStatus\\1"), "131473");
    EXPECT_EQ(registry.GetValue("HKCR", std::string(CLASS_KEY) + "\\Flags"), "7");

    // Something left below the class key by an older version goes with it.
    registry.CreateKey("HKCR", std::string(CLASS_KEY) + "\\Stale");
    ASSERT_EQ(RunScript(SCRIPT, Registrar::Mode::Register, registry), 0);
    EXPECT_TRUE(registry.HasKey("HKCR", std::string(CLASS_KEY) + "\\InprocServer32"));
    EXPECT_FALSE(registry.HasKey("HKCR", std::string(CLASS_KEY) + "\\Stale"));

    ASSERT_EQ(RunScript(SCRIPT, Registrar::Mode::Unregister, registry), 0);
    EXPECT_FALSE(registry.HasKey("HKCR", "Test.Thing.1"));
    EXPECT_FALSE(registry.HasKey("HKCR", CLASS_KEY));
    EXPECT_TRUE(registry.HasKey("HKCR", "CLSID"));
    EXPECT_TRUE(registry.HasKey("HKCR", "CLSID\\{99999999-0000-0000-0000-000000000000}"));
}

TEST(Registrar, RegistrationStopsAtTheFirstFailingKeyAndScriptsThatCannotBeReadAreRefused)
{
    CFakeRegistry registry;
    registry.FailOn("MiscStatus");
    EXPECT_EQ(RunScript(SCRIPT, Registrar::Mode::Register, registry), static_cast<std::int32_t>(0x80070005u));
    EXPECT_TRUE(registry.HasKey("HKCR", std::string(CLASS_KEY) + "\\InprocServer32"));
    EXPECT_FALSE(registry.HasKey("HKCR", std::string(CLASS_KEY) + "\\Flags"));
    EXPECT_EQ(RunScript("HKCR { Key = s 'open }", Registrar::Mode::Register, registry),
              static_cast<std::int32_t>(0x80070057u));
    EXPECT_EQ(Registrar::Run("HKCR { K = s '%UNKNOWN%' }", {}, Registrar::Mode::Register, registry),
              static_cast<std::int32_t>(0x80070057u));
    EXPECT_FALSE(registry.HasKey("HKCR", "Key"));
}

// Each script parsed, shown as its keys "name(subkeys)=default" or as the error.
TEST(RegistryScript, ParsesKeysOrNamesTheLineOfTheError)
{
    const std::function<std::string(const std::vector<RegistryScript::CKey>&)> show = [&show](const auto& keys) {
        std::string text;
        for (const RegistryScript::CKey& key : keys)
            text += key.Name + "(" + show(key.Keys) + ")" + (key.Default ? "=" + key.Default->Text : "") + ";";
        return text;
    };
    const std::pair<const char*, const char*> rows[] = {
        {"HKCR { K {}}", "K();"},
        {"HKCR { K{L {}}", "K{L();"}, // a brace next to a name is part of it
        {"HKCR {\n{1111-22} = s 'x''y' {}\n}", "{1111-22}()=x'y;"},
        {"HKCR { K = d 7 }", "K()=;"},
        {"\nHKCR\n{\n  Key = x 'a'\n}\n", "line 4: unknown value type 'x'"},
        {"HKCR\n{\n  Key\n  {\n", "line 5: missing '}'"},
        {"HKCR { K = d 12x }", "line 1: expected a number"},
    };
    for (const auto& [script, expected] : rows)
    {
        std::string error;
        const auto parsed = RegistryScript::Parse(script, error);
        EXPECT_EQ(parsed ? show(parsed->Roots.at(0).Keys) : error, expected) << script;
    }
}

TEST(RegistryScript, PercentSignsAndQuotesSurviveSubstitutionAndUnknownNamesAreRefused)
{
    std::string text;
    ASSERT_TRUE(RegistryScript::Substitute("100%% at '%A%'", {{"A", "x''y"}}, text));
    EXPECT_EQ(text, "100% at 'x''y'");
    EXPECT_FALSE(RegistryScript::Substitute("'%B%'", {{"A", "x"}}, text));
    EXPECT_FALSE(RegistryScript::Substitute("'%A'", {{"A", "x"}}, text));
}

} // namespace
