#pragma once
// The registrar's script language, in which a component describes the
// registry keys it owns:
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {...} = s 'Name'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// A key may carry a default value (= s 'text' or = d 123) and braces with
// named values (val Name = ...) and subkeys. NoRemove keys survive
// unregistration; ForceRemove keys are deleted before they are written.
// Quoted texts double a quote to contain one; %NAME% is replaced before
// parsing. Plain C++: it is parsed and checked on every platform.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace RegistryScript {

struct CValue
{
    enum class Type { String, Dword };
    Type Kind = Type::String;
    std::string Text;        // String
    std::uint32_t Number = 0; // Dword
};

struct CKey
{
    std::string Name;
    bool NoRemove = false;
    bool ForceRemove = false;
    std::optional<CValue> Default;
    std::vector<std::pair<std::string, CValue>> Values; // named values, in script order
    std::vector<CKey> Keys;                             // subkeys, in script order
};

struct CRoot
{
    std::string Name; // as written: HKCR, HKEY_CLASSES_ROOT, HKLM, ...
    std::vector<CKey> Keys;
};

struct CScript
{
    std::vector<CRoot> Roots;
};

// Replaces every %NAME% whose NAME is in the map; "%%" stands for "%".
// False for a %NAME% that the map lacks.
bool Substitute(const std::string& text, const std::map<std::string, std::string>& replacements,
                std::string& result);

// Parses a script; on failure returns none and says where and why.
std::optional<CScript> Parse(const std::string& text, std::string& error);

} // namespace RegistryScript
