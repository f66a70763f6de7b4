#include "data/Options.h"

#include "data/ProfileUpdate.h"
#include "data/ResultCodes.h"
#include "platform/Platform.h"

#include <utility>

namespace {

constexpr const char* SECTION = "Options";
constexpr std::size_t VALUE_BUFFER = 50; // 49 characters; longer values are cut
constexpr std::int32_t MINIMUM_INTERVAL = 5;

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::int32_t ToFlag(const std::string& text) { return text == "yes" ? 1 : 0; }

const char* FlagText(std::int32_t flag) { return flag != 0 ? "yes" : "no"; }

bool HasName(const char* fileName) { return fileName != nullptr && *fileName != '\0'; }

} // namespace

namespace Vx {

std::optional<std::uint32_t> ScanDecimal(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && IsWhiteSpace(text[at]))
        ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    const std::size_t firstDigit = at;
    std::uint32_t value = 0; // unsigned, so that overflow wraps instead of being undefined
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = value * 10u + static_cast<std::uint32_t>(text[at] - '0');
    if (at == firstDigit)
        return std::nullopt;
    return negative ? 0u - value : value;
}

} // namespace Vx

HRESULT COptions::Load(const char* fileName)
{
    if (!HasName(fileName))
        return Vx::E_OPEN_OPTIONS;
    const std::string file = Platform::GetModuleDirectory() + fileName;

    // A missing key or file gives the default text; a key present with an
    // empty value leaves the field as it was.
    const auto load = [&file](const char* key, const char* missing, auto&& apply) {
        const std::string text = Platform::ReadProfileString(SECTION, key, missing, VALUE_BUFFER, file);
        if (!text.empty())
            apply(text);
    };
    const auto flag = [](std::int32_t& field) {
        return [&field](const std::string& text) { field = ToFlag(text); };
    };

    load("Columns", "126", [this](const std::string& text) {
        m_columns = static_cast<std::int32_t>(Vx::ScanDecimal(text).value_or(0));
    });
    load("Interval", "10", [this](const std::string& text) {
        // Scanned unsigned but compared signed, so "4294967295" is -1 and gives 5.
        const auto value = static_cast<std::int32_t>(Vx::ScanDecimal(text).value_or(MINIMUM_INTERVAL));
        m_interval = value < MINIMUM_INTERVAL ? MINIMUM_INTERVAL : value;
    });
    load("AutomaticWidth", "no", flag(m_automaticWidth));
    load("AutoScroll", "no", flag(m_autoScroll));
    load("RememberConfiguration", "no", flag(m_rememberConfiguration));
    load("Repeat", "no", flag(m_repeat));
    load("SeparateColumns", "no", flag(m_separateColumns));
    load("RecursiveSelect", "yes", flag(m_recursiveSelect));
    load("ShowSelection", "no", flag(m_showSelection));
    load("Configuration", ALL_CONFIGURATION, [this](const std::string& text) { m_configuration = text; });
    return S_OK;
}

HRESULT COptions::Save(const char* fileName) const
{
    if (!HasName(fileName))
        return Vx::E_INVALID_POINTER;
    const std::string file = Platform::GetModuleDirectory() + fileName;

    const std::pair<const char*, std::string> entries[] = {
        {"Columns", std::to_string(m_columns)},
        {"Interval", std::to_string(m_interval)},
        {"SeparateColumns", FlagText(m_separateColumns)},
        {"RecursiveSelect", FlagText(m_recursiveSelect)},
        {"ShowSelection", FlagText(m_showSelection)},
        {"AutomaticWidth", FlagText(m_automaticWidth)},
        {"AutoScroll", FlagText(m_autoScroll)},
        {"RememberConfiguration", FlagText(m_rememberConfiguration)},
        {"Repeat", FlagText(m_repeat)},
        {"Configuration", m_configuration},
    };
    // All keys reach the file, or none: a failed save leaves it as it was.
    CProfileUpdate update(file);
    for (const auto& [key, value] : entries)
        if (!update.Write(SECTION, key, value.c_str()))
            return Vx::E_SAVE_OPTIONS;
    return update.Commit() ? S_OK : Vx::E_SAVE_OPTIONS;
}
