// Bit fields of a register value, and their texts.
#include "data/FieldDecoding.h"
#include "platform/HexDigit.h"

#include <algorithm>

namespace FieldDecoding {

namespace {

std::uint32_t WordAt(std::span<const std::uint32_t> words, std::size_t index)
{
    return index < words.size() ? words[index] : 0u;
}

bool Matches(std::span<const std::uint32_t> value, const CFieldValueName& candidate)
{
    for (std::size_t i = 0; i < candidate.mask.size(); ++i)
        if ((WordAt(value, i) ^ WordAt(candidate.value, i)) & candidate.mask[i])
            return false;
    return true;
}

bool IsDefault(const CFieldValueName& candidate)
{
    return std::all_of(candidate.mask.begin(), candidate.mask.end(), [](std::uint32_t word) { return word == 0; });
}

std::string FormatHex(std::span<const std::uint32_t> words)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t nibble = words.size() * 8; nibble-- > 0;)
    {
        const unsigned digit = (words[nibble / 8] >> (4 * (nibble % 8))) & 0xFu;
        if (digit != 0 || !text.empty())
            text += digits[digit];
    }
    return "0x" + (text.empty() ? std::string("0") : text);
}

} // namespace

std::vector<std::uint32_t> ExtractBits(std::span<const std::uint32_t> words, int lsb, int width)
{
    if (lsb < 0 || width <= 0)
        return {};
    std::vector<std::uint32_t> result((static_cast<std::size_t>(width) + 31) / 32, 0u);
    const std::size_t shift = static_cast<std::size_t>(lsb) % 32;
    const std::size_t first = static_cast<std::size_t>(lsb) / 32;
    for (std::size_t i = 0; i < result.size(); ++i)
    {
        const std::uint64_t pair = WordAt(words, first + i) | (std::uint64_t{WordAt(words, first + i + 1)} << 32);
        result[i] = static_cast<std::uint32_t>(pair >> shift);
    }
    if (const int top = width % 32; top != 0)
        result.back() &= (1u << top) - 1u;
    return result;
}

std::optional<std::vector<std::uint32_t>> ParseHexWords(std::string_view text)
{
    if (!(text.starts_with("0x") || text.starts_with("0X")) || text.size() == 2)
        return std::nullopt;
    const std::string_view digits = text.substr(2);
    std::vector<std::uint32_t> words((digits.size() + 7) / 8, 0u);
    for (std::size_t i = 0; i < digits.size(); ++i)
    {
        const char c = digits[digits.size() - 1 - i];
        const int digit = GetHexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        words[i / 8] |= static_cast<std::uint32_t>(digit) << (4 * (i % 8));
    }
    return words;
}

std::string FindValueName(const CFieldDetail& field, std::span<const std::uint32_t> value)
{
    const CFieldValueName* fallback = nullptr;
    for (const CFieldValueName& candidate : field.values)
    {
        if (IsDefault(candidate))
        {
            if (!fallback)
                fallback = &candidate;
        }
        else if (Matches(value, candidate))
            return candidate.name;
    }
    return fallback ? fallback->name : std::string();
}

std::string FormatField(const CFieldDetail& field, const std::vector<std::uint32_t>* registerValue)
{
    std::string text = field.name + " [" + std::to_string(field.lsb + field.width - 1);
    if (field.width > 1)
        text += ":" + std::to_string(field.lsb);
    text += "]";
    if (!registerValue)
        return text;
    const std::vector<std::uint32_t> value = ExtractBits(*registerValue, field.lsb, field.width);
    text += " = " + (field.width > 32 ? FormatHex(value) : std::to_string(WordAt(value, 0)));
    if (const std::string name = FindValueName(field, value); !name.empty())
        text += " (" + name + ")";
    return text;
}

std::string JoinLines(const std::vector<std::string>& lines, std::size_t limit)
{
    if (limit == 0)
        return {};
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\r\n") + line;
    if (text.size() >= limit)
    {
        text.resize(limit - 1);
        text.replace(text.size() - std::min<std::size_t>(3, text.size()), std::string::npos,
                     std::string(std::min<std::size_t>(3, text.size()), '.'));
    }
    return text;
}

} // namespace FieldDecoding
