// What the list draws beyond its texts: value cells that changed at the
// row's last read, the names of registers whose read changes the hardware
// in italics, and a row's tip with its bit fields.
#include "control/Vexil2UI.h"

#include "frame/com/AnsiText.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

namespace {

// The tip's buffer as the list hands it (its documented size).
constexpr std::size_t TIP_LIMIT = INFOTIPSIZE;

} // namespace

HFONT CVexil2UI::GetItalicFont()
{
    if (!m_italicFont)
    {
        LOGFONTW face{};
        const auto listFont = reinterpret_cast<HFONT>(SendMessageW(m_list, WM_GETFONT, 0, 0));
        if (!GetObjectW(listFont ? static_cast<HGDIOBJ>(listFont) : GetStockObject(DEFAULT_GUI_FONT), sizeof face,
                        &face))
            return nullptr;
        face.lfItalic = TRUE;
        m_italicFont = CGdiObject<HFONT>(CreateFontIndirectW(&face));
    }
    return m_italicFont.Get();
}

BOOL CVexil2UI::OnCustomDraw(WPARAM, LPARAM lParam, LRESULT& result)
{
    // Only what is drawn differently is answered: a handled notification's
    // result goes to the window's extra bytes, which under Wine is a round
    // trip to the window server for each row and cell drawn. Unhandled is
    // the list's own drawing.
    auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
    const CRegisterData* record = GetRowRecord(static_cast<int>(draw.nmcd.dwItemSpec));
    switch (draw.nmcd.dwDrawStage)
    {
    case CDDS_PREPAINT:
        if (!m_details.HasMarks())
            return FALSE;
        result = CDRF_NOTIFYITEMDRAW;
        return TRUE;
    case CDDS_ITEMPREPAINT:
        if (!record || (!m_details.IsChanged(*record) && !m_details.FindReadEffect(*record)))
            return FALSE;
        // The row's cells set fonts of their own: the list's comes back after it.
        result = CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        return TRUE;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        result = DrawCell(draw);
        return TRUE;
    case CDDS_ITEMPOSTPAINT:
        if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(m_list, WM_GETFONT, 0, 0)))
            SelectObject(draw.nmcd.hdc, font);
        return FALSE;
    default:
        return FALSE;
    }
}

LRESULT CVexil2UI::DrawCell(NMLVCUSTOMDRAW& draw)
{
    const int row = static_cast<int>(draw.nmcd.dwItemSpec);
    const CRegisterData* record = GetRowRecord(row);
    const auto& columns = m_layout.GetColumns();
    if (!record || draw.iSubItem < 0 || static_cast<std::size_t>(draw.iSubItem) >= columns.size())
        return CDRF_DODEFAULT;
    using Content = CColumnLayout::Content;
    const Content what = columns[static_cast<std::size_t>(draw.iSubItem)].What;

    // Each cell sets its own font and colours: a cell's choice would
    // otherwise carry over to the cells drawn after it.
    const bool italic = what == Content::Register && m_details.FindReadEffect(*record);
    if (HFONT font = italic ? GetItalicFont() : reinterpret_cast<HFONT>(SendMessageW(m_list, WM_GETFONT, 0, 0)))
        SelectObject(draw.nmcd.hdc, font);
    draw.clrText = CLR_DEFAULT;
    draw.clrTextBk = CLR_DEFAULT;
    if (what == Content::ReadValue && m_details.IsChanged(*record))
    {
        // The system's highlight colour as text; on a selected row, whose
        // cells are drawn in that colour, the cell is inverted instead, so
        // the mark stays readable there too.
        const bool selected = ListView_GetItemState(m_list, row, LVIS_SELECTED) & LVIS_SELECTED;
        draw.clrText = GetSysColor(COLOR_HIGHLIGHT);
        if (selected)
        {
            draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHTTEXT);
            draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
        }
    }
    return CDRF_NEWFONT;
}

