#include "data/RegisterData.h"
#include "platform/HexDigit.h"

#include "data/CheckedResult.h"
#include "data/LineScanner.h"
#include "data/ResultCodes.h"
#include "platform/Platform.h"

#include <algorithm>
#include <new>

namespace {

constexpr std::uint32_t ALL_ONES = 0xFFFFFFFFu;

// One word per started 32 bits; a length of 0 or below has no words.
std::size_t WordCountOf(std::int32_t length)
{
    return length <= 0 ? 0 : static_cast<std::size_t>((static_cast<std::int64_t>(length) + 31) / 32);
}

// Bits used in the top word; 0 means the top word is used fully.
int TopBitsOf(std::int32_t length)
{
    return WordCountOf(length) == 1 ? length : length % 32;
}

std::uint32_t FullMaskWord(int topBits)
{
    return topBits > 0 && topBits < 32 ? (1u << topBits) - 1u : ALL_ONES;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// As a 32-bit strtoul: leading white space and a sign, digits up to the first
// other character, 4294967295 when the number does not fit. A "-" negates
// modulo 2^32, so "-1" gives 4294967295.
std::uint32_t ParseDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude > ALL_ONES)
            return ALL_ONES;
    }
    const auto value = static_cast<std::uint32_t>(magnitude);
    return negative ? 0u - value : value;
}

// A hexadecimal chunk is read up to its first non-digit; one that does not
// start with a digit reads as 0 (the list editing passes only hex digits).
std::uint32_t ParseHexChunk(std::string_view chunk)
{
    std::uint32_t value = 0;
    for (const char c : chunk)
    {
        const int digit = GetHexDigitValue(c);
        if (digit < 0)
            break;
        value = value * 16u + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// Binary chunk, from the right with weights 1, 2, 4...; only "1" counts.
std::uint32_t ParseBinaryChunk(std::string_view chunk)
{
    std::uint32_t value = 0;
    std::uint32_t weight = 1;
    for (auto it = chunk.rbegin(); it != chunk.rend(); ++it, weight <<= 1)
        if (*it == '1')
            value |= weight;
    return value;
}

// Chunk k (0 = rightmost) of the text cut into pieces of width characters
// from the right; empty once the text is used up.
std::string_view ChunkFromRight(std::string_view text, std::size_t k, std::size_t width)
{
    if (k >= (text.size() + width - 1) / width)
        return {};
    const std::size_t end = text.size() - k * width;
    const std::size_t start = end > width ? end - width : 0;
    return text.substr(start, end - start);
}

std::string BinaryDigits(std::uint32_t word, std::size_t padding)
{
    std::string digits;
    do
    {
        digits.insert(digits.begin(), (word & 1u) != 0 ? '1' : '0');
        word >>= 1;
    } while (word != 0);
    if (digits.size() < padding)
        digits.insert(0, padding - digits.size(), '0');
    return digits;
}

} // namespace

CRegisterData::CRegisterData(std::int32_t deviceId, std::uint32_t address, std::string name,
                             std::string secondText, std::int32_t length, std::int32_t userAdded,
                             std::uint32_t operations, const GUID& id)
    : m_name(std::move(name)), m_secondText(std::move(secondText)), m_address(address), m_deviceId(deviceId),
      m_operations(operations), m_id(id), m_userAdded(userAdded)
{
    if (IsNullGuid(m_id) && Platform::CreateGuid(m_id) < 0)
        RaiseResult(Vx::E_GUID_GENERATION);
    SetLength(length);
}

CRegisterData::~CRegisterData() = default;

void CRegisterData::SetLength(std::int32_t bits)
{
    const std::size_t words = WordCountOf(bits);
    CValueWords read, write, mask;
    try
    {
        read.assign(words, 0);
        write.assign(words, 0);
        mask.assign(words, ALL_ONES);
    }
    catch (const std::bad_alloc&)
    {
        RaiseResult(Vx::E_OUT_OF_MEMORY);
    }
    if (words != 0)
        mask.back() = FullMaskWord(TopBitsOf(bits));
    ReadValue.swap(read);
    WriteValue.swap(write);
    Mask.swap(mask);
    m_length = bits;
}

const CValueWords* CRegisterData::SelectShown(int selector) const
{
    if (selector == SELECT_READ)
        return &ReadValue;
    if (selector == SELECT_WRITE)
        return &WriteValue;
    if ((selector & SELECT_MASK) != 0)
        return &Mask;
    return nullptr;
}

std::string CRegisterData::GetValueText(int format, int selector) const
{
    const std::size_t words = GetWordCount();
    if (words == 0 || (format != FORMAT_DECIMAL && format != FORMAT_HEX && format != FORMAT_BINARY))
        return {};
    const CValueWords* value = SelectShown(selector);
    // The value arrays are public; a caller that resized one sees zeros, not stray memory.
    const auto word = [value](std::size_t i) { return value != nullptr && i < value->size() ? (*value)[i] : 0u; };

    if (format == FORMAT_DECIMAL)
        return std::to_string(word(0)); // higher words are not shown

    std::string text;
    if (format == FORMAT_HEX)
    {
        text = LineScanner::FormatHex(word(words - 1));
        for (std::size_t i = words - 1; i-- > 0;)
        {
            const std::string digits = LineScanner::FormatHex(word(i));
            text.append(8 - digits.size(), '0').append(digits);
        }
        const std::size_t first = std::min(text.find_first_not_of('0'), text.size() - 1);
        return text.substr(first);
    }

    const int topBits = TopBitsOf(m_length);
    text = BinaryDigits(word(words - 1), topBits != 0 ? static_cast<std::size_t>(topBits) : 32);
    for (std::size_t i = words - 1; i-- > 0;)
        text += BinaryDigits(word(i), 32);
    return text;
}

HRESULT CRegisterData::SetValueText(std::string_view text, int format, int selector)
{
    if (format != FORMAT_DECIMAL && format != FORMAT_HEX && format != FORMAT_BINARY && format != FORMAT_MASK_BINARY)
        return S_OK;
    for (std::size_t k = 0; k < GetWordCount(); ++k)
    {
        std::uint32_t word = 0;
        if (format == FORMAT_DECIMAL)
            word = k == 0 ? ParseDecimal(text) : 0;
        else if (format == FORMAT_HEX)
            word = ParseHexChunk(ChunkFromRight(text, k, 8));
        else
            word = ParseBinaryChunk(ChunkFromRight(text, k, 32));
        const auto store = [k, word](CValueWords& value) {
            if (k < value.size())
                value[k] = word;
        };
        if ((selector & SELECT_READ) != 0)
            store(ReadValue);
        if ((selector & SELECT_WRITE) != 0)
            store(WriteValue);
        if ((selector & SELECT_MASK) != 0)
            store(Mask);
    }
    return S_OK;
}

std::size_t CRegisterData::GetWordCount() const { return WordCountOf(m_length); }
