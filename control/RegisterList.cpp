// The list of selected registers: its columns, its rows and the row
// selection kept across a refill.
#include "control/Vexil2UI.h"

#include "data/ConfigurationHandler.h"
#include "data/ResultCodes.h"
#include "frame/NoRedraw.h"

namespace {

void SetCellText(HWND list, int row, int column, const std::string& text)
{
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}


} // namespace

void CVexil2UI::SetupColumns()
{
    ListView_DeleteAllItems(m_list);
    while (ListView_DeleteColumn(m_list, 0))
    {
    }
    m_layout = CColumnLayout(m_options);
    int index = 0;
    for (const auto& column : m_layout.GetColumns())
    {
        LVCOLUMNA header{};
        header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        header.fmt = column.AlignRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
        header.cx = column.Width;
        header.pszText = const_cast<char*>(column.Title);
        SendMessageA(m_list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&header));
    }
}

void CVexil2UI::FillList()
{
    CNoRedraw quiet(m_list);
    SetupColumns();

    CConfigurationHandler configuration(&m_options);
    const bool allDevices = m_options.GetConfiguration() == COptions::ALL_CONFIGURATION;
    if (!allDevices)
        configuration.LoadDeviceList();

    std::vector<std::pair<std::int32_t, CRegisterData*>> rows;
    for (int d = 0; d < m_data.GetDeviceCount(); ++d)
    {
        const std::int32_t deviceId = m_data.GetDeviceID(d);
        if (!allDevices && !configuration.IsDeviceInConfiguration(deviceId))
            continue;
        for (int r = 0; r < m_data.GetRegisterCount(deviceId); ++r)
        {
            CRegisterData& record = m_data.GetRegister(deviceId, r);
            if (record.State == CRegisterData::STATE_SELECTED)
                rows.emplace_back(deviceId, &record);
        }
    }
    // The list makes room for every row at once instead of growing row by row.
    ListView_SetItemCountEx(m_list, static_cast<int>(rows.size()), LVSICF_NOINVALIDATEALL);
    for (const auto& [deviceId, record] : rows)
        AddRow(deviceId, *record);
}

void CVexil2UI::AddRow(std::int32_t deviceId, CRegisterData& record)
{
    const CColumnLayout& layout = m_layout;
    const std::string first =
        layout.HasDeviceColumn() ? m_data.GetDeviceName(deviceId) : record.GetName();
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = ListView_GetItemCount(m_list);
    item.pszText = const_cast<char*>(first.c_str());
    item.lParam = reinterpret_cast<LPARAM>(&record);
    const int row = static_cast<int>(SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0)
        return;
    if (layout.HasDeviceColumn())
        SetCellText(m_list, row, 1, record.GetName());

    int column = WriteValueCells(row, record);
    for (const auto& shown : layout.GetColumns())
        if (shown.What == CColumnLayout::Content::Length || shown.What == CColumnLayout::Content::Operations)
            SetCellText(m_list, row, column++, layout.GetCellText(shown, record, m_data));
}

int CVexil2UI::UpdateRowValues(int row)
{
    CRegisterData* record = GetRowRecord(row);
    return record ? WriteValueCells(row, *record) : 0;
}

int CVexil2UI::WriteValueCells(int row, const CRegisterData& record)
{
    const CColumnLayout& layout = m_layout;
    int column = layout.GetFirstValueColumn();
    for (const auto& shown : layout.GetColumns())
    {
        using Content = CColumnLayout::Content;
        if (shown.What == Content::ReadValue || shown.What == Content::WriteValue || shown.What == Content::Mask)
            SetCellText(m_list, row, column++, layout.GetCellText(shown, record, m_data));
    }
    return column;
}

CRegisterData* CVexil2UI::GetRowRecord(int row) const
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(m_list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<CRegisterData*>(item.lParam);
}

void CVexil2UI::RememberSelection()
{
    m_savedSelection.clear();
    const int count = ListView_GetItemCount(m_list);
    for (int row = 0; row < count; ++row)
        if (ListView_GetItemState(m_list, row, LVIS_SELECTED) & LVIS_SELECTED)
            m_savedSelection.push_back(row);
}

void CVexil2UI::RestoreSelection()
{
    for (const int row : m_savedSelection)
        ListView_SetItemState(m_list, row, LVIS_SELECTED, 0xFFFF);
}

int CVexil2UI::GetSelectedCount() const
{
    return m_list ? static_cast<int>(SendMessageW(m_list, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

BOOL CVexil2UI::OnSelectionChanged(WPARAM, LPARAM lParam, LRESULT&)
{
    // The list also reports changes of texts and other states; only a change
    // of the selection is news to the user.
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
    if (!(change->uChanged & LVIF_STATE) || !((change->uOldState ^ change->uNewState) & LVIS_SELECTED))
        return TRUE;
    const int selected = GetSelectedCount();
    if (selected > 0)
        ShowStatus(Vx::MSG_ITEMS_SELECTED, selected);
    else
        ShowStatus(Vx::MSG_READY);
    UpdateControls();
    return TRUE;
}

BOOL CVexil2UI::OnDeleteAllItems(WPARAM, LPARAM, LRESULT& result)
{
    // Rows own nothing, so the list need not report each row it deletes.
    result = TRUE;
    return TRUE;
}

BOOL CVexil2UI::OnColumnTracked(WPARAM, LPARAM, LRESULT&)
{
    RepaintNow(GetControlWindow());
    return FALSE; // the header still finishes its own tracking
}
