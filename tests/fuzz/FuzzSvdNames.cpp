// Any text as an SVD number, dim index list, array name and bit range.
// Invariants: lists stay within the largest dim, numbers read back.
#include "svd/SvdNumbers.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i)
        text += static_cast<wchar_t>(data[i]);

    if (std::optional<std::uint64_t> value = ParseSvdNumber(text))
    {
        if (ParseSvdNumber(std::to_wstring(*value)) != value)
            std::abort();
    }
    if (std::optional<std::vector<std::wstring>> names = ExpandDimIndex(text))
    {
        if (names->empty() || names->size() > kMaxDim)
            std::abort();
        for (const std::wstring& name : *names)
            if (name.empty())
                std::abort();
    }
    const std::size_t split = text.find(L'|');
    if (split != std::wstring::npos)
    {
        const std::wstring name = text.substr(0, split);
        const std::wstring index = text.substr(split + 1);
        const std::wstring expanded = ExpandDimName(name, index);
        if (name.find(L"%s") == std::wstring::npos && expanded != name)
            std::abort();
    }
    if (std::optional<CBitRange> range = ParseBitRange(text))
        if (range->width < 1 || range->lsb < 0)
            std::abort();
    return 0;
}
