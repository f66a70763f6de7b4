// The walk from device to peripherals, clusters, registers and fields, with
// the register properties each level passes down.
#include "svd/SvdImporter.h"

#include "svd/SvdDerivation.h"
#include "svd/SvdNumbers.h"

#include <optional>
#include <set>

namespace {

using namespace std::literals; // names compared as L"..."sv: their length is known at compile time

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
    throw CSvdError{element.line, std::wstring(element.name), problem};
}

std::wstring Quote(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

const CXmlElement& RequireChild(const CXmlElement& element, std::wstring_view name)
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
        Refuse(element, Quote(element.text) + L" is not a number");
    return *value;
}

std::optional<std::uint64_t> FindNumber(const CXmlElement& parent, std::wstring_view name)
{
    const CXmlElement* child = parent.FindChild(name);
    return child ? std::optional(ReadNumber(*child)) : std::nullopt;
}

long ReadAccess(const CXmlElement& element)
{
    const std::wstring_view text = element.text;
    if (text == L"read-only"sv)
        return kOperationRead;
    if (text == L"write-only"sv || text == L"writeOnce"sv)
        return 0x2;
    if (text == L"read-write"sv || text == L"read-writeOnce"sv)
        return kOperationRead | 0x2;
    Refuse(element, Quote(text) + L" is not an access type");
}

CProperties Inherit(const CProperties& outer, const CXmlElement& element)
{
    CProperties properties = outer;
    if (std::optional<std::uint64_t> size = FindNumber(element, L"size"sv))
        properties.size = size;
    if (const CXmlElement* access = element.FindChild(L"access"sv))
        properties.operations = ReadAccess(*access);
    if (std::optional<std::uint64_t> value = FindNumber(element, L"resetValue"sv))
        properties.resetValue = value;
    if (std::optional<std::uint64_t> mask = FindNumber(element, L"resetMask"sv))
        properties.resetMask = mask;
    return properties;
}

std::wstring_view RequireName(const CXmlElement& element) { return RequireChild(element, L"name"sv).text; }

// Visits the name and address offset of each member of an element's array,
// or the element alone: visit(std::wstring name, std::uint64_t offset). No
// list for the element alone: most fields and registers are not arrays.
template <class Visit> void ForEachArrayMember(const CXmlElement& element, Visit&& visit)
{
    const std::wstring_view name = RequireName(element);
    const CXmlElement* dimElement = element.FindChild(L"dim"sv);
    if (!dimElement)
    {
        visit(std::wstring(name), 0);
        return;
    }
    const std::uint64_t dim = ReadNumber(*dimElement);
    if (dim == 0 || dim > kMaxDim)
        Refuse(*dimElement, L"dim " + std::wstring(dimElement->text) + L" is not 1 to " + std::to_wstring(kMaxDim));
    const std::uint64_t increment = ReadNumber(RequireChild(element, L"dimIncrement"sv));
    if (name.find(L"%s") == std::wstring_view::npos)
        Refuse(element, L"the array " + std::wstring(name) + L" has no %s in its name");
    std::vector<std::wstring> indexes;
    if (const CXmlElement* list = element.FindChild(L"dimIndex"sv))
    {
        std::optional<std::vector<std::wstring>> names = ExpandDimIndex(list->text);
        if (!names)
            Refuse(*list, Quote(list->text) + L" is not a dim index list");
        if (names->size() != dim)
            Refuse(*list, L"dimIndex lists " + std::to_wstring(names->size()) + L" names for dim " + std::to_wstring(dim));
        indexes = std::move(*names);
    }
    else
        for (std::uint64_t i = 0; i < dim; ++i)
            indexes.push_back(std::to_wstring(i));
    for (std::size_t i = 0; i < indexes.size(); ++i)
        visit(ExpandDimName(name, indexes[i]), increment * i);
}

