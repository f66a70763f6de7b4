// The walk from device to peripherals, clusters, registers and fields, with
// the register properties each level passes down.
#include "svd/SvdImporter.h"

#include "svd/SvdDerivation.h"
#include "svd/SvdNumbers.h"

#include <optional>
#include <set>

namespace {

// size, access, resetValue and resetMask as a level passes them down.
struct CProperties
{
    std::optional<std::uint64_t> size;
    std::optional<long> operations;
    std::optional<std::uint64_t> resetValue;
    std::optional<std::uint64_t> resetMask;
};

[[noreturn]] void Refuse(const CXmlElement& element, const std::wstring& problem)
{
    throw CSvdError{element.line, element.name, problem};
}

const CXmlElement& RequireChild(const CXmlElement& element, const wchar_t* name)
{
    const CXmlElement* child = element.FindChild(name);
    if (!child)
        Refuse(element, L"the required element <" + std::wstring(name) + L"> is missing");
    return *child;
}

std::uint64_t ReadNumber(const CXmlElement& element)
{
    const std::optional<std::uint64_t> value = ParseSvdNumber(element.text);
    if (!value)
        Refuse(element, L"\"" + element.text + L"\" is not a number");
    return *value;
}

std::optional<std::uint64_t> FindNumber(const CXmlElement& parent, const wchar_t* name)
{
    const CXmlElement* child = parent.FindChild(name);
    return child ? std::optional(ReadNumber(*child)) : std::nullopt;
}

long ReadAccess(const CXmlElement& element)
{
    const std::wstring& text = element.text;
    if (text == L"read-only")
        return kOperationRead;
    if (text == L"write-only" || text == L"writeOnce")
        return 0x2;
    if (text == L"read-write" || text == L"read-writeOnce")
        return kOperationRead | 0x2;
    Refuse(element, L"\"" + text + L"\" is not an access type");
}

CProperties Inherit(const CProperties& outer, const CXmlElement& element)
{
    CProperties properties = outer;
    if (std::optional<std::uint64_t> size = FindNumber(element, L"size"))
        properties.size = size;
    if (const CXmlElement* access = element.FindChild(L"access"))
        properties.operations = ReadAccess(*access);
    if (std::optional<std::uint64_t> value = FindNumber(element, L"resetValue"))
        properties.resetValue = value;
    if (std::optional<std::uint64_t> mask = FindNumber(element, L"resetMask"))
        properties.resetMask = mask;
    return properties;
}

const std::wstring& RequireName(const CXmlElement& element) { return RequireChild(element, L"name").text; }

// The names and address offsets of an element's array, or the element alone.
std::vector<std::pair<std::wstring, std::uint64_t>> ExpandArray(const CXmlElement& element)
{
    const std::wstring& name = RequireName(element);
    const CXmlElement* dimElement = element.FindChild(L"dim");
    if (!dimElement)
        return {{name, 0}};
    const std::uint64_t dim = ReadNumber(*dimElement);
    if (dim == 0 || dim > kMaxDim)
        Refuse(*dimElement, L"dim " + dimElement->text + L" is not 1 to " + std::to_wstring(kMaxDim));
    const std::uint64_t increment = ReadNumber(RequireChild(element, L"dimIncrement"));
    if (name.find(L"%s") == std::wstring::npos)
        Refuse(element, L"the array " + name + L" has no %s in its name");
    std::vector<std::wstring> indexes;
    if (const CXmlElement* list = element.FindChild(L"dimIndex"))
    {
        std::optional<std::vector<std::wstring>> names = ExpandDimIndex(list->text);
        if (!names)
            Refuse(*list, L"\"" + list->text + L"\" is not a dim index list");
        if (names->size() != dim)
            Refuse(*list, L"dimIndex lists " + std::to_wstring(names->size()) + L" names for dim " + std::to_wstring(dim));
        indexes = std::move(*names);
    }
    else
        for (std::uint64_t i = 0; i < dim; ++i)
            indexes.push_back(std::to_wstring(i));
    std::vector<std::pair<std::wstring, std::uint64_t>> members;
    for (std::size_t i = 0; i < indexes.size(); ++i)
        members.emplace_back(ExpandDimName(name, indexes[i]), increment * i);
    return members;
}

CFieldInfo ReadField(const CXmlElement& field, const std::wstring& name, std::uint64_t offset, int registerLength)
{
    CFieldInfo info;
    info.name = name;
    if (const std::wstring* description = field.FindChildText(L"description"))
        info.description = *description;
    if (const std::wstring* access = field.FindChildText(L"access"))
        info.access = *access;
    if (const std::wstring* action = field.FindChildText(L"readAction"))
        info.readAction = *action;
    std::optional<std::uint64_t> lsb;
    std::optional<std::uint64_t> width;
    if (const CXmlElement* range = field.FindChild(L"bitRange"))
    {
        const std::optional<CBitRange> bits = ParseBitRange(range->text);
        if (!bits)
            Refuse(*range, L"\"" + range->text + L"\" is not a bit range [msb:lsb]");
        lsb = static_cast<std::uint64_t>(bits->lsb);
        width = static_cast<std::uint64_t>(bits->width);
    }
    else if (std::optional<std::uint64_t> bitOffset = FindNumber(field, L"bitOffset"))
    {
        lsb = bitOffset;
        width = FindNumber(field, L"bitWidth").value_or(1);
    }
    else if (std::optional<std::uint64_t> low = FindNumber(field, L"lsb"))
    {
        const std::uint64_t high = ReadNumber(RequireChild(field, L"msb"));
        if (high < *low)
            Refuse(field, L"msb is below lsb");
        lsb = low;
        width = high - *low + 1;
    }
    else
        Refuse(field, L"the field " + name + L" gives no bit position (bitRange, bitOffset or lsb and msb)");
    *lsb += offset;
    if (*width == 0 || *lsb + *width > static_cast<std::uint64_t>(registerLength))
        Refuse(field, L"the field " + name + L" does not lie within the register's " + std::to_wstring(registerLength) +
                          L" bits");
    info.lsb = static_cast<int>(*lsb);
    info.width = static_cast<int>(*width);
    for (const CXmlElement& list : field.children)
        if (list.name == L"enumeratedValues")
            for (const CXmlElement& value : list.children)
                if (value.name == L"enumeratedValue")
                {
                    CEnumeratedValue entry;
                    if (const std::wstring* text = value.FindChildText(L"name"))
                        entry.name = *text;
                    if (const std::wstring* text = value.FindChildText(L"value"))
                        entry.value = *text;
                    else if (value.FindChild(L"isDefault"))
                        entry.value = L"default";
                    if (const std::wstring* text = value.FindChildText(L"description"))
                        entry.description = *text;
                    info.values.push_back(std::move(entry));
                }
    return info;
}

class CImporter
{
public:
    explicit CImporter(const CXmlElement& peripherals) : m_derivation(peripherals) {}

