#include "frame/registrar/Registrar.h"

namespace {

constexpr std::int32_t OK = 0;
constexpr std::int32_t INVALID_ARGUMENT = static_cast<std::int32_t>(0x80070057u);

std::int32_t FromStatus(long status)
{
    // HRESULT_FROM_WIN32
    return status <= 0 ? static_cast<std::int32_t>(status)
                       : static_cast<std::int32_t>((static_cast<std::uint32_t>(status) & 0xFFFF) | 0x80070000u);
}

std::string Join(const std::string& parent, const std::string& name)
{
    return parent.empty() ? name : parent + "\\" + name;
}

std::int32_t RegisterKey(IRegistryAccess& registry, const std::string& root, const std::string& parent,
                         const RegistryScript::CKey& key)
{
    const std::string path = Join(parent, key.Name);
    if (key.ForceRemove)
        registry.DeleteTree(root, path);
    if (const long status = registry.CreateKey(root, path))
        return FromStatus(status);
    if (key.Default)
        if (const long status = registry.SetValue(root, path, "", *key.Default))
            return FromStatus(status);
    for (const auto& [name, value] : key.Values)
        if (const long status = registry.SetValue(root, path, name, value))
            return FromStatus(status);
    for (const auto& subkey : key.Keys)
        if (const std::int32_t hr = RegisterKey(registry, root, path, subkey); hr < 0)
            return hr;
    return OK;
}

void UnregisterKey(IRegistryAccess& registry, const std::string& root, const std::string& parent,
                   const RegistryScript::CKey& key)
{
    const std::string path = Join(parent, key.Name);
    if (!key.NoRemove)
    {
        registry.DeleteTree(root, path);
        return;
    }
    for (const auto& subkey : key.Keys)
        UnregisterKey(registry, root, path, subkey);
}

} // namespace

namespace Registrar {

std::int32_t Run(const std::string& script, const std::map<std::string, std::string>& replacements, Mode mode,
                 IRegistryAccess& registry)
{
    std::string text;
    if (!RegistryScript::Substitute(script, replacements, text))
        return INVALID_ARGUMENT;
    std::string error;
    const auto parsed = RegistryScript::Parse(text, error);
    if (!parsed)
        return INVALID_ARGUMENT;
    for (const auto& root : parsed->Roots)
        for (const auto& key : root.Keys)
        {
            if (mode == Mode::Unregister)
                UnregisterKey(registry, root.Name, "", key);
            else if (const std::int32_t hr = RegisterKey(registry, root.Name, "", key); hr < 0)
                return hr;
        }
    return OK;
}

std::string QuoteForScript(const std::string& text)
{
    std::string quoted;
    for (const char c : text)
    {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted;
}

} // namespace Registrar
