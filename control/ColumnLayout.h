#pragma once
// The columns of the register list, in their order, as the options choose
// them; and the text of each cell. The list view, the copied lines and the
// in-place editor all take their columns from here.

#include "data/DataContainer.h"
#include "data/Options.h"

#include <string>
#include <vector>

class CColumnLayout
{
public:
    enum class Content
    {
        Device,
        Register,
        ReadValue,  // read words (also the single value set that serves for writing)
        WriteValue, // write words, with separate columns only
        Mask,
        Length,
        Operations,
    };

    struct CColumn
    {
        const char* Title;
        int Width;      // pixels
        bool AlignRight;
        Content What;
        int Format;     // value format of a value or mask column: 1, 2 or 4; 0 otherwise
    };

    explicit CColumnLayout(const COptions& options);

    const std::vector<CColumn>& GetColumns() const { return m_columns; }
    bool HasDeviceColumn() const { return m_device; }
    bool HasSeparateColumns() const { return m_separate; }
    // The column index of the first value column: 2 with the device column, else 1.
    int GetFirstValueColumn() const { return m_device ? 2 : 1; }

    // The text of a cell of the row that shows the register.
    std::string GetCellText(const CColumn& column, const CRegisterData& record,
                            const CDataContainer& container) const;

    // "R", "W", "S", "C" for flags 1, 2, 8, 4, in that order.
    static std::string FormatOperations(std::uint32_t flags);

private:
    std::vector<CColumn> m_columns;
    bool m_device = false;
    bool m_separate = false;
};
