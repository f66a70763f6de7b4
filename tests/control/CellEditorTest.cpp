// The in-place editor: bit counts and input filters as functions, and the
// editor on the hosted control, opened by a click on a cell, fed typed
// characters and ended by Enter, Escape or a click elsewhere.
#include "tests/control/RowsTestSupport.h"

#include "control/CellEditor.h"

namespace {

using namespace CellInput;

TEST(CellInputTest, BitCountsOfHexadecimalAndDecimalTexts)
{
    EXPECT_EQ(CountHexBits(""), 0);
    EXPECT_EQ(CountHexBits("0"), 1);
    EXPECT_EQ(CountHexBits("000"), 1);
    EXPECT_EQ(CountHexBits("3"), 2);
    EXPECT_EQ(CountHexBits("7"), 3);
    EXPECT_EQ(CountHexBits("0FF"), 8);
    EXPECT_EQ(CountHexBits("1FF"), 9);
    EXPECT_EQ(CountHexBits("8000000000"), 40);
    EXPECT_EQ(CountDecimalBits(""), 0);
    EXPECT_EQ(CountDecimalBits("255"), 8);
    EXPECT_EQ(CountDecimalBits("4294967295"), 32);
    EXPECT_EQ(CountDecimalBits("4294967296"), TOO_MANY_BITS);
    EXPECT_EQ(CountDecimalBits("99999999999999999999"), TOO_MANY_BITS);
}

TEST(CellInputTest, FiltersKeepTheirCharactersAndRefuseTooManyBits)
{
    struct CCase
    {
        const char* typed;
        int kind;
        int bits;
        bool accepted;
        const char* kept;
    };
    const CCase cases[] = {
        {"4294967295", KIND_DECIMAL, 40, true, "4294967295"},
        {"4294967296", KIND_DECIMAL, 40, false, "4294967296"},
        {"256", KIND_DECIMAL, 8, false, "256"},
        {"2x5-5", KIND_DECIMAL, 8, true, "255"},
        {"00000000001", KIND_DECIMAL, 32, false, "00000000001"}, // eleven digits
        {"FF", KIND_HEX, 8, true, "FF"},
        {"1FF", KIND_HEX, 8, false, "1FF"},
        {"0FF", KIND_HEX, 8, true, "0FF"},
        {"aBg", KIND_HEX, 16, true, "AB"},
        {"1010", KIND_BINARY, 4, true, "1010"},
        {"10101", KIND_BINARY, 4, false, "10101"},
        {"12a1", KIND_MASK, 4, true, "11"},
        {"anything", KIND_NONE, 4, true, "anything"},
    };
    for (const CCase& test : cases)
    {
        const CFiltered filtered = FilterText(test.typed, test.kind, test.bits);
        EXPECT_EQ(filtered.Accepted, test.accepted) << test.typed;
        if (filtered.Accepted)
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

class CellEditorTest : public RowsTest
{
protected:
    void StartEditing(const std::vector<std::string>& registers, const std::string& more = {})
    {
        StartWith("Columns=23\r\n" + more, registers);
    }
    bool EditorOpen() const { return IsWindowVisible(Editor()) != FALSE; }
};

TEST_F(CellEditorTest, AClickOnAValueCellOpensTheEditorWithTheCellText)
{
    StartEditing({"CTRL", "MODE"});
    SelectRows({0, 1});
    Click(IDC_READ);
    SelectRows({1});
    ClickCell(0, HEX);
    ASSERT_TRUE(EditorOpen());
    EXPECT_EQ(EditorText(), "1");
    EXPECT_EQ(GetFocus(), Editor());
    EXPECT_EQ(SendMessageW(List(), LVM_GETSELECTEDCOUNT, 0, 0), 1); // the click left the selection alone
    Type("a5");
    PressKey(VK_RETURN);
    EXPECT_FALSE(EditorOpen());
    EXPECT_EQ(Row(0), (std::vector<std::string>{"CTRL", "165", "A5", "00000000000000000000000010100101",
                                                "11111111111111111111111111111111"}));
    SelectRows({0});
    Click(IDC_WRITE); // the value typed is the value written
    EXPECT_EQ(Peek(AddressOf("CTRL")), std::vector<std::uint32_t>{0xA5});
}

TEST_F(CellEditorTest, TypedCharactersAreFilteredByTheColumn)
{
    StartEditing({"MODE", "W40"});
    ClickCell(0, HEX); // 8 bits
    Type("1FgF");
    EXPECT_EQ(EditorText(), "1F");
    PressKey(VK_RETURN);
    EXPECT_EQ(Cell(0, HEX), "1F");

    ClickCell(1, DEC); // 40 bits, decimal up to 32
    Type("4294967296");
    EXPECT_EQ(EditorText(), "429496729");
    Type("5");
    EXPECT_EQ(EditorText(), "4294967295");
    PressKey(VK_RETURN);
    EXPECT_EQ(Cell(1, HEX), "FFFFFFFF");

    ClickCell(0, BIN);
    Type("1012010101");
    EXPECT_EQ(EditorText(), "10101010");
    PressKey(VK_RETURN);
    EXPECT_EQ(Cell(0, DEC), "170");

    ClickCell(0, MASK);
    Type("0000111100");
    EXPECT_EQ(EditorText(), "00001111");
    PressKey(VK_RETURN);
    EXPECT_EQ(Cell(0, MASK), "00001111");
}

TEST_F(CellEditorTest, EscapeAndAnEmptyEditorLeaveTheValue)
{
    StartEditing({"CTRL"});
    ClickCell(0, HEX);
    Type("FF");
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(EditorOpen());
    EXPECT_EQ(Cell(0, HEX), "0");
    ClickCell(0, HEX);
    Type("\b");
    EXPECT_EQ(EditorText(), "");
    PressKey(VK_RETURN);
    EXPECT_EQ(Cell(0, HEX), "0");
}

TEST_F(CellEditorTest, AReadOnlyRegisterHasOnlyItsMaskEditable)
{
    StartEditing({"VERSION"});
    for (const int column : {0, DEC, HEX, BIN})
    {
        ClickCell(0, column);
        EXPECT_FALSE(EditorOpen()) << column;
    }
    ClickCell(0, MASK);
    EXPECT_TRUE(EditorOpen());
}

TEST_F(CellEditorTest, WithSeparateColumnsOnlyTheWriteColumnsTakeValues)
{
    // Register, Read Hex 1, Write Hex 2, Mask 3.
    StartWith("Columns=18\r\nSeparateColumns=yes\r\n", {"CTRL"});
    ClickCell(0, 1);
    EXPECT_FALSE(EditorOpen());
    ClickCell(0, 2);
    ASSERT_TRUE(EditorOpen());
    Type("7");
    ClickCell(0, 3); // another editable cell ends the edit, keeping the text
    EXPECT_EQ(Cell(0, 1), "0");
    EXPECT_EQ(Cell(0, 2), "7");
}

TEST_F(CellEditorTest, KeysActOnTheEditorWhileItIsOpen)
{
    StartEditing({"CTRL", "MODE"});
    SelectRows({0, 1});
    ClickCell(0, HEX);
    ASSERT_TRUE(EditorOpen());
    PressKey(VK_DELETE);
    EXPECT_EQ(RowCount(), 2); // no row goes, the key is the editor's
    EXPECT_EQ(EditorText(), "");
    Type("12");
    SendMessageW(Editor(), EM_SETSEL, 1, 1);
    PressControlKey('A');
    DWORD start = 9, end = 9;
    SendMessageW(Editor(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(EditorText(), "12");
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);
    EXPECT_EQ(SendMessageW(List(), LVM_GETSELECTEDCOUNT, 0, 0), 2);
}

TEST_F(CellEditorTest, ScrollingTheListEndsTheEditKeepingTheText)
{
    StartEditing({"CTRL"});
    ClickCell(0, HEX);
    Type("C");
    SendMessageW(List(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_FALSE(EditorOpen());
    EXPECT_EQ(Cell(0, HEX), "C");
}

TEST_F(CellEditorTest, ReadingEndsAnEditFirst)
{
    StartEditing({"CTRL"});
    SelectRows({0});
    ClickCell(0, HEX);
    Type("E");
    SendMessageW(GetDlgItem(Window(), IDC_READ), BM_CLICK, 0, 0);
    m_container->PumpMessages();
    EXPECT_FALSE(EditorOpen());
    EXPECT_EQ(Cell(0, HEX), "1"); // the edit was stored, then the read replaced it
}

} // namespace
