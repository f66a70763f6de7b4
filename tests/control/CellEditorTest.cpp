// The in-place editor: input filters as functions, and the
// editor on the hosted control, opened by a click on a cell, fed typed
// characters and ended by Enter, Escape or a click elsewhere.
#include "tests/control/ControlTestSupport.h"

#include "control/CellEditor.h"

namespace {

using namespace CellInput;

TEST(CellInputTest, FiltersKeepTheirCharactersAndRefuseTooManyBits)
{
    struct CCase
    {
        const char* typed;
        int kind;
        int bits;
        const char* kept; // null: refused
    };
    const CCase cases[] = {
        {"4294967295", KIND_DECIMAL, 40, "4294967295"}, {"256", KIND_DECIMAL, 8, nullptr},
        {"2x5-5", KIND_DECIMAL, 8, "255"}, {"00000000001", KIND_DECIMAL, 32, nullptr}, // eleven digits
        {"", KIND_HEX, 0, ""}, {"000", KIND_HEX, 1, "000"}, {"2", KIND_HEX, 1, nullptr}, {"3", KIND_HEX, 2, "3"},
        {"7", KIND_HEX, 3, "7"}, {"8", KIND_HEX, 3, nullptr}, {"0FF", KIND_HEX, 8, "0FF"}, {"aBg", KIND_HEX, 16, "AB"},
        {"12a1", KIND_MASK, 4, "11"}, {"anything", KIND_NONE, 4, "anything"},
    };
    for (const CCase& test : cases)
    {
        const CFiltered filtered = FilterText(test.typed, test.kind, test.bits);
        EXPECT_EQ(filtered.Accepted, test.kept != nullptr) << test.typed;
        if (filtered.Accepted && test.kept)
        {
            EXPECT_EQ(filtered.Text, test.kept) << test.typed;
        }
    }
}

// Columns=23: Register 0, Dec 1, Hex 2, Bin 3, Mask 4.
constexpr int DEC = 1;
constexpr int HEX = 2;
constexpr int BIN = 3;
constexpr int MASK = 4;

class CellEditorTest : public ControlTest
{
protected:
    std::string EditorText() const
    {
        char text[512] = {};
        GetWindowTextA(Editor(), text, sizeof text);
        return text;
    }
    bool EditorOpen() const { return IsWindowVisible(Editor()) != FALSE; }
};

// The keys act on the editor while it is open: Delete deletes no row,
// Ctrl+A selects the editor's text, not the rows.
TEST_F(CellEditorTest, AClickOnAValueCellOpensTheEditorWithItsTextItsKeysAndFilterAndTheEndDecidesTheValue)
{
    StartWith("Columns=23\r\n", {"CTRL", "MODE", "W40"});
    Apply(IDC_READ, {0, 1});
    SelectRows({1});
    ClickCell(0, HEX);
    ASSERT_TRUE(EditorOpen());
    RECT cell{LVIR_LABEL, HEX, 0, 0};
    SendMessageW(List(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
    RECT editor{};
    GetWindowRect(Editor(), &editor);
    // A little larger than the cell, so that the editor's border leaves the whole text visible.
    EXPECT_EQ(std::pair(editor.right - editor.left, editor.bottom - editor.top),
              std::pair(cell.right - cell.left + 4, cell.bottom - cell.top + 4));
    EXPECT_EQ(EditorText(), "1");
    EXPECT_EQ(GetFocus(), Editor());
    PressKey(VK_DELETE);
    EXPECT_EQ(EditorText(), "");
    Type("a5");
    SendMessageW(Editor(), EM_SETSEL, 1, 1);
    PressControlKey('A');
    DWORD start = 9, end = 9;
    SendMessageW(Editor(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ((std::vector<DWORD>{start, end}), (std::vector<DWORD>{0, 2}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{1}); // neither the click nor the keys changed the rows
    PressKey(VK_RETURN);
    EXPECT_FALSE(EditorOpen());
    EXPECT_EQ(Row(0), (Strings{"CTRL", "165", "A5", "00000000000000000000000010100101", std::string(32, '1')}));
    EXPECT_EQ(RowCount(), 3);

    // Escape drops the text and an empty editor leaves the value; scrolling
    // and a read end the edit keeping the text.
    SelectRows({0});
    const std::tuple<const char*, std::function<void()>, const char*> endings[] = {
        {"FF", [&] { PressKey(VK_ESCAPE); }, "A5"},
        {"\b", [&] { PressKey(VK_RETURN); }, "A5"},
        {"C", [&] { SendMessageW(List(), WM_VSCROLL, SB_LINEDOWN, 0); }, "C"},
        // The edit is stored, then the read replaces it.
        {"E", [&] { Click(IDC_READ); }, "1"},
    };
    for (const auto& [typed, ending, value] : endings)
    {
        ClickCell(0, HEX);
        Type(typed);
        ending();
        EXPECT_FALSE(EditorOpen()) << typed;
        EXPECT_EQ(Cell(0, HEX), value) << typed;
    }
    EXPECT_EQ(Calls(VexilSimCallsWrite), 0); // nothing was written

    // Typed characters are filtered by the column.
    const std::tuple<int, int, const char*, const char*, int, const char*> steps[] = {
        // row, column, typed, editor text, column then read, its text
        {1, HEX, "1FgF", "1F", HEX, "1F"},                   // 8 bits
        {2, DEC, "4294967296", "429496729", HEX, "19999999"}, // 40 bits, decimal up to 32
        {1, BIN, "1012010101", "10101010", DEC, "170"},
        {1, MASK, "0000111100", "00001111", MASK, "00001111"},
    };
    for (const auto& [row, column, typed, kept, shown, text] : steps)
    {
        ClickCell(row, column);
        Type(typed);
        EXPECT_EQ(EditorText(), kept) << typed;
        PressKey(VK_RETURN);
        EXPECT_EQ(Cell(row, shown), text) << typed;
    }
}

// Every word goes both ways; the last is cut to the length, also when the
// server answers with more; the initial masks are all ones over the length.
// The mask typed into the list then goes with every read and write: only
// the bits under it are written and read, in every word.
TEST_F(CellEditorTest, WordsAreCutToTheLengthAndTheMaskTypedGoesWithEachCall)
{
    StartWith("Columns=18\r\n", {"MODE", "W40", "W128"}, ServerKind::Bare); // Register | Hex | Mask
    m_log->SetBitsAboveLength = true;
    SelectRows({0, 1, 2});
    Click(IDC_READ);
    EXPECT_EQ(Column(1), (Strings{"3", "AB12345678", "FEDCBA98765432100123456789ABCDEF"}));
    Click(IDC_WRITE); // without separate columns the value read is the value written back
    EXPECT_EQ(m_log->Written,
              (std::vector<Words>{{0x3}, {0x12345678, 0xAB}, {0x89ABCDEF, 0x01234567, 0x76543210, 0xFEDCBA98}}));
    const std::vector<Words> ones = {{0xFF}, {~0u, 0xFF}, {~0u, ~0u, ~0u, ~0u}};
    EXPECT_EQ(m_log->Masks, (std::vector<Words>{ones[0], ones[1], ones[2], ones[0], ones[1], ones[2]}));
    m_log->Masks.clear();
    m_log->Written.clear();

    EditCell(0, 2, "11110000");
    EditCell(1, 2, "0000000111111111111111111111111111111111");
    EditCell(2, 2, std::string(4, '0') + std::string(60, '1') + std::string(64, '0'));
    EditCell(0, 1, "EE");
    EditCell(2, 1, std::string(32, 'E'));
    SelectRows({0, 1, 2});
    Click(IDC_WRITE);
    EXPECT_EQ(m_log->Written, (std::vector<Words>{{0xEE}, {0x12345678, 0xAB}, Words(4, 0xEEEEEEEE)}));
    Poke(W40_ADDRESS, {0xFFFFFFFF, 0xFF});
    Click(IDC_READ);
    EXPECT_EQ(Column(1), (Strings{"E0", "1FFFFFFFF", std::string(15, 'E') + std::string(16, '0')}));
    const std::vector<Words> masks = {{0xF0}, {~0u, 0x1}, {0, 0, ~0u, 0x0FFFFFFF}};
    EXPECT_EQ(m_log->Masks, (std::vector<Words>{masks[0], masks[1], masks[2], masks[0], masks[1], masks[2]}));
}

TEST_F(CellEditorTest, OnlyValueCellsOfWritableRegistersAndMasksOpenTheEditor)
{
    // A read-only register: only its mask.
    StartWith("Columns=23\r\n", {"VERSION"});
    for (const int column : {0, DEC, HEX, BIN, MASK})
    {
        ClickCell(0, column);
        EXPECT_EQ(EditorOpen(), column == MASK) << column;
    }
    Stop();
    // Separate columns: Register, Read Hex 1, Write Hex 2, Mask 3.
    StartWith("Columns=18\r\nSeparateColumns=yes\r\n", {"CTRL"}, ServerKind::Bare);
    ClickCell(0, 1);
    EXPECT_FALSE(EditorOpen());
    ClickCell(0, 2);
    ASSERT_TRUE(EditorOpen());
    Type("7");
    ClickCell(0, 3); // another editable cell ends the edit, keeping the text
    EXPECT_EQ(Cell(0, 1), "0");
    EXPECT_EQ(Cell(0, 2), "7");
    Apply(IDC_READ, {0});
    ASSERT_EQ(Cell(0, 1), "1");
    Click(IDC_WRITE); // the write column's value, not the one read
    EXPECT_EQ(m_log->Written, std::vector<Words>{{7}});
}

} // namespace
