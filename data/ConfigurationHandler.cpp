#include "data/ConfigurationHandler.h"

#include "data/CheckedResult.h"
#include "data/ProfileUpdate.h"
#include "data/ResultCodes.h"
#include "platform/Platform.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr const char* DEVICES_KEY = "Devices";
constexpr const char* OPTIONS_SECTION = "Options";
constexpr std::size_t NAMES_BUFFER = 16384;
// Whether a value is empty needs one character only.
constexpr std::size_t PRESENCE_BUFFER = 2;

std::string GetIniFile() { return Platform::GetModuleDirectory() + "Vexil2.ini"; }

// An empty name cannot stand in the NUL-separated name list, a longer one is
// beyond the readers: neither is ever a configuration.
bool IsUsableName(const std::string& name)
{
    return !name.empty() && name.size() <= CConfigurationHandler::MAX_NAME_LENGTH;
}

char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return ToLower(x) == ToLower(y); });
}

} // namespace

void CConfigurationHandler::LoadDeviceList()
{
    m_deviceIDs.clear();
    if (m_options == nullptr)
        RaiseResult(Vx::E_INVALID_POINTER);
    const std::string& name = m_options->GetConfiguration();
    if (!IsUsableName(name))
        return;

    const std::string text =
        Platform::ReadProfileString(name.c_str(), DEVICES_KEY, "", MAX_DEVICES_LENGTH + 1, GetIniFile());
    m_deviceIDs = ParseDeviceList(text);
}

std::vector<std::int32_t> CConfigurationHandler::ParseDeviceList(std::string_view text)
{
    std::vector<std::int32_t> ids;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view piece = rest.substr(0, comma);
        if (!piece.empty())
            ids.push_back(static_cast<std::int32_t>(Vx::ScanDecimal(piece).value_or(0)));
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return ids;
}

bool CConfigurationHandler::IsDeviceInConfiguration(std::int32_t deviceID) const
{
    return std::ranges::find(m_deviceIDs, deviceID) != m_deviceIDs.end();
}

void CConfigurationHandler::LoadNames()
{
    m_names.clear();
    m_position.reset(); // it pointed into the old list
    const std::string file = GetIniFile();
    for (std::string& name : Platform::ReadProfileSectionNames(NAMES_BUFFER, file))
        if (IsUsableName(name) &&
            !Platform::ReadProfileString(name.c_str(), DEVICES_KEY, "", PRESENCE_BUFFER, file).empty())
            m_names.push_back(std::move(name));
}

std::string CConfigurationHandler::GetFirst()
{
    m_position = 0;
    return m_names.empty() ? std::string() : m_names.front();
}

std::string CConfigurationHandler::GetNext()
{
    if (!m_position)
        RaiseResult(Vx::E_INVALID_ITERATOR);
    if (*m_position < m_names.size())
        ++*m_position;
    return *m_position < m_names.size() ? m_names[*m_position] : std::string();
}

bool CConfigurationHandler::ConfigurationExists(const std::string& name)
{
    LoadNames();
    if (std::ranges::any_of(m_names, [&name](const std::string& stored) { return EqualIgnoringCase(stored, name); }))
        return true;
    // The profile functions decide which section a save would overwrite:
    // they also take names that differ beyond A to Z in case (on Windows) or
    // by surrounding blanks for one, so they are asked as well.
    return IsUsableName(name) &&
           !Platform::ReadProfileString(name.c_str(), DEVICES_KEY, "", PRESENCE_BUFFER, GetIniFile()).empty();
}

void CConfigurationHandler::SaveConfiguration(const std::string& name, const std::string& deviceText) const
{
    // Refused rather than written where no reader would ever see it.
    if (!IsUsableName(name))
        RaiseResult(Vx::E_SAVE_CONFIGURATION);
    CProfileUpdate update(GetIniFile());
    if (!update.Write(name.c_str(), DEVICES_KEY, deviceText.c_str()) || !update.Commit())
        RaiseResult(Vx::E_SAVE_CONFIGURATION);
}

bool CConfigurationHandler::DeleteConfiguration(const std::string& name) const
{
    // No configuration has an empty name; the ini functions would take it as
    // the keys before the first section and remove those.
    if (name.empty())
        return true;
    // The options share their section with a configuration named "Options".
    const char* key = name == OPTIONS_SECTION ? DEVICES_KEY : nullptr;
    CProfileUpdate update(GetIniFile());
    return update.Write(name.c_str(), key, nullptr) && update.Commit();
}
