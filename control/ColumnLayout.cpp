#include "control/ColumnLayout.h"

namespace {

constexpr int DECIMAL_BIT = 0x01;
constexpr int HEX_BIT = 0x02;
constexpr int BINARY_BIT = 0x04;
constexpr int DEVICE_BIT = 0x08;
constexpr int MASK_BIT = 0x10;
constexpr int LENGTH_BIT = 0x20;
constexpr int OPERATIONS_BIT = 0x40;

using Content = CColumnLayout::Content;

} // namespace

CColumnLayout::CColumnLayout(const COptions& options)
{
    const int shown = options.GetColumns();
    m_device = shown & DEVICE_BIT;
    m_separate = options.GetSeparateColumns() != 0;

    if (m_device)
        m_columns.push_back({"Device", 90, false, Content::Device, 0});
    m_columns.push_back({"Register", 100, false, Content::Register, 0});
    if (shown & DECIMAL_BIT)
        m_columns.push_back({m_separate ? "Read Dec" : "Dec", 100, true, Content::ReadValue, 1});
    if (shown & HEX_BIT)
        m_columns.push_back({m_separate ? "Read Hex" : "Hex", 100, true, Content::ReadValue, 2});
    if (shown & BINARY_BIT)
        m_columns.push_back({m_separate ? "Read Bin" : "Bin", 120, true, Content::ReadValue, 4});
    if (m_separate)
    {
        if (shown & DECIMAL_BIT)
            m_columns.push_back({"Write Dec", 100, true, Content::WriteValue, 1});
        if (shown & HEX_BIT)
            m_columns.push_back({"Write Hex", 100, true, Content::WriteValue, 2});
        if (shown & BINARY_BIT)
            m_columns.push_back({"Write Bin", 120, true, Content::WriteValue, 4});
    }
    if (shown & MASK_BIT)
        m_columns.push_back({"Mask (bin)", 120, true, Content::Mask, 4});
    if (shown & LENGTH_BIT)
        m_columns.push_back({"Length", 50, true, Content::Length, 0});
    if (shown & OPERATIONS_BIT)
        m_columns.push_back({"Operations", 65, false, Content::Operations, 0});
}

std::string CColumnLayout::GetCellText(const CColumn& column, const CRegisterData& record,
                                       const CDataContainer& container) const
{
    switch (column.What)
    {
    case Content::Device:
        return container.GetDeviceName(record.GetDeviceID());
    case Content::Register:
        return record.GetName();
    case Content::ReadValue:
        return record.GetValueText(column.Format, CRegisterData::SELECT_READ);
    case Content::WriteValue:
        return record.GetValueText(column.Format, CRegisterData::SELECT_WRITE);
    case Content::Mask:
        return record.GetValueText(column.Format, CRegisterData::SELECT_MASK);
    case Content::Length:
        return std::to_string(record.GetLength());
    case Content::Operations:
        return FormatOperations(record.GetOperations());
    }
    return {};
}

std::string CColumnLayout::FormatOperations(std::uint32_t flags)
{
    std::string letters;
    if (flags & 1)
        letters += 'R';
    if (flags & 2)
        letters += 'W';
    if (flags & 8)
        letters += 'S';
    if (flags & 4)
        letters += 'C';
    return letters;
}
