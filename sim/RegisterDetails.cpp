// Bit fields and read side effects of a description's registers.
#include "sim/RegisterDetails.h"
#include "platform/HexDigit.h"

#include <algorithm>

namespace RegisterDetails {

namespace {

std::wstring DescribeReadAction(std::wstring_view action, const std::wstring& what)
{
    if (action == L"clear")
        return L"a read clears " + what;
    if (action == L"set")
        return L"a read sets " + what;
    if (action == L"modify")
        return L"a read modifies " + what;
    if (action == L"modifyExternal")
        return L"a read of " + what + L" changes the hardware elsewhere";
    return {};
}

void Append(std::wstring& text, const std::wstring& part)
{
    if (!part.empty())
        text += (text.empty() ? L"" : L"; ") + part;
}

// Digits of one base from the least significant up, each into `bits` bits of
// the value; 'x' (binary only) leaves the bit out of the mask.
std::optional<CValueAndMask> ParseDigits(std::wstring_view digits, int base, int width)
{
    if (digits.empty())
        return std::nullopt;
    const int bitsPerDigit = base == 16 ? 4 : 1;
    if (static_cast<int>(digits.size()) * bitsPerDigit > kMaxRegisterLength + (base == 16 ? 3 : 0))
        return std::nullopt;
    CValueAndMask result{CWords(), CWords::MakeAllOnes(width)};
    for (std::size_t i = 0; i < digits.size(); ++i)
    {
        const wchar_t c = digits[digits.size() - 1 - i];
        const int bit = static_cast<int>(i) * bitsPerDigit;
        if (base == 2 && (c == L'x' || c == L'X'))
        {
            if (bit < width)
                result.mask[bit / 32] &= ~(1u << (bit % 32));
            continue;
        }
        const int digit = GetHexDigitValue(c);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        for (int k = 0; k < bitsPerDigit; ++k)
            if ((digit >> k) & 1u)
            {
                if (bit + k >= width)
                    return std::nullopt;
                result.value.SetBit(bit + k);
            }
    }
    return result;
}

std::optional<CValueAndMask> ParseDecimal(std::wstring_view digits, int width)
{
    if (digits.empty() || digits.size() > 20)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const wchar_t c : digits)
    {
        if (c < L'0' || c > L'9' || value > (UINT64_MAX - static_cast<unsigned>(c - L'0')) / 10)
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    const CWords words(value);
    if (words.CutTo(width) != words)
        return std::nullopt;
    return CValueAndMask{words, CWords::MakeAllOnes(width)};
}

} // namespace

const CRegisterInfo* FindRegister(const CDescription& description, long deviceId, std::wstring_view name)
{
    const CDeviceInfo* device = description.FindDevice(deviceId);
    if (!device)
        return nullptr;
    const auto found = std::find_if(device->registers.begin(), device->registers.end(),
                                    [name](const CRegisterInfo& info) { return info.name == name; });
    return found == device->registers.end() ? nullptr : &*found;
}

std::wstring DescribeReadEffect(const CRegisterInfo& info)
{
    // Most registers have none: they are told apart without building a text.
    if (info.behaviour != RegisterBehaviour::ReadToClear && info.readAction.empty() &&
        std::all_of(info.fields.begin(), info.fields.end(), [](const CFieldInfo& field) { return field.readAction.empty(); }))
        return {};
    std::wstring text;
    if (info.behaviour == RegisterBehaviour::ReadToClear)
        Append(text, L"a read clears the bits it returns");
    Append(text, DescribeReadAction(info.readAction, L"the register"));
    for (const CFieldInfo& field : info.fields)
        Append(text, DescribeReadAction(field.readAction, field.name));
    return text;
}

std::optional<CValueAndMask> ParseEnumeratedValue(std::wstring_view text, int width)
{
    if (width < 1 || width > kMaxRegisterLength)
        return std::nullopt;
    if (text == L"default")
        return CValueAndMask{};
    if (text.starts_with(L"0x") || text.starts_with(L"0X"))
        return ParseDigits(text.substr(2), 16, width);
    if (text.starts_with(L"0b") || text.starts_with(L"0B"))
        return ParseDigits(text.substr(2), 2, width);
    if (text.starts_with(L"#"))
        return ParseDigits(text.substr(1), 2, width);
    return ParseDecimal(text, width);
}

std::wstring FormatHex(const CWords& words)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (int nibble = kMaxRegisterLength / 4 - 1; nibble >= 0; --nibble)
    {
        const unsigned digit = (words[nibble / 8] >> (4 * (nibble % 8))) & 0xFu;
        if (digit != 0 || !text.empty())
            text += digits[digit];
    }
    return L"0x" + (text.empty() ? std::wstring(L"0") : text);
}

} // namespace RegisterDetails
