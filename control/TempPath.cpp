#include "control/TempPath.h"

#include <utility>

namespace TempPath {
namespace {

CGet& Current()
{
    static CGet get;
    return get;
}

} // namespace

DWORD Get(DWORD size, char* buffer)
{
    if (const CGet& get = Current())
        return get(size, buffer);
    return GetTempPathA(size, buffer);
}

CGet Replace(CGet get)
{
    return std::exchange(Current(), std::move(get));
}

} // namespace TempPath
