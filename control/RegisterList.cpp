// The list of selected registers: its columns, its rows and the row
// selection kept across a refill.
#include "control/Vexil2UI.h"

#include "data/ConfigurationHandler.h"
#include "data/ResultCodes.h"
#include "frame/NoRedraw.h"
#include "frame/com/AnsiText.h"

#include <algorithm>

namespace {

// Copies a cell's text into the list's buffer, cut to its size.
template <class Char> void CopyCellText(const std::basic_string<Char>& text, Char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::copy_n(text.data(), length, buffer);
    buffer[length] = Char{};
}

} // namespace

void CVexil2UI::SetupColumns()
{
    ListView_DeleteAllItems(m_list);
    m_rows.clear();
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

    for (int d = 0; d < m_data.GetDeviceCount(); ++d)
    {
        const std::int32_t deviceId = m_data.GetDeviceID(d);
        if (!allDevices && !configuration.IsDeviceInConfiguration(deviceId))
            continue;
        // The device once, not looked up again for each of its registers.
        const CDeviceData& device = *m_data.FindDevice(deviceId);
        for (int r = 0; r < device.GetRegisterCount(); ++r)
        {
            CRegisterData& record = device.GetRegister(r);
            if (record.State == CRegisterData::STATE_SELECTED)
                m_rows.push_back(&record);
        }
    }
    ListView_SetItemCountEx(m_list, static_cast<int>(m_rows.size()), LVSICF_NOINVALIDATEALL);
}

void CVexil2UI::AddRow(std::int32_t /*deviceId*/, CRegisterData& record)
{
    // The list (owner data) holds only the number of rows and their
    // selection: the records are in m_rows, and the list asks for a cell's
    // text when it needs it (OnGetCellText), so 100,000 rows cost the list
    // next to nothing.
    m_rows.push_back(&record);
    ListView_SetItemCountEx(m_list, static_cast<int>(m_rows.size()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

int CVexil2UI::UpdateRowValues(int row)
{
    if (!GetRowRecord(row))
        return 0;
    // The texts come from the record when the row is drawn again.
    ListView_RedrawItems(m_list, row, row);
    return GetValueColumnsEnd();
}

int CVexil2UI::GetValueColumnsEnd() const
{
    using Content = CColumnLayout::Content;
    const auto& columns = m_layout.GetColumns();
    return m_layout.GetFirstValueColumn() +
           static_cast<int>(std::count_if(columns.begin(), columns.end(), [](const CColumnLayout::CColumn& column) {
               return column.What == Content::ReadValue || column.What == Content::WriteValue ||
                      column.What == Content::Mask;
           }));
}

std::string CVexil2UI::GetCellText(int row, int column) const
{
    const CRegisterData* record = GetRowRecord(row);
    const auto& columns = m_layout.GetColumns();
    if (!record || column < 0 || static_cast<std::size_t>(column) >= columns.size())
        return {};
    return m_layout.GetCellText(columns[static_cast<std::size_t>(column)], *record, m_data);
}

BOOL CVexil2UI::OnGetCellText(WPARAM, LPARAM lParam, LRESULT&)
{
    // The list asks in the form its parent told it (WM_NOTIFYFORMAT): both are answered.
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == LVN_GETDISPINFOW)
    {
        auto& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
        if (item.mask & LVIF_TEXT)
            CopyCellText(AnsiText::Widen(GetCellText(item.iItem, item.iSubItem)), item.pszText, item.cchTextMax);
    }
    else
    {
        auto& item = reinterpret_cast<NMLVDISPINFOA*>(lParam)->item;
        if (item.mask & LVIF_TEXT)
            CopyCellText(GetCellText(item.iItem, item.iSubItem), item.pszText, item.cchTextMax);
    }
    // Left unhandled: the list does not read the answer, and a handled
    // message's result is stored in the window, a round trip to the window
    // server under Wine for each of thousands of rows.
    return FALSE;
}

CRegisterData* CVexil2UI::GetRowRecord(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < m_rows.size() ? m_rows[static_cast<std::size_t>(row)] : nullptr;
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
        return FALSE;
    // Select all, delete or a shift-click change thousands of rows one by
    // one: the status and the buttons follow once the burst is over.
    SettleSelectionLater();
    return FALSE; // see OnGetCellText
}

BOOL CVexil2UI::OnSelectionRangeChanged(WPARAM, LPARAM lParam, LRESULT&)
{
    // A shift-click selects a range of owner-data rows in one notification.
    const auto* change = reinterpret_cast<const NMLVODSTATECHANGE*>(lParam);
    if ((change->uOldState ^ change->uNewState) & LVIS_SELECTED)
        SettleSelectionLater();
    return FALSE; // see OnGetCellText
}

void CVexil2UI::SettleSelectionLater()
{
    if (!m_selectionSettling && PostMessageW(GetControlWindow(), WM_SELECTION_SETTLED, 0, 0))
        m_selectionSettling = true;
}

BOOL CVexil2UI::OnSelectionSettled(WPARAM, LPARAM, LRESULT&)
{
    m_selectionSettling = false;
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