CFieldInfo ReadField(const CXmlElement& field, std::wstring name, std::uint64_t offset, int registerLength)
{
    CFieldInfo info;
    info.name = std::move(name);
    if (const std::wstring_view* description = field.FindChildText(L"description"sv))
        info.description = *description;
    if (const std::wstring_view* access = field.FindChildText(L"access"sv))
        info.access = *access;
    if (const std::wstring_view* action = field.FindChildText(L"readAction"sv))
        info.readAction = *action;
    std::optional<std::uint64_t> lsb;
    std::optional<std::uint64_t> width;
    if (const CXmlElement* range = field.FindChild(L"bitRange"sv))
    {
        const std::optional<CBitRange> bits = ParseBitRange(range->text);
        if (!bits)
            Refuse(*range, Quote(range->text) + L" is not a bit range [msb:lsb]");
        lsb = static_cast<std::uint64_t>(bits->lsb);
        width = static_cast<std::uint64_t>(bits->width);
    }
    else if (std::optional<std::uint64_t> bitOffset = FindNumber(field, L"bitOffset"sv))
    {
        lsb = bitOffset;
        width = FindNumber(field, L"bitWidth"sv).value_or(1);
    }
    else if (std::optional<std::uint64_t> low = FindNumber(field, L"lsb"sv))
    {
        const std::uint64_t high = ReadNumber(RequireChild(field, L"msb"sv));
        if (high < *low)
            Refuse(field, L"msb is below lsb");
        lsb = low;
        width = high - *low + 1;
    }
    else
        Refuse(field, L"the field " + info.name + L" gives no bit position (bitRange, bitOffset or lsb and msb)");
    *lsb += offset;
    if (*width == 0 || *lsb + *width > static_cast<std::uint64_t>(registerLength))
        Refuse(field, L"the field " + info.name + L" does not lie within the register's " +
                          std::to_wstring(registerLength) + L" bits");
    info.lsb = static_cast<int>(*lsb);
    info.width = static_cast<int>(*width);
    for (const CXmlElement& list : field.children)
        if (list.name == L"enumeratedValues"sv)
            for (const CXmlElement& value : list.children)
                if (value.name == L"enumeratedValue"sv)
                {
                    CEnumeratedValue entry;
                    if (const std::wstring_view* text = value.FindChildText(L"name"sv))
                        entry.name = *text;
                    if (const std::wstring_view* text = value.FindChildText(L"value"sv))
                        entry.value = *text;
                    else if (value.FindChild(L"isDefault"sv))
                        entry.value = L"default"sv;
                    if (const std::wstring_view* text = value.FindChildText(L"description"sv))
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
        const std::uint64_t base = ReadNumber(RequireChild(peripheral, L"baseAddress"sv));
        ForEachArrayMember(peripheral, [&](std::wstring name, std::uint64_t offset) {
            CDeviceInfo device;
            device.id = static_cast<long>(description.devices.size() + 1);
            device.name = std::move(name);
            m_names.clear();
            if (resolved.registers)
                ImportMembers(*resolved.registers, base + offset, L"", properties, device);
            description.devices.push_back(std::move(device));
        });
    }

private:
    void ImportMembers(const CXmlElement& container, std::uint64_t base, const std::wstring& path,
                       const CProperties& outer, CDeviceInfo& device)
    {
        for (const CXmlElement& raw : container.children)
        {
            if (raw.name != L"register"sv && raw.name != L"cluster"sv)
                continue;
            const CXmlElement& member = m_derivation.ResolveMember(raw, container);
            const CProperties properties = Inherit(outer, member);
            const std::uint64_t offset = ReadNumber(RequireChild(member, L"addressOffset"sv));
            ForEachArrayMember(member, [&](std::wstring name, std::uint64_t step) {
                if (member.name == L"cluster"sv)
                    ImportMembers(member, base + offset + step, path.empty() ? name : path + L"/" + name, properties,
                                  device);
                else
                    ImportRegister(member, std::move(name), base + offset + step, path, properties, device);
            });
        }
    }

    void ImportRegister(const CXmlElement& element, std::wstring name, std::uint64_t address, const std::wstring& path,
                        const CProperties& properties, CDeviceInfo& device)
    {
        if (const std::wstring_view* group = element.FindChildText(L"alternateGroup"sv))
            (name += L"_") += *group;
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
        if (const std::wstring_view* text = element.FindChildText(L"description"sv))
            info.description = *text;
        if (const std::wstring_view* text = element.FindChildText(L"readAction"sv))
            info.readAction = *text;
        if (const std::wstring_view* text = element.FindChildText(L"modifiedWriteValues"sv))
            info.modifiedWriteValues = *text;
        if (const CXmlElement* fields = element.FindChild(L"fields"sv))
        {
            info.fields.reserve(fields->children.size());
            for (const CXmlElement& field : fields->children)
                if (field.name == L"field"sv)
                    ForEachArrayMember(field, [&](std::wstring fieldName, std::uint64_t step) {
                        info.fields.push_back(ReadField(field, std::move(fieldName), step, info.length));
                    });
        }
        device.registers.push_back(std::move(info));
    }

    CSvdDerivation m_derivation;
    std::set<std::wstring> m_names; // path/name of the current peripheral's registers
};

ByteOrder ReadByteOrder(const CXmlElement& device)
{
    const CXmlElement* cpu = device.FindChild(L"cpu"sv);
    const std::wstring_view* endian = cpu ? cpu->FindChildText(L"endian"sv) : nullptr;
    if (endian && *endian == L"little"sv)
        return ByteOrder::Little;
    if (endian && *endian == L"big"sv)
        return ByteOrder::Big;
    return ByteOrder::Unspecified;
}

} // namespace

std::variant<CDescription, CSvdError> ImportSvd(const CXmlElement& device)
{
    try
    {
        if (device.name != L"device"sv)
            Refuse(device, L"the document's root is <" + std::wstring(device.name) + L">, not <device>");
        const CXmlElement& peripherals = RequireChild(device, L"peripherals"sv);
        const CProperties properties = Inherit({}, device);
        CDescription description;
        description.byteOrder = ReadByteOrder(device);
        CImporter importer(peripherals);
        for (const CXmlElement& peripheral : peripherals.children)
            if (peripheral.name == L"peripheral"sv)
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
