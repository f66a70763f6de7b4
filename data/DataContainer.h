#pragma once
// The control's one store of devices and their registers, and the two text
// files that persist part of it: the user-added registers and the selection.

#include "data/DeviceData.h"
#include "data/RegisterData.h"
#include "platform/Types.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CDataContainer
{
public:
    static constexpr const char* USER_REGISTER_FILE = "Vexil2List.txt";
    static constexpr const char* SELECTION_FILE = "Vexil2Selections.txt";

    CDataContainer();
    virtual ~CDataContainer();
    CDataContainer(const CDataContainer&) = delete;
    CDataContainer& operator=(const CDataContainer&) = delete;

    // Devices. Lookups by an unknown ID raise 0x85000015.
    CDeviceData& AddDevice(std::int32_t id, const std::string& name, std::int32_t userRegisterFlag);
    CDeviceData* FindDevice(std::int32_t id) const;
    int GetDeviceCount() const;
    std::int32_t GetDeviceID(int index) const;
    const std::string& GetDeviceName(std::int32_t id) const;
    std::int32_t GetDeviceIDByName(std::string_view name) const; // 0x85000010 when none
    std::int32_t GetUserRegisterFlag(std::int32_t id) const;
    void SetUserRegisterFlag(std::int32_t id, std::int32_t flag);

    // Registers of a device.
    int GetRegisterCount(std::int32_t id) const;
    CRegisterData& GetRegister(std::int32_t id, int index) const;
    CRegisterData* FindRegisterByName(std::int32_t id, std::string_view name) const;
    // Room for that many more registers of the device, so that adding them
    // does not grow its lists again and again (0x85000012 without memory).
    void ReserveRegisters(std::int32_t id, std::size_t more);
    // User-added registers are checked for a known id or name, server ones not.
    CRegisterData& AddRegister(std::int32_t id, std::uint32_t address, std::string name, std::string secondText,
                               std::int32_t length, std::int32_t userAdded,
                               std::uint32_t operations, const GUID& registerId);
    // A name the device already uses raises 0x85000506 before anything
    // changes; an empty name is not checked. 0x8500000F when the id is missing.
    CRegisterData& ModifyRegister(std::int32_t id, const GUID& registerId, std::uint32_t address,
                                  const std::string& name, std::int32_t length, std::uint32_t changeFlags);
    // Both return (never raise) 0x8500000F for a missing register.
    HRESULT SetRegisterState(std::int32_t id, const GUID& registerId, std::int32_t state);
    HRESULT SetRegisterStateByName(std::int32_t id, std::string_view name, std::int32_t state);
    void RemoveRegister(std::int32_t id, const GUID& registerId);
    void RemoveUserRegisters();
    void ClearStates();

    // The register files; a path that is not a full path is taken relative to
    // the module directory.
    void SaveUserRegisters(const std::string& path) const;
    void LoadUserRegisters(const std::string& path);
    void SaveSelections(const std::string& path) const;
    void LoadSelections(const std::string& path);
    static std::string GetFullPath(const std::string& path);

    // The file contents as bytes: what Save* writes and what Load* reads once
    // the file is open.
    std::string WriteUserRegisters() const;
    void ReadUserRegisters(std::string_view bytes);
    std::string WriteSelections() const;
    void ReadSelections(std::string_view bytes);

private:
    CDeviceData& GetDevice(std::int32_t id) const;

    std::vector<std::unique_ptr<CDeviceData>> m_devices;
    // IDs are unique (AddDevice never adds a second one); names need not be,
    // and the first device of a name is the one found.
    std::unordered_map<std::int32_t, CDeviceData*> m_byId;
    std::unordered_map<std::string, CDeviceData*> m_byName;
};
