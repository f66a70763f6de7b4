#pragma once
// Named device configurations: one section of "Vexil2.ini" per name, whose key
// "Devices" lists the device IDs as "3,17,250,". "All" admits every device and
// is never stored; callers test for it themselves.
//
// Limits of the readers: a "Devices" value is read up to 16383 characters (a
// longer one is cut there, its last piece read as far as it goes). An empty
// section name or one longer than 259 characters is never a configuration:
// LoadNames skips it, LoadDeviceList reads nothing for it and
// SaveConfiguration refuses it.

#include "data/Options.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CConfigurationHandler
{
public:
    // The options are not owned and may be null (LoadDeviceList then raises).
    explicit CConfigurationHandler(const COptions* options) : m_options(options) {}
    CConfigurationHandler(const CConfigurationHandler&) = default;
    CConfigurationHandler& operator=(const CConfigurationHandler&) = default;
    CConfigurationHandler(CConfigurationHandler&&) = default;
    CConfigurationHandler& operator=(CConfigurationHandler&&) = default;
    virtual ~CConfigurationHandler() = default;

    // Device IDs of the option Configuration; raises 0x8500000D without options.
    void LoadDeviceList();
    bool IsDeviceInConfiguration(std::int32_t deviceID) const;
    // The IDs of a "Devices" value: a number per non-empty piece between commas.
    static std::vector<std::int32_t> ParseDeviceList(std::string_view text);
    const std::vector<std::int32_t>& GetDeviceIDs() const { return m_deviceIDs; }

    // Names of the sections with a non-empty "Devices" value, in file order.
    // Loading ends any iteration: GetNext then needs GetFirst again.
    void LoadNames();
    std::string GetFirst();
    // Empty at the end; raises 0x8500050F before GetFirst.
    std::string GetNext();

    // Loads the names; true when one equals the name without regard to case.
    bool ConfigurationExists(const std::string& name);

    // Raises 0x85000511 when the write fails or the name is empty or too long.
    void SaveConfiguration(const std::string& name, const std::string& deviceText) const;
    // "Options" (exactly) loses only its "Devices" key, any other section goes
    // whole; an empty name touches nothing. False when the file cannot be written.
    bool DeleteConfiguration(const std::string& name) const;

    static constexpr std::size_t MAX_NAME_LENGTH = 259;
    static constexpr std::size_t MAX_DEVICES_LENGTH = 16383;

private:
    std::vector<std::int32_t> m_deviceIDs;
    std::vector<std::string> m_names;
    std::optional<std::size_t> m_position; // index into m_names; size() is the end
    const COptions* m_options;
};
