#include "sim/Words.h"

CWords CWords::CutTo(int length) const
{
    CWords result;
    for (int i = 0; i < kMaxWordCount; ++i)
    {
        const int bitsLeft = length - 32 * i;
        if (bitsLeft <= 0)
            break;
        result.m_words[static_cast<std::size_t>(i)] =
            bitsLeft >= 32 ? m_words[static_cast<std::size_t>(i)]
                           : m_words[static_cast<std::size_t>(i)] & ((1u << bitsLeft) - 1u);
    }
    return result;
}

CWords CWords::Add(std::uint64_t addend) const
{
    CWords result = *this;
    std::uint64_t carry = addend;
    for (std::uint32_t& word : result.m_words)
    {
        const std::uint64_t sum = static_cast<std::uint64_t>(word) + (carry & 0xFFFFFFFFu);
        word = static_cast<std::uint32_t>(sum);
        carry = (carry >> 32) + (sum >> 32);
        if (carry == 0)
            break;
    }
    return result;
}
