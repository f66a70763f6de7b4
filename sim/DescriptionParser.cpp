// The description text format: one statement per line (sim/README.md).
#include "sim/Description.h"
#include "platform/HexDigit.h"
#include "sim/RegisterDetails.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <map>
#include <optional>
#include <set>
#include <functional>

namespace {

// A problem of the line being read; ParseDescription adds the line number.
struct CLineProblem
{
    std::wstring text;
};

[[noreturn]] void Fail(std::wstring text) { throw CLineProblem{std::move(text)}; }

std::wstring ToWide(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0);
    if (size <= 0)
        Fail(L"the line is not UTF-8 text");
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// Words separated by blanks; double quotes group blanks into a word and are
// removed; a word starting with '#' outside quotes ends the line.
std::vector<std::wstring> SplitWords(const std::wstring& line)
{
    std::vector<std::wstring> words;
    std::size_t i = 0;
    while (i < line.size())
    {
        while (i < line.size() && (line[i] == L' ' || line[i] == L'\t'))
            ++i;
        if (i == line.size() || line[i] == L'#')
            break;
        std::wstring word;
        bool quoted = false;
        for (; i < line.size() && (quoted || (line[i] != L' ' && line[i] != L'\t')); ++i)
        {
            if (line[i] == L'"')
                quoted = !quoted;
            else
                word += line[i];
        }
        if (quoted)
            Fail(L"a quote is not closed");
        words.push_back(std::move(word));
    }
    return words;
}

std::wstring Quote(const std::wstring& word) { return L"\"" + word + L"\""; }

std::optional<std::uint64_t> ParseUnsigned(std::wstring_view digits, unsigned base, std::uint64_t limit)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : digits)
    {
        const int found = GetHexDigitValue(c);
        const unsigned digit = found < 0 ? base : static_cast<unsigned>(found);
        if (digit >= base || value > (limit - digit) / base)
            return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

bool IsHex(std::wstring_view word) { return word.size() > 2 && word[0] == L'0' && (word[1] == L'x' || word[1] == L'X'); }

// A 32-bit number as the server interface carries it: decimal (negative
// allowed) or hexadecimal up to 0xFFFFFFFF, kept as its bit pattern.
long ParseNumber32(const std::wstring& word, const wchar_t* what)
{
    std::optional<std::uint64_t> value;
    bool negative = false;
    if (IsHex(word))
        value = ParseUnsigned(std::wstring_view(word).substr(2), 16, 0xFFFFFFFFu);
    else if (!word.empty() && word[0] == L'-')
    {
        negative = true;
        value = ParseUnsigned(std::wstring_view(word).substr(1), 10, 0x80000000u);
    }
    else
        value = ParseUnsigned(word, 10, 0xFFFFFFFFu);
    if (!value)
        Fail(std::wstring(what) + L" " + Quote(word) + L" is not a 32-bit number");
    const std::uint32_t bits = static_cast<std::uint32_t>(negative ? (0u - *value) : *value);
    return static_cast<long>(static_cast<std::int32_t>(bits));
}

int ParseLength(const std::wstring& word)
{
    const std::optional<std::uint64_t> value = ParseUnsigned(word, 10, 1000);
    if (!value || !IsValidLength(static_cast<long>(*value)))
        Fail(L"length " + Quote(word) + L" is not a number of bits from 1 to 128");
    return static_cast<int>(*value);
}

long ParseOperations(const std::wstring& word)
{
    if (word == L"-")
        return 0;
    if (const std::optional<std::uint64_t> number = ParseUnsigned(word, 10, 15))
        return static_cast<long>(*number);
    static const std::wstring letters = L"RWCS";
    long operations = 0;
    for (wchar_t c : word)
    {
        const std::size_t bit = letters.find(static_cast<wchar_t>(std::towupper(c)));
        if (bit == std::wstring::npos)
            Fail(L"operations " + Quote(word) + L" are neither letters R, W, C, S nor a number from 0 to 15");
        if (operations & (1L << bit))
            Fail(L"operations " + Quote(word) + L" name " + std::wstring(1, letters[bit]) + L" twice");
        operations |= 1L << bit;
    }
    return operations;
}

CWords ParseValue(const std::wstring& word, int length)
{
    CWords value;
    bool valid = !word.empty();
    if (IsHex(word))
    {
        const std::wstring_view digits = std::wstring_view(word).substr(2);
        valid = digits.size() <= 32;
        for (std::size_t i = 0; valid && i < digits.size(); ++i)
        {
            // The last digit is the least significant nibble.
            const std::optional<std::uint64_t> nibble = ParseUnsigned(digits.substr(digits.size() - 1 - i, 1), 16, 15);
            valid = nibble.has_value();
            if (valid)
                value[static_cast<int>(i / 8)] |= static_cast<std::uint32_t>(*nibble) << (4 * (i % 8));
        }
    }
    else if (const std::optional<std::uint64_t> number = ParseUnsigned(word, 10, UINT64_MAX))
        value = CWords(*number);
    else
        valid = false;
    if (!valid)
        Fail(L"reset value " + Quote(word) + L" is neither a decimal number up to 64 bits nor 0x and up to 32 hex digits");
    if (value.CutTo(length) != value)
        Fail(L"reset value " + word + L" does not fit in " + std::to_wstring(length) + L" bits");
    return value;
}

void ParseBehaviour(const std::wstring& word, CRegisterInfo& info)
{
    static const std::wstring periodic = L"read-to-clear:";
    if (word == L"counter")
        info.behaviour = RegisterBehaviour::Counter;
    else if (word == L"read-to-clear")
        info.behaviour = RegisterBehaviour::ReadToClear;
    else if (word.starts_with(periodic))
    {
        const std::optional<std::uint64_t> period =
            ParseUnsigned(std::wstring_view(word).substr(periodic.size()), 10, 3600000);
        if (!period || *period == 0)
            Fail(L"the period of " + Quote(word) + L" is not a number of milliseconds from 1 to 3600000");
        info.behaviour = RegisterBehaviour::ReadToClear;
        info.setPeriodMs = static_cast<unsigned>(*period);
    }
    else if (word == L"write-1-to-clear")
        info.behaviour = RegisterBehaviour::WriteOneToClear;
    else if (word == L"id")
        info.behaviour = RegisterBehaviour::Identification;
    else
        Fail(L"behaviour " + Quote(word) +
             L" is none of counter, read-to-clear, read-to-clear:<ms>, write-1-to-clear, id");
}

// key=value words after the positional ones; each key at most once.
std::map<std::wstring, std::wstring> ParseOptions(const std::vector<std::wstring>& words, std::size_t first,
                                                  const std::set<std::wstring>& keys)
{
    std::map<std::wstring, std::wstring> options;
    for (std::size_t i = first; i < words.size(); ++i)
    {
        const std::size_t equals = words[i].find(L'=');
        const std::wstring key = words[i].substr(0, equals);
        if (equals == std::wstring::npos || !keys.contains(key))
            Fail(Quote(words[i]) + L" is not one of the settings " + [&keys] {
                std::wstring list;
                for (const std::wstring& k : keys)
                    list += (list.empty() ? L"" : L", ") + k + L"=";
                return list;
            }());
        if (!options.emplace(key, words[i].substr(equals + 1)).second)
            Fail(L"setting " + key + L"= is given twice");
    }
    return options;
}

// The registers of the device being read by address and by name: open
// addressing over their places in the device's list, so that a device of
// 100,000 registers takes no node and no copy of a name per register.
class CRegisterLookup
{
public:
    void Clear()
    {
        m_slots.clear();
        m_count = 0;
    }

    // The register at the address, or null.
    const CRegisterInfo* FindAddress(const std::vector<CRegisterInfo>& registers, long address) const
    {
        return Find(registers, HashAddress(address), [address](const CRegisterInfo& info) { return info.address == address; },
                    &CSlot::byAddress);
    }

    const CRegisterInfo* FindName(const std::vector<CRegisterInfo>& registers, const std::wstring& name) const
    {
        return Find(registers, HashName(name), [&name](const CRegisterInfo& info) { return info.name == name; },
                    &CSlot::byName);
    }

    // Room for that many registers in all; the list holds those indexed so far.
    void Reserve(const std::vector<CRegisterInfo>& registers, std::size_t count)
    {
        if (count * 4 <= m_slots.size() * 3)
            return;
        std::size_t size = m_slots.empty() ? 64 : m_slots.size();
        while (count * 4 > size * 3)
            size *= 2;
        m_slots.assign(size, CSlot{});
        for (std::size_t i = 0; i < m_count; ++i)
            Place(registers, i);
    }

    // Indexes the last register of the list.
    void AddLast(const std::vector<CRegisterInfo>& registers)
    {
        Reserve(registers, m_count + 1);
        Place(registers, m_count++);
    }

private:
    static constexpr std::uint32_t FREE = 0xFFFFFFFFu;
    struct CSlot
    {
        std::uint32_t byAddress = FREE;
        std::uint32_t byName = FREE;
    };

    static std::size_t HashAddress(long address)
    {
        return static_cast<std::size_t>(static_cast<std::uint64_t>(static_cast<std::uint32_t>(address)) *
                                        0x9E3779B97F4A7C15ull >> 20);
    }
    static std::size_t HashName(const std::wstring& name) { return std::hash<std::wstring>{}(name); }

    template <class Same>
    const CRegisterInfo* Find(const std::vector<CRegisterInfo>& registers, std::size_t hash, Same same,
                              std::uint32_t CSlot::*field) const
    {
        if (m_slots.empty())
            return nullptr;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask; m_slots[i].*field != FREE; i = (i + 1) & mask)
            if (same(registers[m_slots[i].*field]))
                return &registers[m_slots[i].*field];
        return nullptr;
    }

    void Place(const std::vector<CRegisterInfo>& registers, std::size_t index)
    {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = HashAddress(registers[index].address) & mask;
        while (m_slots[i].byAddress != FREE)
            i = (i + 1) & mask;
        m_slots[i].byAddress = static_cast<std::uint32_t>(index);
        for (i = HashName(registers[index].name) & mask; m_slots[i].byName != FREE; i = (i + 1) & mask)
        {
        }
        m_slots[i].byName = static_cast<std::uint32_t>(index);
    }

    std::vector<CSlot> m_slots; // a power of two of them
    std::size_t m_count = 0;
};

