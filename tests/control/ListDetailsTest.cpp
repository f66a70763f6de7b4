// What the list shows beyond its texts: the custom-draw answer for each cell
// (changed values, italic names of registers that a read changes), asked as
// the list asks, and the tip of the row under the mouse (bit fields).
#include "tests/control/ControlTestSupport.h"

namespace {

struct CCellDrawing
{
    LRESULT result;
    COLORREF text;
    COLORREF back;
    bool italic;
};

constexpr COLORREF UNSET = RGB(1, 2, 3); // what the list would have put there

class ListDetailsTest : public ControlTest
{
protected:
    CCellDrawing DrawCell(int row, int column, DWORD stage = CDDS_ITEMPREPAINT | CDDS_SUBITEM) const
    {
        HDC dc = GetDC(List());
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr = {List(), 1001, static_cast<UINT>(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = stage;
        draw.nmcd.hdc = dc;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.nmcd.uItemState = ListView_GetItemState(List(), row, LVIS_SELECTED) ? CDIS_SELECTED : 0;
        draw.iSubItem = column;
        draw.clrText = draw.clrTextBk = UNSET;
        const LRESULT result = SendMessageW(Window(), WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&draw));
        LOGFONTW face{};
        GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof face, &face);
        ReleaseDC(List(), dc);
        return {result, draw.clrText, draw.clrTextBk, face.lfItalic != 0};
    }

    // The cells of a row drawn in the changed colour.
    std::vector<int> MarkedCells(int row) const
    {
        std::vector<int> marked;
        for (int column = 0; column < static_cast<int>(ColumnTitles().size()); ++column)
            if (DrawCell(row, column).text == GetSysColor(COLOR_HIGHLIGHT))
                marked.push_back(column);
        return marked;
    }

    // The tip that the control's tooltip shows with the mouse over the row.
    std::string Tip(int row) const
    {
        RECT cell{LVIR_LABEL, 0, 0, 0};
        SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
        POINT point{cell.left + 5, (cell.top + cell.bottom) / 2};
        ClientToScreen(List(), &point);
        SetCursorPos(point.x, point.y);
        NMTTDISPINFOW request{};
        request.hdr = {nullptr, 1001, static_cast<UINT>(TTN_GETDISPINFOW)};
        SendMessageW(List(), WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&request));
        const std::wstring text = request.lpszText ? request.lpszText : L"<no text>";
        return std::string(text.begin(), text.end());
    }
};

// Only rows drawn differently are asked for their cells: STATUS, as a read
// of it clears it, and a row whose value changed since its previous read
// until its next read. The tip decodes the fields of the last value read.
TEST_F(ListDetailsTest, ChangedValuesAreMarkedNamesOfRegistersThatAReadChangesAreItalicAndTipsDecodeTheFields)
{
    StartWith("Columns=7\r\n", {"CTRL", "MODE", "STATUS"}); // Register | Dec | Hex | Bin
    EXPECT_EQ(DrawCell(0, 0, CDDS_PREPAINT).result, CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(DrawCell(2, 0, CDDS_ITEMPREPAINT).result, CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT);
    EXPECT_EQ(DrawCell(0, 0, CDDS_ITEMPREPAINT).result, CDRF_DODEFAULT); // only rows drawn differently
    const CCellDrawing name = DrawCell(2, 0);
    EXPECT_EQ(name.result, CDRF_NEWFONT);
    EXPECT_TRUE(name.italic);
    EXPECT_FALSE(DrawCell(2, 1).italic); // each cell sets its own font
    EXPECT_FALSE(DrawCell(0, 0).italic);

    Poke(CTRL_ADDRESS, {0x1205}); // CLKDIV 0x12, MODE 2, ENABLE 1
    EXPECT_EQ(Tip(0), "ENABLE [0]\r\nMODE [2:1]\r\nCLKDIV [15:8]") << "never read: no values";
    Apply(IDC_READ, {0, 1});
    EXPECT_EQ(Tip(0), "ENABLE [0] = 1\r\nMODE [2:1] = 2 (SLEEP)\r\nCLKDIV [15:8] = 18");
    EXPECT_EQ(Tip(1), "") << "no fields, no effect: no tip";
    EXPECT_TRUE(MarkedCells(0).empty()) << "a first read marks nothing";
    Poke(CTRL_ADDRESS, {0x5});
    Click(IDC_READ);
    EXPECT_EQ(MarkedCells(0), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(MarkedCells(1).empty());
    // Selected, the marked cell is inverted so that it stays readable.
    EXPECT_EQ(DrawCell(0, 2).back, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(DrawCell(1, 2).back, CLR_DEFAULT);

    Apply(IDC_READ, {1}); // a read of another row leaves the mark
    EXPECT_EQ(MarkedCells(0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(DrawCell(0, 2).back, CLR_DEFAULT);

    Apply(IDC_READ, {0}); // read again without a change: the mark goes
    EXPECT_TRUE(MarkedCells(0).empty());
}

TEST_F(ListDetailsTest, ARegisterThatAReadChangesSaysSoInItsTipAndTheRepeatCountsIt)
{
    StartWith("Columns=2\r\nRepeat=yes\r\nInterval=1\r\n", {"ID", "CTRL", "STATUS"});
    EXPECT_EQ(Tip(2).substr(0, Tip(2).find("\r\n")), "Reading it: a read clears the bits it returns");
    Apply(IDC_READ, {0, 1, 2});
    EXPECT_EQ(Status(), "The repeat reads 1 register whose read changes the hardware");
    Click(IDC_ABORT);
    EXPECT_EQ(Status(), "3 item(s) selected");

    Apply(IDC_READ, {0, 1}); // no such register in the repeat: no notice
    EXPECT_EQ(Status(), "2 item(s) selected");
    Click(IDC_ABORT);
}

TEST_F(ListDetailsTest, AServerWithoutDetailsGivesNoTipNoItalicsButMarksAndNoError)
{
    StartWith("Columns=2\r\n", {"CTRL", "STATUS"}, ServerKind::Bare);
    EXPECT_EQ(Tip(1), "");
    EXPECT_FALSE(DrawCell(1, 0).italic);
    Apply(IDC_READ, {0, 1});
    Poke(CTRL_ADDRESS, {0x7});
    Click(IDC_READ);
    EXPECT_EQ(MarkedCells(0), (std::vector<int>{1})) << "marks need no details";
    EXPECT_TRUE(m_errors->GetShown().empty());
}

} // namespace
