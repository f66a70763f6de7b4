// Any text typed into a value cell of a register of any length and kind.
#include "data/RegisterData.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const int length = data[0] % 160; // 0 to 159 bits: beyond the largest register
    static constexpr int formats[] = {1, 2, 4, 16, 3};
    const int format = formats[data[1] % 5];
    const int selector = data[2] % 16;
    const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);

    const GUID id{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    CRegisterData reg(1, 0, "R", "", length, 0, 0xF, id);
    reg.SetValueText(text, format, selector);
    const std::size_t words = reg.GetWordCount();
    if (reg.ReadValue.size() != words || reg.WriteValue.size() != words || reg.Mask.size() != words)
        std::abort();
    for (const int shown : {1, 2, 4})
        for (const int which : {1, 2, 12, 0})
            (void)reg.GetValueText(shown, which);

    // A hexadecimal text shown by the register reads back to the same words.
    const std::string hex = reg.GetValueText(2, 2);
    CRegisterData copy(1, 0, "R", "", length, 0, 0xF, id);
    copy.SetValueText(hex, 2, 2);
    if (copy.WriteValue != reg.WriteValue)
        std::abort();
    return 0;
}