class CParser
{
public:
    void ParseLine(const std::vector<std::wstring>& words)
    {
        if (words[0] == L"device")
            ParseDevice(words);
        else if (words[0] == L"register")
            ParseRegister(words);
        else if (words[0] == L"field")
            ParseField(words);
        else if (words[0] == L"value")
            ParseFieldValue(words);
        else
            Fail(L"unknown statement " + Quote(words[0]) + L" (expected device, register, field or value)");
    }

    CDescription TakeDescription() { return std::move(m_description); }

    // Room for that many registers of the last device, if there is one.
    void ReserveRegisters(std::size_t count)
    {
        if (m_description.devices.empty())
            return;
        std::vector<CRegisterInfo>& registers = m_description.devices.back().registers;
        registers.reserve(count);
        m_lookup.Reserve(registers, count);
    }

private:
    void ParseDevice(const std::vector<std::wstring>& words)
    {
        if (words.size() < 3)
            Fail(L"a device needs an id and a name: device <id> <name> [user=0|1]");
        CDeviceInfo device;
        device.id = ParseNumber32(words[1], L"device id");
        device.name = words[2];
        if (device.name.empty())
            Fail(L"the device name is empty");
        for (const CDeviceInfo& other : m_description.devices)
        {
            if (other.id == device.id)
                Fail(L"device id " + words[1] + L" is used twice");
            if (other.name == device.name)
                Fail(L"device name " + Quote(device.name) + L" is used twice");
        }
        for (const auto& [key, value] : ParseOptions(words, 3, {L"user"}))
        {
            if (value != L"0" && value != L"1")
                Fail(L"user=" + value + L" is neither user=0 nor user=1");
            device.userRegisterFlag = value == L"1" ? 1 : 0;
        }
        m_description.devices.push_back(std::move(device));
        m_lookup.Clear();
    }

