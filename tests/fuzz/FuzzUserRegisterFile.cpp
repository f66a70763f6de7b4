// Any bytes as the user register file: a defined result code or registers added.
#include "data/CheckedResult.h"
#include "tests/fuzz/FuzzContainer.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CDataContainer container;
    FillFuzzContainer(container);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try
    {
        container.ReadUserRegisters(bytes);
    }
    catch (const CResultError&)
    {
        return 0;
    }
    // What was read must write back and read again without adding anything.
    const std::string written = container.WriteUserRegisters();
    CDataContainer again;
    FillFuzzContainer(again);
    again.ReadUserRegisters(written);
    if (again.WriteUserRegisters() != written)
        std::abort();
    return 0;
}
