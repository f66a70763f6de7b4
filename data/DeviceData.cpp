#include "data/DeviceData.h"

#include "data/CheckedResult.h"
#include "data/ResultCodes.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

std::size_t CDeviceData::CIdKey::Hash(const GUID& id) noexcept
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

CDeviceData::CDeviceData(std::int32_t id, std::string name) : m_id(id), m_name(std::move(name)) {}

CDeviceData::~CDeviceData() = default;

CRegisterData& CDeviceData::AddRegister(std::uint32_t address, std::string name, std::string secondText,
                                        std::int32_t length,
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

    CRegisterPool::CRecord record;
    try
    {
        record = m_pool.Create(m_id, address, std::move(name), std::move(secondText), length, userAdded, operations,
                               id);
    }
    catch (const std::bad_alloc&)
    {
        RaiseResult(Vx::E_INVALID_POINTER); // the record itself could not be created
    }

    CRegisterData& added = *record;
    // Room first, so that the register is either added and indexed or not at all.
    try
    {
        m_byId.Reserve(1);
        m_byName.Reserve(1);
        m_registers.push_back(std::move(record));
    }
    catch (const std::bad_alloc&)
    {
        RaiseResult(Vx::E_OUT_OF_MEMORY);
    }
    const IndexEntry entry{m_nextOrder++, &added};
    m_byId.Insert(entry);
    m_byName.Insert(entry);
    return added;
}

void CDeviceData::ReserveRegisters(std::size_t more)
{
    try
    {
        m_registers.reserve(m_registers.size() + more);
        m_pool.Reserve(more);
        m_byId.Reserve(more);
        m_byName.Reserve(more);
    }
    catch (const std::bad_alloc&)
    {
        RaiseResult(Vx::E_OUT_OF_MEMORY);
    }
}

const CDeviceData::IndexEntry* CDeviceData::FindEntry(const GUID& id) const { return m_byId.FindFirst(id); }

CRegisterData* CDeviceData::FindRegister(const GUID& id) const
{
    const IndexEntry* entry = FindEntry(id);
    return entry != nullptr ? entry->record : nullptr;
}

CRegisterData* CDeviceData::FindRegisterByName(std::string_view name) const
{
    const IndexEntry* entry = m_byName.FindFirst(name);
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
        // The index follows the record's own name: out under the old one, in
        // under the new one, with the room taken first so that nothing fails
        // in between.
        std::string newName;
        try
        {
            newName = name;
            m_byName.Reserve(1);
        }
        catch (const std::bad_alloc&)
        {
            RaiseResult(Vx::E_OUT_OF_MEMORY);
        }
        m_byName.Erase(&record);
        record.SetName(std::move(newName));
        m_byName.Insert(found);
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
    m_byId.Erase(&record);
    m_byName.Erase(&record);
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
