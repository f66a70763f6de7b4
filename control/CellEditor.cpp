// The in-place editor: a click on an editable cell opens an edit control over
// it; typed text is filtered by the column's kind; ending the edit stores the
// text in the register's write value or mask.
#include "control/CellEditor.h"

#include "control/Vexil2UI.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace CellInput {

namespace {

constexpr std::size_t DECIMAL_DIGITS = 10;
constexpr std::int32_t DECIMAL_BITS = 32;
constexpr std::uint32_t SATURATED = 4294967295u;

int CountDigitBits(char hexDigit)
{
    const int value = std::isdigit(static_cast<unsigned char>(hexDigit))
                          ? hexDigit - '0'
                          : std::toupper(static_cast<unsigned char>(hexDigit)) - 'A' + 10;
    return value < 2 ? 1 : value < 4 ? 2 : value < 8 ? 3 : 4;
}

std::string Keep(std::string_view text, bool (*allowed)(char))
{
    std::string kept;
    for (const char c : text)
        if (allowed(c))
            kept += c;
    return kept;
}

bool IsDecimal(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool IsBinary(char c) { return c == '0' || c == '1'; }

} // namespace

std::int32_t CountHexBits(std::string_view text)
{
    const std::size_t first = text.find_first_not_of('0');
    if (text.empty())
        return 0;
    const std::string_view digits = first == std::string_view::npos ? text.substr(text.size() - 1) : text.substr(first);
    return static_cast<std::int32_t>(4 * (digits.size() - 1)) + CountDigitBits(digits.front());
}

std::int32_t CountDecimalBits(std::string_view text)
{
    if (text.empty())
        return 0;
    std::uint64_t number = 0;
    for (const char c : text)
    {
        if (!IsDecimal(c))
            break;
        number = std::min<std::uint64_t>(number * 10 + static_cast<std::uint64_t>(c - '0'), SATURATED);
    }
    if (number == SATURATED && text != "4294967295")
        return TOO_MANY_BITS;
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(number));
    return CountHexBits(hex);
}

