#pragma once
// A small container as start-up leaves it, for the file readers to work on.
#include "data/DataContainer.h"

inline void FillFuzzContainer(CDataContainer& container)
{
    const GUID none{};
    for (const std::int32_t id : {0, 1, 0x1A, -1})
    {
        container.AddDevice(id, "Device" + std::to_string(id), 1);
        for (int r = 0; r < 4; ++r)
            container.AddRegister(id, static_cast<std::uint32_t>(r * 4), "REG" + std::to_string(r), "A/B", 8 << r, 0, 0xF,
                                  none);
    }
}