    void ImportPeripheral(const CXmlElement& raw, const CProperties& outer, CDescription& description)
    {
        const CResolvedPeripheral resolved = m_derivation.ResolvePeripheral(raw);
        const CXmlElement& peripheral = *resolved.element;
        const CProperties properties = Inherit(outer, peripheral);
        const std::uint64_t base = ReadNumber(RequireChild(peripheral, L"baseAddress"));
        for (const auto& [name, offset] : ExpandArray(peripheral))
        {
            CDeviceInfo device;
            device.id = static_cast<long>(description.devices.size() + 1);
            device.name = name;
            m_names.clear();
            if (resolved.registers)
                ImportMembers(*resolved.registers, base + offset, L"", properties, device);
            description.devices.push_back(std::move(device));
        }
    }

private:
    void ImportMembers(const CXmlElement& container, std::uint64_t base, const std::wstring& path,
                       const CProperties& outer, CDeviceInfo& device)
    {
        for (const CXmlElement& raw : container.children)
        {
            if (raw.name != L"register" && raw.name != L"cluster")
                continue;
            const CXmlElement& member = m_derivation.ResolveMember(raw, container);
            const CProperties properties = Inherit(outer, member);
            const std::uint64_t offset = ReadNumber(RequireChild(member, L"addressOffset"));
            for (const auto& [name, step] : ExpandArray(member))
            {
                if (member.name == L"cluster")
                    ImportMembers(member, base + offset + step, path.empty() ? name : path + L"/" + name, properties,
                                  device);
                else
                    ImportRegister(member, name, base + offset + step, path, properties, device);
            }
        }
    }