    void ParseRegister(const std::vector<std::wstring>& words)
    {
        if (m_description.devices.empty())
            Fail(L"a register comes before the first device");
        if (words.size() < 5)
            Fail(L"a register needs a name, an address, a length and operations: "
                 L"register <name> <address> <length> <operations> [reset=] [path=] [behaviour=]");
        CDeviceInfo& device = m_description.devices.back();
        CRegisterInfo info;
        info.name = words[1];
        // The control's register files hold a name as one word after a '|'.
        if (info.name.empty() || info.name.find_first_of(L" \t|") != std::wstring::npos)
            Fail(L"register name " + Quote(info.name) + L" is empty or holds a blank or '|'");
        info.address = ParseNumber32(words[2], L"address");
        info.length = ParseLength(words[3]);
        info.operations = ParseOperations(words[4]);
        for (const auto& [key, value] : ParseOptions(words, 5, {L"reset", L"path", L"behaviour"}))
        {
            if (key == L"reset")
                info.reset = ParseValue(value, info.length);
            else if (key == L"path")
                info.path = value;
            else
                ParseBehaviour(value, info);
        }
        if (const CRegisterInfo* other = m_lookup.FindAddress(device.registers, info.address))
            Fail(L"device " + Quote(device.name) + L" already has register " + other->name + L" at address " + words[2]);
        if (m_lookup.FindName(device.registers, info.name))
            Fail(L"device " + Quote(device.name) + L" already has a register named " + info.name);
        device.registers.push_back(std::move(info));
        m_lookup.AddLast(device.registers);
    }

