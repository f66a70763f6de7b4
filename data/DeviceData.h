#pragma once
// One device as the server reports it, owning its registers in order of
// addition. Lookups by identifier and by name go through indexes that keep
// "first match from the front of the list" without walking the list.

#include "data/RegisterData.h"
#include "platform/Types.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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
    CRegisterData& AddRegister(std::uint32_t address, const std::string& name, const std::string& secondText,
                               std::int32_t length, std::int32_t userAdded, std::uint32_t operations, const GUID& id,
                               bool check);
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
    // removals keep the relative order, so sorting by it is list order.
    struct IndexEntry
    {
        std::uint64_t order;
        CRegisterData* record;
    };
    // The entries of one key, in list order. Nearly every key has one entry,
    // which is kept in place: 100,000 registers need no array per key.
    class Bucket
    {
    public:
        bool empty() const { return !m_more && m_one.record == nullptr; }
        const IndexEntry& front() const { return m_more ? m_more->front() : m_one; }
        void Insert(const IndexEntry& entry);
        void Erase(const CRegisterData* record);

    private:
        IndexEntry m_one{0, nullptr}; // the only entry while there is no m_more; none when its record is null
        std::unique_ptr<std::vector<IndexEntry>> m_more; // every entry once there are two or more
    };

    struct GuidHash
    {
        std::size_t operator()(const GUID& id) const noexcept;
    };
    struct GuidEqual
    {
        bool operator()(const GUID& a, const GUID& b) const noexcept { return SameGuid(a, b); }
    };
    struct NameHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>{}(name); }
    };

    const IndexEntry* FindEntry(const GUID& id) const;
    void Unindex(const CRegisterData& record);

    std::int32_t m_userRegisterFlag = 0;
    std::int32_t m_id;
    std::string m_name;
    std::vector<std::unique_ptr<CRegisterData>> m_registers;

    std::uint64_t m_nextOrder = 0;
    std::unordered_map<GUID, Bucket, GuidHash, GuidEqual> m_byId;
    std::unordered_map<std::string, Bucket, NameHash, std::equal_to<>> m_byName;
};