BOOL CVexil2UI::OnGetInfoTip(WPARAM, LPARAM lParam, LRESULT&)
{
    // The list asks in the form its parent told it (WM_NOTIFYFORMAT): both are answered.
    const auto fill = [this](auto& tip, auto convert) {
        const CRegisterData* record = GetRowRecord(tip.iItem);
        if (!tip.pszText || tip.cchTextMax <= 0 || !record)
            return;
        const std::size_t limit = std::min(static_cast<std::size_t>(tip.cchTextMax), TIP_LIMIT);
        const auto text = convert(m_details.MakeTip(GetServer(), *record, limit));
        if (text.empty()) // nothing to add: the list's own tip stays
            return;
        const std::size_t length = std::min(text.size(), limit - 1);
        std::copy_n(text.data(), length, tip.pszText);
        tip.pszText[length] = {};
    };
    if (reinterpret_cast<const NMHDR*>(lParam)->code == LVN_GETINFOTIPW)
        fill(*reinterpret_cast<NMLVGETINFOTIPW*>(lParam), [](const std::string& text) { return AnsiText::Widen(text); });
    else
        fill(*reinterpret_cast<NMLVGETINFOTIPA*>(lParam), [](const std::string& text) { return text; });
    return FALSE; // the list reads the buffer, not the result
}

void CVexil2UI::ShowRepeatNotice()
{
    const int count = CountReadEffectsInRepeat();
    if (count == 0)
        return;
    StatusLine::SetText(m_statusBar, 0,
                        "The repeat reads " + std::to_string(count) +
                            (count == 1 ? " register whose read changes the hardware"
                                        : " registers whose read changes the hardware"));
    m_repeatNoticeShown = true;
}

void CVexil2UI::CreateRowTip()
{
    // The list's own info tips need its hover tracking, which not every
    // list view has: the control keeps a tooltip of its own over the list
    // and asks itself for the row's tip as the list would. The mouse reaches
    // the tooltip through our routing of the list's messages: a tooltip that
    // subclassed the list would see every message of it, and deleting
    // thousands of rows took forty times as long under Wine.
    m_rowTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetControlWindow(),
                               nullptr, nullptr, nullptr);
    if (!m_rowTip)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = 0;
    tool.hwnd = m_list;
    tool.uId = IDC_REGISTER_LIST;
    tool.rect = {0, 0, 0x7FFF, 0x7FFF}; // the whole list at any size
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_rowTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_rowTip, TTM_SETMAXTIPWIDTH, 0, 600); // one field a line
    SendMessageW(m_rowTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000); // time to read them
}

void CVexil2UI::RelayToRowTip(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_rowTip)
        return;
    MSG relayed{m_list, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    GetCursorPos(&relayed.pt);
    SendMessageW(m_rowTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

BOOL CVexil2UI::OnListMouseMove(WPARAM wParam, LPARAM lParam, LRESULT&)
{
    if (!m_fromList || !m_rowTip)
        return FALSE;
    RelayToRowTip(WM_MOUSEMOVE, wParam, lParam);
    LVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int row = ListView_HitTest(m_list, &hit);
    if (row != m_rowTipRow)
    {
        // Another row: its own tip after the usual delay.
        m_rowTipRow = row;
        SendMessageW(m_rowTip, TTM_POP, 0, 0);
    }
    return FALSE; // the list still tracks the mouse
}

BOOL CVexil2UI::OnRowTipText(WPARAM, LPARAM lParam, LRESULT&)
{
    auto& request = *reinterpret_cast<NMTTDISPINFOW*>(lParam);
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(m_list, &cursor);
    LVHITTESTINFO hit{};
    hit.pt = cursor;
    m_rowTipRow = ListView_HitTest(m_list, &hit);
    m_rowTipText.assign(TIP_LIMIT, L'\0');
    NMLVGETINFOTIPW tip{};
    tip.hdr = {m_list, IDC_REGISTER_LIST, static_cast<UINT>(LVN_GETINFOTIPW)};
    tip.pszText = m_rowTipText.data();
    tip.cchTextMax = static_cast<int>(TIP_LIMIT);
    tip.iItem = m_rowTipRow;
    LRESULT ignored = 0;
    OnGetInfoTip(0, reinterpret_cast<LPARAM>(&tip), ignored);
    m_rowTipText.resize(std::char_traits<wchar_t>::length(m_rowTipText.c_str()));
    request.lpszText = m_rowTipText.data(); // empty: no tip
    request.hinst = nullptr;
    return TRUE;
}

int CVexil2UI::CountReadEffectsInRepeat() const
{
    int count = 0;
    for (int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(m_list, row, LVNI_SELECTED))
        if (const CRegisterData* record = GetRowRecord(row);
            record && (record->GetOperations() & 0x1) && m_details.FindReadEffect(*record))
            ++count;
    return count;
}
