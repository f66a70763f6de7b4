#include "data/DataContainer.h"

#include "data/CheckedResult.h"
#include "data/ResultCodes.h"

#include <new>
#include <utility>

CDataContainer::CDataContainer() = default;

CDataContainer::~CDataContainer() = default;

CDeviceData& CDataContainer::AddDevice(std::int32_t id, const std::string& name, std::int32_t userRegisterFlag)
{
    if (CDeviceData* existing = FindDevice(id))
        return *existing;
    try
    {
        auto device = std::make_unique<CDeviceData>(id, name);
        device->SetUserRegisterFlag(userRegisterFlag);
        CDeviceData& added = *device;
        m_devices.push_back(std::move(device));
        try
        {
            m_byId.try_emplace(id, &added);
            m_byName.try_emplace(name, &added); // keeps an earlier device of the same name
        }
        catch (...)
        {
            m_byId.erase(id);
            m_devices.pop_back();
            throw;
        }
        return added;
    }
    catch (const std::bad_alloc&)
    {
        RaiseResult(Vx::E_OUT_OF_MEMORY);
    }
}

CDeviceData* CDataContainer::FindDevice(std::int32_t id) const
{
    const auto it = m_byId.find(id);
    return it != m_byId.end() ? it->second : nullptr;
}

CDeviceData& CDataContainer::GetDevice(std::int32_t id) const
{
    CDeviceData* device = FindDevice(id);
    if (device == nullptr)
        RaiseResult(Vx::E_INVALID_INDEX);
    return *device;
}

int CDataContainer::GetDeviceCount() const { return static_cast<int>(m_devices.size()); }

std::int32_t CDataContainer::GetDeviceID(int index) const
{
    if (index < 0 || index >= GetDeviceCount())
        RaiseResult(Vx::E_INVALID_INDEX);
    return m_devices[static_cast<std::size_t>(index)]->GetID();
}

const std::string& CDataContainer::GetDeviceName(std::int32_t id) const { return GetDevice(id).GetName(); }

std::int32_t CDataContainer::GetDeviceIDByName(std::string_view name) const
{
    const auto it = m_byName.find(std::string(name));
    if (it == m_byName.end())
        RaiseResult(Vx::E_DEVICE_NOT_FOUND);
    return it->second->GetID();
}

std::int32_t CDataContainer::GetUserRegisterFlag(std::int32_t id) const { return GetDevice(id).GetUserRegisterFlag(); }

void CDataContainer::SetUserRegisterFlag(std::int32_t id, std::int32_t flag) { GetDevice(id).SetUserRegisterFlag(flag); }

int CDataContainer::GetRegisterCount(std::int32_t id) const { return GetDevice(id).GetRegisterCount(); }

CRegisterData& CDataContainer::GetRegister(std::int32_t id, int index) const { return GetDevice(id).GetRegister(index); }

CRegisterData* CDataContainer::FindRegisterByName(std::int32_t id, std::string_view name) const
{
    return GetDevice(id).FindRegisterByName(name);
}

void CDataContainer::ReserveRegisters(std::int32_t id, std::size_t more) { GetDevice(id).ReserveRegisters(more); }

CRegisterData& CDataContainer::AddRegister(std::int32_t id, std::uint32_t address, std::string name,
                                           std::string secondText, std::int32_t length, std::int32_t userAdded,
                                           std::uint32_t operations, const GUID& registerId)
{
    return GetDevice(id).AddRegister(address, std::move(name), std::move(secondText), length, userAdded, operations,
                                     registerId, userAdded != 0);
}

CRegisterData& CDataContainer::ModifyRegister(std::int32_t id, const GUID& registerId, std::uint32_t address,
                                              const std::string& name, std::int32_t length,
                                              std::uint32_t changeFlags)
{
    CDeviceData& device = GetDevice(id);
    // Callers that keep the name pass an empty one; it must not collide with a
    // server register that happens to have no name.
    if (!name.empty() && device.FindRegisterByName(name) != nullptr)
        RaiseResult(Vx::E_REGISTER_NAME_EXISTS);
    CRegisterData* record = device.ModifyRegister(registerId, address, name, length, changeFlags);
    if (record == nullptr)
        RaiseResult(Vx::E_REGISTER_NOT_FOUND);
    return *record;
}

HRESULT CDataContainer::SetRegisterState(std::int32_t id, const GUID& registerId, std::int32_t state)
{
    return GetDevice(id).SetRegisterState(registerId, state);
}

HRESULT CDataContainer::SetRegisterStateByName(std::int32_t id, std::string_view name, std::int32_t state)
{
    return GetDevice(id).SetRegisterStateByName(name, state);
}

void CDataContainer::RemoveRegister(std::int32_t id, const GUID& registerId) { GetDevice(id).RemoveRegister(registerId); }

void CDataContainer::RemoveUserRegisters()
{
    for (const auto& device : m_devices)
        device->RemoveUserRegisters();
}

void CDataContainer::ClearStates()
{
    for (const auto& device : m_devices)
        device->ClearStates();
}
