// Any "Devices" value of a configuration: every non-empty piece gives one ID,
// and the IDs written back as a device text read back the same.
#include "data/ConfigurationHandler.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto ids = CConfigurationHandler::ParseDeviceList(text);
    std::size_t pieces = 0;
    for (std::size_t start = 0; start <= text.size();)
    {
        const auto comma = text.find(',', start);
        const auto end = comma == std::string_view::npos ? text.size() : comma;
        pieces += end > start;
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (ids.size() != pieces)
        std::abort();

    std::string written;
    for (const auto id : ids)
        written += std::to_string(static_cast<std::uint32_t>(id)) + ",";
    if (CConfigurationHandler::ParseDeviceList(written) != ids)
        std::abort();
    return 0;
}
