#include "data/Texts.h"

#include <cstdint>

namespace {

struct CodeRow
{
    std::uint32_t code;
    int id;
};

constexpr CodeRow codeTable[] = {
#define VX_CODE(code, id) {code, id},
#include "data/CodeTable.inc"
#undef VX_CODE
};

struct StringRow
{
    int id;
    const char* text;
};

constexpr StringRow stringTable[] = {
#define VX_STRING(id, text) {id, text},
#include "data/StringTable.inc"
#undef VX_STRING
};

} // namespace

namespace Texts {

int GetCodeStringId(HRESULT code)
{
    for (const auto& row : codeTable)
        if (row.code == static_cast<std::uint32_t>(code))
            return row.id;
    return UNKNOWN_ERROR_ID;
}

std::string GetString(int id)
{
    for (const auto& row : stringTable)
        if (row.id == id)
            return row.text;
    return {};
}

std::string GetCodeText(HRESULT code) { return GetString(GetCodeStringId(code)); }

} // namespace Texts
