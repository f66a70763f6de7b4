#pragma once
// The user's settings of a control instance, kept in the section "Options" of
// the ini file beside the component.

#include "platform/Types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class COptions
{
public:
    // The configuration that shows every device.
    static constexpr const char* ALL_CONFIGURATION = "All";

    COptions() = default;
    COptions(const COptions&) = default;
    COptions& operator=(const COptions&) = default;
    COptions(COptions&&) = default;
    COptions& operator=(COptions&&) = default;
    virtual ~COptions() = default;

    // Setters store the value as given; the flags are meant to hold 0 or 1.
    std::int32_t GetAutomaticWidth() const { return m_automaticWidth; }
    void SetAutomaticWidth(std::int32_t value) { m_automaticWidth = value; }
    std::int32_t GetAutoScroll() const { return m_autoScroll; }
    void SetAutoScroll(std::int32_t value) { m_autoScroll = value; }
    std::int32_t GetSeparateColumns() const { return m_separateColumns; }
    void SetSeparateColumns(std::int32_t value) { m_separateColumns = value; }
    std::int32_t GetRecursiveSelect() const { return m_recursiveSelect; }
    void SetRecursiveSelect(std::int32_t value) { m_recursiveSelect = value; }
    std::int32_t GetRememberConfiguration() const { return m_rememberConfiguration; }
    void SetRememberConfiguration(std::int32_t value) { m_rememberConfiguration = value; }
    std::int32_t GetShowSelection() const { return m_showSelection; }
    void SetShowSelection(std::int32_t value) { m_showSelection = value; }
    std::int32_t GetRepeat() const { return m_repeat; }
    void SetRepeat(std::int32_t value) { m_repeat = value; }
    std::int32_t GetColumns() const { return m_columns; }
    void SetColumns(std::int32_t value) { m_columns = value; }
    std::int32_t GetInterval() const { return m_interval; }
    void SetInterval(std::int32_t value) { m_interval = value; }
    const std::string& GetConfiguration() const { return m_configuration; }
    void SetConfiguration(std::string value) { m_configuration = std::move(value); }

    // Bare file name in the module directory ("Vexil2.ini"). Both return their
    // code instead of raising it: Load 0x85000017 without a name, Save
    // 0x8500000D without a name (null or empty) and 0x8500000E when a write fails.
    HRESULT Load(const char* fileName);
    HRESULT Save(const char* fileName) const;

private:
    std::int32_t m_automaticWidth = 0;
    std::int32_t m_autoScroll = 0;
    std::int32_t m_separateColumns = 0;
    std::int32_t m_recursiveSelect = 1;
    std::int32_t m_rememberConfiguration = 0;
    std::int32_t m_showSelection = 0;
    std::int32_t m_repeat = 0;
    std::int32_t m_columns = 46; // until the first load, which gives 126 without the key
    std::int32_t m_interval = 10;
    std::string m_configuration = ALL_CONFIGURATION;
};

namespace Vx {

// The decimal number at the start of an ini text, read alike on every
// platform (no C library scanner): leading white space and one sign are
// taken, digits count up to the first other character, modulo 2^32 so that
// the unsigned text of a negative 32-bit value reads back as that value.
// Empty when there is no digit.
std::optional<std::uint32_t> ScanDecimal(std::string_view text);

} // namespace Vx
