// Any bytes as the selection file: a defined result code or states set.
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
        container.ReadSelections(bytes);
    }
    catch (const CResultError&)
    {
    }
    // The selection as written reads back to the same selection.
    const std::string written = container.WriteSelections();
    container.ClearStates();
    container.ReadSelections(written);
    if (container.WriteSelections() != written)
        std::abort();
    return 0;
}