CFiltered FilterText(std::string_view text, int kind, std::int32_t bits)
{
    switch (kind)
    {
    case KIND_DECIMAL:
    {
        std::string kept = Keep(text, IsDecimal);
        const bool accepted =
            CountDecimalBits(kept) <= std::min(bits, DECIMAL_BITS) && kept.size() <= DECIMAL_DIGITS;
        return {accepted, std::move(kept)};
    }
    case KIND_HEX:
    {
        std::string kept = Keep(text, IsHex);
        std::transform(kept.begin(), kept.end(), kept.begin(),
                       [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
        const bool accepted = CountHexBits(kept) <= bits;
        return {accepted, std::move(kept)};
    }
    case KIND_BINARY:
    case KIND_MASK:
    {
        std::string kept = Keep(text, IsBinary);
        const bool accepted = static_cast<std::int64_t>(kept.size()) <= bits;
        return {accepted, std::move(kept)};
    }
    default:
        return {true, std::string(text)};
    }
}

} // namespace CellInput

namespace {

constexpr int TEXT_LIMIT = 255;
constexpr std::uint32_t WRITE_OPERATIONS = 0xE;
constexpr int EDITOR_MARGIN = 4;

// The point of a mouse message, in the coordinates of its window.
POINT GetMessagePoint(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

std::string GetEditorText(HWND editor)
{
    std::string text(TEXT_LIMIT + 1, '\0');
    const int length = GetWindowTextA(editor, text.data(), TEXT_LIMIT + 1);
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

} // namespace

int CVexil2UI::GetColumnKind(int column) const
{
    using Content = CColumnLayout::Content;
    const auto& columns = m_layout.GetColumns();
    if (column < 0 || static_cast<std::size_t>(column) >= columns.size())
        return CellInput::KIND_NONE;
    const auto& entry = columns[static_cast<std::size_t>(column)];
    if (entry.What == Content::Mask)
        return CellInput::KIND_MASK;
    if (entry.What == Content::ReadValue || entry.What == Content::WriteValue)
        return entry.Format;
    return CellInput::KIND_NONE;
}

bool CVexil2UI::IsEditable(int row, int column) const
{
    using Content = CColumnLayout::Content;
    const CRegisterData* record = GetRowRecord(row);
    const auto& columns = m_layout.GetColumns();
    if (!record || column < 0 || static_cast<std::size_t>(column) >= columns.size())
        return false;
    const Content what = columns[static_cast<std::size_t>(column)].What;
    if (what == Content::Mask)
        return true;
    // With separate columns only the write columns take a value.
    const Content valueColumn = m_layout.HasSeparateColumns() ? Content::WriteValue : Content::ReadValue;
    return what == valueColumn && (record->GetOperations() & WRITE_OPERATIONS) != 0;
}

bool CVexil2UI::HitTestCell(POINT listPoint, int& row, int& column) const
{
    LVHITTESTINFO hit{};
    hit.pt = listPoint;
    if (SendMessageW(m_list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 || hit.iItem < 0 ||
        !(hit.flags & LVHT_ONITEM))
        return false;
    row = hit.iItem;
    column = hit.iSubItem;
    return true;
}

BOOL CVexil2UI::OnListButtonDown(WPARAM, LPARAM lParam, LRESULT& result)
{
    if (m_fromList)
        RelayToRowTip(WM_LBUTTONDOWN, 0, lParam); // a click puts the tip away
    int row = 0;
    int column = 0;
    if (!m_fromList || !HitTestCell(GetMessagePoint(lParam), row, column))
        return FALSE;
    SetFocus(m_list);
    if (!IsEditable(row, column))
        return FALSE;
    EndEditing(true);
    m_editRow = row;
    m_editColumn = column;
    // The list does not see the click: the row selection stays as it is.
    result = 0;
    return TRUE;
}

BOOL CVexil2UI::OnListButtonUp(WPARAM, LPARAM lParam, LRESULT& result)
{
    if (!m_fromList)
        return FALSE;
    result = 0;
    int row = 0;
    int column = 0;
    if (!HitTestCell(GetMessagePoint(lParam), row, column) || row != m_editRow ||
        column != m_editColumn)
        return TRUE;
    RECT cell{};
    if (!ListView_GetSubItemRect(m_list, row, column, LVIR_LABEL, &cell) || !IsEditable(row, column))
    {
        ShowWindow(m_cellEdit, SW_HIDE);
        return TRUE;
    }
    RECT list{};
    GetWindowRect(m_list, &list);
    MapWindowPoints(nullptr, GetControlWindow(), reinterpret_cast<POINT*>(&list), 2);
    MoveWindow(m_cellEdit, list.left + cell.left, list.top + cell.top, cell.right - cell.left + EDITOR_MARGIN,
               cell.bottom - cell.top + EDITOR_MARGIN, TRUE);

    std::string text(TEXT_LIMIT + 1, '\0');
    ListView_GetItemText(m_list, row, column, text.data(), TEXT_LIMIT + 1);
    text.resize(std::char_traits<char>::length(text.c_str()));

    // The list stays as it is under the editor until the edit ends.
    RepaintNow(m_list);
    SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);

    SetWindowTextA(m_cellEdit, text.c_str());
    m_editAccepted = text;
    EnableWindow(m_cellEdit, TRUE);
    ShowWindow(m_cellEdit, SW_SHOW);
    BringWindowToTop(m_cellEdit);
    SetFocus(m_cellEdit);
    SendMessageW(m_cellEdit, EM_SETSEL, 0, -1);
    SendMessageW(m_cellEdit, EM_SCROLLCARET, 0, 0);
    m_editing = true;
    return TRUE;
}

BOOL CVexil2UI::OnEditUpdate(WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    // The filter's own rewrite and undo come back here; they are not typing.
    if (m_filtering)
        return TRUE;
    m_filtering = true;
    struct CGuard
    {
        bool& flag;
        ~CGuard() { flag = false; }
    } guard{m_filtering};

    const CRegisterData* record = GetRowRecord(m_editRow);
    if (!record)
    {
        SendMessageW(m_cellEdit, EM_UNDO, 0, 0);
        return TRUE;
    }
    if (SendMessageW(m_cellEdit, EM_GETMODIFY, 0, 0) != 1)
        return TRUE;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(m_cellEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const int kind = GetColumnKind(m_editColumn);
    if (kind != CellInput::KIND_NONE)
    {
        const auto filtered = CellInput::FilterText(GetEditorText(m_cellEdit), kind, record->GetLength());
        // A refused change is undone by putting the text from before it back:
        // the edit's own undo fails on a second refused change at the same
        // place (its buffer then holds the first undo, which it repeats).
        if (filtered.Accepted)
            m_editAccepted = filtered.Text;
        SetWindowTextA(m_cellEdit, m_editAccepted.c_str());
    }
    SendMessageW(m_cellEdit, EM_SETSEL, start, end);
    SendMessageW(m_cellEdit, EM_SCROLLCARET, 0, 0);
    return TRUE;
}

BOOL CVexil2UI::OnEndEditing(WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    EndEditing(true);
    return TRUE;
}

BOOL CVexil2UI::OnListScroll(WPARAM, LPARAM, LRESULT& result)
{
    EndEditing(true);
    result = 1;
    return FALSE; // the list still scrolls
}

void CVexil2UI::EndEditing(bool keepText)
{
    m_editing = false;
    if (!m_cellEdit || !IsWindowVisible(m_cellEdit))
        return;
    // Redrawing first, so that the list paints where the editor was.
    SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
    ShowWindow(m_cellEdit, SW_HIDE);
    if (!keepText)
        return;
    CRegisterData* record = GetRowRecord(m_editRow);
    const int kind = GetColumnKind(m_editColumn);
    if (!record || kind == CellInput::KIND_NONE)
        return;
    const std::string text = GetEditorText(m_cellEdit);
    if (text.empty())
        return;
    int selector = CRegisterData::SELECT_READ | CRegisterData::SELECT_WRITE;
    if (kind == CellInput::KIND_MASK)
        selector = CRegisterData::SELECT_MASK;
    else if (m_layout.HasSeparateColumns())
        selector = CRegisterData::SELECT_WRITE;
    record->SetValueText(text, kind, selector);
    UpdateRowValues(m_editRow);
}
