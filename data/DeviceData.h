#pragma once
// One device as the server reports it, owning its registers in order of
// addition. Lookups by identifier and by name go through indexes that keep
// "first match from the front of the list" without walking the list.

#include "data/RecordIndex.h"
#include "data/RegisterData.h"
#include "data/RegisterPool.h"
#include "platform/Types.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CDeviceData
{
public:
    // Change flags of ModifyRegister.
    static constexpr std::uint32_t CHANGE_ADDRESS = 1;
    static constexpr std::uint32_t CHANGE_NAME = 2;
    static constexpr std::uint32_t CHANGE_LENGTH = 4;

    CDeviceData(std::int32_t id, std::string name);
    virtual ~CDeviceData();
    CDeviceData(const CDeviceData&) = delete;
    CDeviceData& operator=(const CDeviceData&) = delete;

    // With check set: an existing register with the id is returned unchanged,
    // else an existing name raises 0x85000506. Appends the new register.
    CRegisterData& AddRegister(std::uint32_t address, std::string name, std::string secondText,
                               std::int32_t length, std::int32_t userAdded, std::uint32_t operations, const GUID& id,
                               bool check);
    void ReserveRegisters(std::size_t more); // 0x85000012 when there is no memory
    CRegisterData* FindRegister(const GUID& id) const;
    CRegisterData* FindRegisterByName(std::string_view name) const;
    // Null when no register has the id; the name is not checked here.
    CRegisterData* ModifyRegister(const GUID& id, std::uint32_t address, const std::string& name,
                                  std::int32_t length, std::uint32_t changeFlags);
    // Both return 0x8500000F instead of raising it when the register is missing.
    HRESULT SetRegisterState(const GUID& id, std::int32_t state);
    HRESULT SetRegisterStateByName(std::string_view name, std::int32_t state);
    void RemoveRegister(const GUID& id); // 0x8500000F when missing
    void RemoveUserRegisters();
    void ClearStates();
    int GetRegisterCount() const;
    CRegisterData& GetRegister(int index) const; // 0x85000015 when out of range

    std::int32_t GetID() const { return m_id; }
    const std::string& GetName() const { return m_name; }
    std::int32_t GetUserRegisterFlag() const { return m_userRegisterFlag; }
    void SetUserRegisterFlag(std::int32_t flag) { m_userRegisterFlag = flag; }

private:
    // A register's place in the list: later additions get larger numbers and
    // removals keep the relative order, so the smaller number comes first.
    using IndexEntry = CIndexEntry;
    struct CIdKey
    {
        static const GUID& Of(const CRegisterData& record) { return record.GetId(); }
        static std::size_t Hash(const GUID& id) noexcept;
        static bool Equal(const GUID& a, const GUID& b) { return SameGuid(a, b); }
    };
    struct CNameKey
    {
        static std::string_view Of(const CRegisterData& record) { return record.GetName(); }
        static std::size_t Hash(std::string_view name) noexcept { return std::hash<std::string_view>{}(name); }
        static bool Equal(std::string_view a, std::string_view b) { return a == b; }
    };

    const IndexEntry* FindEntry(const GUID& id) const;
    void Unindex(const CRegisterData& record);

    std::int32_t m_userRegisterFlag = 0;
    std::int32_t m_id;
    std::string m_name;
    CRegisterPool m_pool; // before the records, which give their slots back to it
    std::vector<CRegisterPool::CRecord> m_registers;

    std::uint64_t m_nextOrder = 0;
    CRecordIndex<CIdKey> m_byId;
    CRecordIndex<CNameKey> m_byName;
};