    void ParseField(const std::vector<std::wstring>& words)
    {
        if (m_description.devices.empty() || m_description.devices.back().registers.empty())
            Fail(L"a field comes before the first register");
        if (words.size() < 3)
            Fail(L"a field needs a name and its bits: field <name> <msb>:<lsb>|<bit> [access=] [read=] "
                 L"[description=]");
        CRegisterInfo& owner = m_description.devices.back().registers.back();
        CFieldInfo field;
        field.name = words[1];
        if (field.name.empty())
            Fail(L"the field name is empty");
        for (const CFieldInfo& other : owner.fields)
            if (other.name == field.name)
                Fail(L"register " + owner.name + L" already has a field named " + field.name);
        const std::size_t colon = words[2].find(L':');
        const auto msb = ParseUnsigned(std::wstring_view(words[2]).substr(0, colon), 10, 1000);
        const auto lsb =
            colon == std::wstring::npos ? msb : ParseUnsigned(std::wstring_view(words[2]).substr(colon + 1), 10, 1000);
        if (!msb || !lsb || *msb < *lsb || *msb >= static_cast<std::uint64_t>(owner.length))
            Fail(L"bits " + Quote(words[2]) + L" are not <msb>:<lsb> or <bit> within the register's " +
                 std::to_wstring(owner.length) + L" bits");
        field.lsb = static_cast<int>(*lsb);
        field.width = static_cast<int>(*msb - *lsb + 1);
        static const std::set<std::wstring> accesses = {L"read-only", L"write-only", L"read-write", L"writeOnce",
                                                        L"read-writeOnce"};
        static const std::set<std::wstring> actions = {L"clear", L"set", L"modify", L"modifyExternal"};
        for (const auto& [key, value] : ParseOptions(words, 3, {L"access", L"read", L"description"}))
        {
            if (key == L"access" && !accesses.contains(value))
                Fail(L"access=" + value + L" is none of read-only, write-only, read-write, writeOnce, read-writeOnce");
            if (key == L"read" && !actions.contains(value))
                Fail(L"read=" + value + L" is none of clear, set, modify, modifyExternal");
            (key == L"access" ? field.access : key == L"read" ? field.readAction : field.description) = value;
        }
        owner.fields.push_back(std::move(field));
    }

    void ParseFieldValue(const std::vector<std::wstring>& words)
    {
        if (m_description.devices.empty() || m_description.devices.back().registers.empty() ||
            m_description.devices.back().registers.back().fields.empty())
            Fail(L"a value comes before the first field");
        if (words.size() < 3)
            Fail(L"a value needs a number and a name: value <number>|default <name> [description=]");
        CFieldInfo& field = m_description.devices.back().registers.back().fields.back();
        if (!RegisterDetails::ParseEnumeratedValue(words[1], field.width))
            Fail(L"value " + Quote(words[1]) + L" is neither default nor a number (decimal, 0x hex, 0b binary with x) " +
                 L"within the field's " + std::to_wstring(field.width) + L" bits");
        CEnumeratedValue value{words[2], words[1], {}};
        for (const auto& [key, text] : ParseOptions(words, 3, {L"description"}))
            value.description = text;
        field.values.push_back(std::move(value));
    }

    CDescription m_description;
    CRegisterLookup m_lookup; // the registers of the last device
};

// The lines before the next device statement, at most: a device of 100,000
// registers gets its room at once instead of moving its growing list again
// and again.
std::size_t CountLinesOfDevice(std::string_view text)
{
    std::size_t lines = 0;
    while (!text.empty())
    {
        const std::size_t start = text.find_first_not_of(" \t");
        if (start != std::string_view::npos && text.substr(start).starts_with("device"))
            break;
        ++lines;
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace

std::variant<CDescription, CDescriptionError> ParseDescription(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    CParser parser;
    int lineNumber = 0;
    while (!text.empty())
    {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        try
        {
            const std::vector<std::wstring> words = SplitWords(ToWide(line));
            if (!words.empty())
                parser.ParseLine(words);
            if (!words.empty() && words[0] == L"device")
                parser.ReserveRegisters(CountLinesOfDevice(text));
        }
        catch (const CLineProblem& problem)
        {
            return CDescriptionError{lineNumber, problem.text};
        }
    }
    return parser.TakeDescription();
}

const CDeviceInfo* CDescription::FindDevice(long id) const
{
    const auto found = std::find_if(devices.begin(), devices.end(), [id](const CDeviceInfo& d) { return d.id == id; });
    return found == devices.end() ? nullptr : &*found;
}

std::wstring GetBehaviourName(RegisterBehaviour behaviour)
{
    switch (behaviour)
    {
    case RegisterBehaviour::Counter:
        return L"counter";
    case RegisterBehaviour::ReadToClear:
        return L"read-to-clear";
    case RegisterBehaviour::WriteOneToClear:
        return L"write-1-to-clear";
    case RegisterBehaviour::Identification:
        return L"id";
    case RegisterBehaviour::Plain:
        break;
    }
    return {};
}
