#include "svd/SvdNumbers.h"
#include "platform/HexDigit.h"

#include <cwctype>

namespace {

// ASCII first: the C library's iswspace is slow under Wine, and nearly all text is ASCII.
bool IsSpace(wchar_t c)
{
    return c < 128 ? c == L' ' || (c >= L'\t' && c <= L'\r') : std::iswspace(static_cast<wint_t>(c)) != 0;
}

std::wstring_view Trim(std::wstring_view text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<std::uint64_t> ParseDigits(std::wstring_view digits, unsigned base)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : digits)
    {
        const int digit = GetHexDigitValue(c);
        if (digit < 0 || digit >= static_cast<int>(base))
            return std::nullopt;
        if (value > (UINT64_MAX - static_cast<unsigned>(digit)) / base)
            return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
    }
    return value;
}

int GetScaleShift(wchar_t suffix)
{
    switch (suffix)
    {
    case L'k': case L'K': return 10;
    case L'm': case L'M': return 20;
    case L'g': case L'G': return 30;
    case L't': case L'T': return 40;
    default: return 0;
    }
}

bool IsDecimal(std::wstring_view text)
{
    for (wchar_t c : text)
        if (c < L'0' || c > L'9')
            return false;
    return !text.empty();
}

} // namespace

std::optional<std::uint64_t> ParseSvdNumber(std::wstring_view text)
{
    text = Trim(text);
    if (!text.empty() && text.front() == L'+')
        text.remove_prefix(1);
    unsigned base = 10;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X'))
    {
        base = 16;
        text.remove_prefix(2);
    }
    else if (text.size() > 2 && text[0] == L'0' && (text[1] == L'b' || text[1] == L'B'))
    {
        base = 2;
        text.remove_prefix(2);
    }
    else if (!text.empty() && text.front() == L'#')
    {
        base = 2;
        text.remove_prefix(1);
    }
    int shift = 0;
    // A hexadecimal number has no suffix: its last letter is a digit.
    if (base != 16 && !text.empty())
        if ((shift = GetScaleShift(text.back())) != 0)
            text.remove_suffix(1);
    const std::optional<std::uint64_t> value = ParseDigits(text, base);
    if (!value || (shift != 0 && (*value >> (64 - shift)) != 0))
        return std::nullopt;
    return *value << shift;
}

std::optional<std::vector<std::wstring>> ExpandDimIndex(std::wstring_view text)
{
    text = Trim(text);
    std::vector<std::wstring> names;
    const std::size_t dash = text.find(L'-');
    if (dash != std::wstring_view::npos && text.find(L',') == std::wstring_view::npos)
    {
        const std::wstring_view first = Trim(text.substr(0, dash));
        const std::wstring_view last = Trim(text.substr(dash + 1));
        if (IsDecimal(first) && IsDecimal(last))
        {
            const std::optional<std::uint64_t> from = ParseDigits(first, 10);
            const std::optional<std::uint64_t> to = ParseDigits(last, 10);
            if (!from || !to || *to < *from || *to - *from >= kMaxDim)
                return std::nullopt;
            for (std::uint64_t i = *from; i <= *to; ++i)
                names.push_back(std::to_wstring(i));
            return names;
        }
        if (first.size() == 1 && last.size() == 1 && std::iswupper(static_cast<wint_t>(first[0])) &&
            std::iswupper(static_cast<wint_t>(last[0])) && first[0] <= last[0] && first[0] >= L'A' && last[0] <= L'Z')
        {
            for (wchar_t c = first[0]; c <= last[0]; ++c)
                names.emplace_back(1, c);
            return names;
        }
        return std::nullopt;
    }
    std::size_t start = 0;
    while (start <= text.size())
    {
        const std::size_t comma = std::min(text.find(L',', start), text.size());
        const std::wstring_view name = Trim(text.substr(start, comma - start));
        if (name.empty() || names.size() >= kMaxDim)
            return std::nullopt;
        for (wchar_t c : name)
            if (!(std::iswalnum(static_cast<wint_t>(c)) || c == L'_'))
                return std::nullopt;
        names.emplace_back(name);
        start = comma + 1;
    }
    return names;
}

std::wstring ExpandDimName(std::wstring_view name, std::wstring_view index)
{
    std::wstring result;
    for (std::size_t i = 0; i < name.size(); ++i)
    {
        if (name[i] == L'%' && i + 1 < name.size() && name[i + 1] == L's')
        {
            result += index;
            ++i;
        }
        else
            result += name[i];
    }
    return result;
}

std::optional<CBitRange> ParseBitRange(std::wstring_view text)
{
    text = Trim(text);
    if (text.size() < 5 || text.front() != L'[' || text.back() != L']')
        return std::nullopt;
    text = text.substr(1, text.size() - 2);
    const std::size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos)
        return std::nullopt;
    const std::optional<std::uint64_t> msb = ParseDigits(Trim(text.substr(0, colon)), 10);
    const std::optional<std::uint64_t> lsb = ParseDigits(Trim(text.substr(colon + 1)), 10);
    if (!msb || !lsb || *msb < *lsb || *msb >= 1024)
        return std::nullopt;
    return CBitRange{static_cast<int>(*lsb), static_cast<int>(*msb - *lsb + 1)};
}
