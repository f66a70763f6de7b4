#pragma once
// A register value of up to 128 bits: 32-bit words, word 0 the least
// significant; a length of n bits uses the first GetWordCount(n) words.

#include <array>
#include <cstdint>

constexpr int kMaxRegisterLength = 128;
constexpr int kMaxWordCount = kMaxRegisterLength / 32;

constexpr bool IsValidLength(long length) { return length >= 1 && length <= kMaxRegisterLength; }
constexpr int GetWordCount(int length) { return (length + 31) / 32; }

class CWords
{
public:
    constexpr CWords() = default;
    constexpr explicit CWords(std::uint64_t low) : m_words{static_cast<std::uint32_t>(low), static_cast<std::uint32_t>(low >> 32)} {}

    // All bits of a length set.
    static CWords MakeAllOnes(int length) { return (~CWords()).CutTo(length); }

    std::uint32_t& operator[](int index) { return m_words.at(static_cast<std::size_t>(index)); }
    std::uint32_t operator[](int index) const { return m_words.at(static_cast<std::size_t>(index)); }

    friend constexpr CWords operator&(CWords a, const CWords& b)
    {
        for (std::size_t i = 0; i < a.m_words.size(); ++i)
            a.m_words[i] &= b.m_words[i];
        return a;
    }
    friend constexpr CWords operator|(CWords a, const CWords& b)
    {
        for (std::size_t i = 0; i < a.m_words.size(); ++i)
            a.m_words[i] |= b.m_words[i];
        return a;
    }
    constexpr CWords operator~() const
    {
        CWords result = *this;
        for (std::uint32_t& word : result.m_words)
            word = ~word;
        return result;
    }
    friend constexpr bool operator==(const CWords&, const CWords&) = default;

    // The bits of the length only.
    CWords CutTo(int length) const;
    // Adds a number, wrapping at 128 bits (the caller cuts to its length).
    CWords Add(std::uint64_t addend) const;
    bool GetBit(int bit) const { return ((*this)[bit / 32] >> (bit % 32)) & 1u; }
    void SetBit(int bit) { (*this)[bit / 32] |= 1u << (bit % 32); }

private:
    std::array<std::uint32_t, kMaxWordCount> m_words{};
};