    void ImportRegister(const CXmlElement& element, std::wstring name, std::uint64_t address, const std::wstring& path,
                        const CProperties& properties, CDeviceInfo& device)
    {
        if (const std::wstring* group = element.FindChildText(L"alternateGroup"))
            name += L"_" + *group;
        if (!m_names.insert(path + L"/" + name).second)
            Refuse(element, L"the name " + name + L" is repeated in peripheral " + device.name);
        if (!properties.size)
            Refuse(element, L"the register " + name + L" has no size, nor does any level above it");
        if (*properties.size == 0 || *properties.size > kMaxRegisterLength)
            Refuse(element, L"the register " + name + L" is " + std::to_wstring(*properties.size) +
                                L" bits wide; 1 to 128 are served");
        if (address > 0xFFFFFFFFu)
            Refuse(element, L"the register " + name + L" lies above the 32-bit address space");
        CRegisterInfo info;
        info.name = name;
        info.path = path;
        info.address = static_cast<long>(static_cast<std::uint32_t>(address));
        info.length = static_cast<int>(*properties.size);
        info.operations = properties.operations.value_or(kOperationRead | 0x2);
        const std::uint64_t lengthMask = info.length >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << info.length) - 1;
        info.reset = CWords(properties.resetValue.value_or(0) & properties.resetMask.value_or(~std::uint64_t{0}) &
                            lengthMask);
        if (const std::wstring* text = element.FindChildText(L"description"))
            info.description = *text;
        if (const std::wstring* text = element.FindChildText(L"readAction"))
            info.readAction = *text;
        if (const std::wstring* text = element.FindChildText(L"modifiedWriteValues"))
            info.modifiedWriteValues = *text;
        if (const CXmlElement* fields = element.FindChild(L"fields"))
            for (const CXmlElement& field : fields->children)
                if (field.name == L"field")
                    for (const auto& [fieldName, step] : ExpandArray(field))
                        info.fields.push_back(ReadField(field, fieldName, step, info.length));
        device.registers.push_back(std::move(info));
    }

    CSvdDerivation m_derivation;
    std::set<std::wstring> m_names; // path/name of the current peripheral's registers
};

ByteOrder ReadByteOrder(const CXmlElement& device)
{
    const CXmlElement* cpu = device.FindChild(L"cpu");
    const std::wstring* endian = cpu ? cpu->FindChildText(L"endian") : nullptr;
    if (endian && *endian == L"little")
        return ByteOrder::Little;
    if (endian && *endian == L"big")
        return ByteOrder::Big;
    return ByteOrder::Unspecified;
}

} // namespace

std::variant<CDescription, CSvdError> ImportSvd(const CXmlElement& device)
{
    try
    {
        if (device.name != L"device")
            Refuse(device, L"the document's root is <" + device.name + L">, not <device>");
        const CXmlElement& peripherals = RequireChild(device, L"peripherals");
        const CProperties properties = Inherit({}, device);
        CDescription description;
        description.byteOrder = ReadByteOrder(device);
        CImporter importer(peripherals);
        for (const CXmlElement& peripheral : peripherals.children)
            if (peripheral.name == L"peripheral")
                importer.ImportPeripheral(peripheral, properties, description);
        return description;
    }
    catch (const CSvdError& error)
    {
        return error;
    }
}

std::wstring FormatSvdError(const std::wstring& file, const CSvdError& error)
{
    return file + L", line " + std::to_wstring(error.line) + L", <" + error.element + L">: " + error.problem;
}
