// Working on the rows besides reading and writing: the popup menu, copying
// rows to the clipboard as text, removing rows and selecting all of them.
#include "control/Vexil2UI.h"

#include "data/CheckedResult.h"
#include "frame/NoRedraw.h"

#include <cstring>
#include <vector>

namespace {

constexpr int DEVICE_BIT = 0x08;
constexpr char SEPARATOR = '|';

// A global memory block that is freed unless the clipboard took it over.
class CGlobalBlock
{
public:
    explicit CGlobalBlock(SIZE_T size) : m_block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size)) {}
    ~CGlobalBlock()
    {
        if (m_block)
            GlobalFree(m_block);
    }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;

    HGLOBAL Get() const { return m_block; }
    void Release() { m_block = nullptr; }

private:
    HGLOBAL m_block;
};

// The clipboard opened for a window; closed when the scope ends, so that a
// failure never leaves it open.
class CClipboardScope
{
public:
    explicit CClipboardScope(HWND owner)
    {
        if (!OpenClipboard(owner))
            RaiseResult(E_FAIL);
    }
    ~CClipboardScope()
    {
        if (m_open)
            CloseClipboard();
    }
    CClipboardScope(const CClipboardScope&) = delete;
    CClipboardScope& operator=(const CClipboardScope&) = delete;

    void Close()
    {
        m_open = false;
        if (!CloseClipboard())
            RaiseResult(E_FAIL);
    }

private:
    bool m_open = true;
};

bool IsSelected(HWND list, int row) { return (ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED) != 0; }

} // namespace

std::string CVexil2UI::MakeCopyLine(const CRegisterData& record) const
{
    using Content = CColumnLayout::Content;
    std::string line;
    if (m_options.GetColumns() & DEVICE_BIT)
        line += m_data.GetDeviceName(record.GetDeviceID()) + SEPARATOR;
    for (const auto& column : m_layout.GetColumns())
    {
        if (column.What == Content::Device)
            continue;
        line += m_layout.GetCellText(column, record, m_data);
        if (column.What != Content::Operations)
            line += SEPARATOR;
    }
    return line + "\r\n";
}

void CVexil2UI::CopySelectedRows()
{
    std::string text;
    const int count = ListView_GetItemCount(m_list);
    for (int row = 0; row < count; ++row)
        if (IsSelected(m_list, row))
            if (const CRegisterData* record = GetRowRecord(row))
                text += MakeCopyLine(*record);
    if (text.empty())
        return;
    CGlobalBlock block(text.size() + 1);
    if (!block.Get())
        return;
    if (void* bytes = GlobalLock(block.Get()))
    {
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        GlobalUnlock(block.Get());
    }
    try
    {
        CClipboardScope clipboard(GetControlWindow());
        if (!EmptyClipboard() || !SetClipboardData(CF_TEXT, block.Get()))
            RaiseResult(E_FAIL);
        block.Release(); // the clipboard owns it now
        clipboard.Close();
    }
    catch (const CResultError& error)
    {
        ShowError(error.GetCode());
    }
}

void CVexil2UI::DeleteSelectedRows()
{
    // From the bottom, so that no row moves before it is looked at.
    std::vector<int> rows;
    const int count = ListView_GetItemCount(m_list);
    for (int row = count - 1; row >= 0; --row)
        if (IsSelected(m_list, row))
            if (CRegisterData* record = GetRowRecord(row))
            {
                record->State = CRegisterData::STATE_NOT_SELECTED;
                rows.push_back(row);
            }
    if (rows.empty())
        return;
    if (static_cast<int>(rows.size()) == count)
    {
        // Every row goes: at once, but the list then reports no selection
        // change, so the feedback that the rows' removal gives is asked for.
        ListView_DeleteAllItems(m_list);
        m_rows.clear();
        SettleSelectionLater();
        return;
    }
    {
        CNoRedraw quiet(m_list); // one repaint at the end
        for (const int row : rows)
        {
            ListView_DeleteItem(m_list, row);
            m_rows[static_cast<std::size_t>(row)] = nullptr;
        }
    }
    std::erase(m_rows, nullptr);
}

void CVexil2UI::SelectAllRows()
{
    // Index -1: every row, the selected bit only, in one message.
    ListView_SetItemState(m_list, -1, LVIS_SELECTED, LVIS_SELECTED);
}

BOOL CVexil2UI::OnContextMenu(WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    const HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(GetControlWindow(), GWLP_HINSTANCE));
    struct CMenu
    {
        HMENU handle;
        ~CMenu()
        {
            if (handle)
                DestroyMenu(handle);
        }
    } menu{LoadMenuW(module, MAKEINTRESOURCEW(IDR_LIST_MENU))};
    HMENU popup = menu.handle ? GetSubMenu(menu.handle, 0) : nullptr;
    if (!popup)
        return TRUE;
    if (GetSelectedCount() > 0)
    {
        EnableMenuItem(popup, ID_LIST_COPY, MF_BYCOMMAND | MF_ENABLED);
        EnableMenuItem(popup, ID_LIST_DELETE, MF_BYCOMMAND | MF_ENABLED);
    }
    // At the mouse cursor also when the keyboard asked for the menu.
    POINT at{};
    GetCursorPos(&at);
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, GetControlWindow(), nullptr));
    if (command == ID_LIST_COPY)
        CopySelectedRows();
    else if (command == ID_LIST_DELETE)
        DeleteSelectedRows();
    return TRUE;
}

BOOL CVexil2UI::OnCopy(WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    CopySelectedRows();
    return TRUE;
}

BOOL CVexil2UI::OnCut(WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    CopySelectedRows();
    DeleteSelectedRows();
    return TRUE;
}

BOOL CVexil2UI::OnClear(WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    DeleteSelectedRows();
    return TRUE;
}
