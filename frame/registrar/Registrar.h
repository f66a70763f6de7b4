#pragma once
// Carries out a registry script: registration writes its keys and values,
// unregistration removes them again (NoRemove keys stay, their subkeys are
// visited). The registry itself is reached through IRegistryAccess, the
// system's registry on Windows or a test's stand-in.

#include "frame/registrar/RegistryScript.h"

#include <cstdint>
#include <map>
#include <string>

// Status codes are the registry's (0 success, otherwise a Win32 error code).
class IRegistryAccess
{
public:
    virtual long CreateKey(const std::string& root, const std::string& path) = 0;
    // An empty name stands for the key's default value.
    virtual long SetValue(const std::string& root, const std::string& path, const std::string& name,
                          const RegistryScript::CValue& value) = 0;
    // Deletes the key with all its subkeys; 0 also when it did not exist.
    virtual long DeleteTree(const std::string& root, const std::string& path) = 0;

protected:
    ~IRegistryAccess() = default;
};

namespace Registrar {

enum class Mode
{
    Register,
    Unregister,
};

// The result of a registration: S_OK, the registry's failure as an HRESULT
// (the first one; the keys after it are not written), or E_INVALIDARG for a
// script that does not parse or names an unknown replacement. Unregistration
// visits every key and reports only a script that cannot be read.
std::int32_t Run(const std::string& script, const std::map<std::string, std::string>& replacements, Mode mode,
                 IRegistryAccess& registry);

// Doubles every single quote, so that a text can stand inside '...'.
std::string QuoteForScript(const std::string& text);

} // namespace Registrar
