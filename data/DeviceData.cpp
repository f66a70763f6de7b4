#include "data/DeviceData.h"

#include "data/CheckedResult.h"
#include "data/ResultCodes.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

template <class Map, class Key>
void EraseRecord(Map& map, const Key& key, const CRegisterData* record)
{
    const auto it = map.find(key);
    if (it == map.end())
        return;
    it->second.Erase(record);
    if (it->second.empty())
        map.erase(it);
}

// A failed insertion may leave an empty bucket behind; it means "none".
template <class Map, class Key>
auto FirstIn(const Map& map, const Key& key) -> decltype(&map.begin()->second.front())
{
    const auto it = map.find(key);
    return it == map.end() || it->second.empty() ? nullptr : &it->second.front();
}

} // namespace

std::size_t CDeviceData::GuidHash::operator()(const GUID& id) const noexcept
{
    static_assert(sizeof(GUID) == 16);
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    std::memcpy(&low, &id, 8);
    std::memcpy(&high, reinterpret_cast<const unsigned char*>(&id) + 8, 8);
    std::uint64_t mixed = low ^ (high * 0x9E3779B97F4A7C15ull);
    mixed ^= mixed >> 29;
    return static_cast<std::size_t>(mixed * 0xBF58476D1CE4E5B9ull);
}

void CDeviceData::Bucket::Insert(const IndexEntry& entry)
{
    if (empty())
    {
        m_one = entry;
        return;
    }
    if (!m_more)
        m_more = std::make_unique<std::vector<IndexEntry>>(1, m_one);
    const auto at = std::upper_bound(m_more->begin(), m_more->end(), entry.order,
                                     [](std::uint64_t order, const IndexEntry& other) { return order < other.order; });
    m_more->insert(at, entry);
}

void CDeviceData::Bucket::Erase(const CRegisterData* record)
{
    if (!m_more)
    {
        if (m_one.record == record)
            m_one = {0, nullptr};
        return;
    }
    std::erase_if(*m_more, [record](const IndexEntry& entry) { return entry.record == record; });
    if (m_more->size() > 1)
        return;
    m_one = m_more->empty() ? IndexEntry{0, nullptr} : m_more->front();
    m_more.reset();
}

CDeviceData::CDeviceData(std::int32_t id, std::string name) : m_id(id), m_name(std::move(name)) {}

CDeviceData::~CDeviceData() = default;

CRegisterData& CDeviceData::AddRegister(std::uint32_t address, const std::string& name,
                                        const std::string& secondText, std::int32_t length,
                                        std::int32_t userAdded, std::uint32_t operations, const GUID& id,
                                        bool check)
{
    if (check)
    {
        if (CRegisterData* existing = FindRegister(id))
            return *existing;
        if (FindRegisterByName(name) != nullptr)
            RaiseResult(Vx::E_REGISTER_NAME_EXISTS);
    }

    std::unique_ptr<CRegisterData> record;
    try
    {
        record = std::make_unique<CRegisterData>(m_id, address, name, secondText, length, userAdded, operations, id);
    }
    catch (const std::bad_alloc&)
    {
        RaiseResult(Vx::E_INVALID_POINTER); // the record itself could not be created
    }

    CRegisterData& added = *record;
    const IndexEntry entry{m_nextOrder, &added};
    try
    {
        m_registers.push_back(std::move(record));
    }
    catch (const std::bad_alloc&)
    {
        RaiseResult(Vx::E_OUT_OF_MEMORY);
    }
    try
    {
        m_byId[added.GetId()].Insert(entry);
        m_byName[added.GetName()].Insert(entry);
    }
    catch (const std::bad_alloc&)
    {
        Unindex(added);
        m_registers.pop_back();
        RaiseResult(Vx::E_OUT_OF_MEMORY);
    }
    ++m_nextOrder;
    return added;
}

const CDeviceData::IndexEntry* CDeviceData::FindEntry(const GUID& id) const { return FirstIn(m_byId, id); }

CRegisterData* CDeviceData::FindRegister(const GUID& id) const
{
    const IndexEntry* entry = FindEntry(id);
    return entry != nullptr ? entry->record : nullptr;
}

CRegisterData* CDeviceData::FindRegisterByName(std::string_view name) const
{
    const IndexEntry* entry = FirstIn(m_byName, name);
    return entry != nullptr ? entry->record : nullptr;
}

CRegisterData* CDeviceData::ModifyRegister(const GUID& id, std::uint32_t address, const std::string& name,
                                           std::int32_t length, std::uint32_t changeFlags)
{
    const IndexEntry* entry = FindEntry(id);
    if (entry == nullptr)
        return nullptr;
    const IndexEntry found = *entry;
    CRegisterData& record = *found.record;

    if ((changeFlags & CHANGE_LENGTH) != 0 && length != record.GetLength())
        record.SetLength(length);
    if ((changeFlags & CHANGE_NAME) != 0 && name != record.GetName())
    {
        std::string newName = name;
        try
        {
            m_byName[newName].Insert(found);
        }
        catch (const std::bad_alloc&)
        {
            RaiseResult(Vx::E_OUT_OF_MEMORY);
        }
        EraseRecord(m_byName, record.GetName(), &record);
        record.SetName(std::move(newName));
    }
    if ((changeFlags & CHANGE_ADDRESS) != 0)
        record.SetAddress(address);
    return &record;
}

HRESULT CDeviceData::SetRegisterState(const GUID& id, std::int32_t state)
{
    CRegisterData* record = FindRegister(id);
    if (record == nullptr)
        return Vx::E_REGISTER_NOT_FOUND;
    record->State = state;
    return S_OK;
}

HRESULT CDeviceData::SetRegisterStateByName(std::string_view name, std::int32_t state)
{
    CRegisterData* record = FindRegisterByName(name);
    if (record == nullptr)
        return Vx::E_REGISTER_NOT_FOUND;
    record->State = state;
    return S_OK;
}

void CDeviceData::Unindex(const CRegisterData& record)
{
    EraseRecord(m_byId, record.GetId(), &record);
    EraseRecord(m_byName, record.GetName(), &record);
}

void CDeviceData::RemoveRegister(const GUID& id)
{
    CRegisterData* record = FindRegister(id);
    if (record == nullptr)
        RaiseResult(Vx::E_REGISTER_NOT_FOUND);
    Unindex(*record);
    std::erase_if(m_registers, [record](const auto& owned) { return owned.get() == record; });
}

void CDeviceData::RemoveUserRegisters()
{
    for (const auto& record : m_registers)
        if (record->GetUserAdded() != 0)
            Unindex(*record);
    std::erase_if(m_registers, [](const auto& owned) { return owned->GetUserAdded() != 0; });
}

void CDeviceData::ClearStates()
{
    for (const auto& record : m_registers)
        record->State = CRegisterData::STATE_NOT_SELECTED;
}

int CDeviceData::GetRegisterCount() const { return static_cast<int>(m_registers.size()); }

CRegisterData& CDeviceData::GetRegister(int index) const
{
    if (index < 0 || index >= GetRegisterCount())
        RaiseResult(Vx::E_INVALID_INDEX);
    return *m_registers[static_cast<std::size_t>(index)];
}
