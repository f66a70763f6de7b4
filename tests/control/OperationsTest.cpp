// Read and Write on the selected rows: one register at a time, the values
// the server gives in every shape, unsupported registers counted, a failure
// ending the run with the register named, Abort and Escape between registers.
#include "tests/control/RowsTestSupport.h"

#include "data/ResultCodes.h"
#include "frame/com/BStr.h"

#include <algorithm>
#include <functional>

namespace {

const std::string HEX_ONLY = "Columns=2\r\n"; // Register | Hex
const std::vector<std::string> FIVE = {"ID", "VERSION", "CTRL", "MODE", "IRQ_FLAGS"};
const std::string NOT_PROCESSED = ".\nThe rest of the selected items were not processed.";

class OperationsTest : public RowsTest
{
protected:
    std::vector<std::string> HexColumn() const
    {
        std::vector<std::string> cells;
        for (int row = 0; row < RowCount(); ++row)
            cells.push_back(Cell(row, 1));
        return cells;
    }
};

using Strings = std::vector<std::string>;

// What a host does on a timer of its own, dispatched inside the read loop.
std::function<void()> onHostTimer;
void CALLBACK HostTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    onHostTimer();
}

TEST_F(OperationsTest, TheHostClosingTheControlDuringAReadEndsTheLoopAndTheControlGoesAwayAfterIt)
{
    StartWith(HEX_ONLY, FIVE);
    SelectRows({0, 1, 2, 3, 4});
    WriteFile("Vexil2Selections.txt", "untouched");
    m_simulator->SetCallDelay(20);
    std::string selectionsWhenReleased;
    onHostTimer = [&] {
        Stop(); // the host closes the control and lets it go
        selectionsWhenReleased = m_directory.ReadFile("Vexil2Selections.txt");
    };
    SetTimer(nullptr, 0, 1, &HostTimer);
    SendMessageW(GetDlgItem(Window(), IDC_READ), BM_CLICK, 0, 0);
    // The control outlived the release until its own loop had returned; the
    // loop read nothing once its window was gone.
    EXPECT_EQ(selectionsWhenReleased, "untouched");
    EXPECT_EQ(Calls(), 1);
    EXPECT_EQ(m_directory.ReadFile("Vexil2Selections.txt"),
              SELECTION_HEADER + "1|ID\r\n1|VERSION\r\n1|CTRL\r\n1|MODE\r\n1|IRQ_FLAGS\r\n");
}

TEST_F(OperationsTest, ReadShowsTheValuesOfTheSelectedRowsOnly)
{
    StartWith(HEX_ONLY, FIVE);
    SelectRows({0, 2, 4});
    Click(IDC_READ);
    EXPECT_EQ(HexColumn(), (Strings{"56580201", "0", "1", "0", "A5"}));
    EXPECT_EQ(Calls(), 3);
    EXPECT_EQ(Status(), "3 item(s) selected"); // the progress text is gone again
    EXPECT_TRUE(IsEnabled(IDC_READ));
    EXPECT_FALSE(IsEnabled(IDC_ABORT));
    EXPECT_TRUE(m_errors->GetShown().empty());
}

TEST_F(OperationsTest, WideRegistersExchangeEveryWordAndCutTheLastToTheLength)
{
    StartWith(HEX_ONLY, {"W40", "W128"});
    SelectRows({0, 1});
    Click(IDC_READ);
    EXPECT_EQ(HexColumn(), (Strings{"AB12345678", "FEDCBA98765432100123456789ABCDEF"}));

    // Without separate columns the value read is the value written back.
    Poke(AddressOf("W40"), {0, 0});
    Poke(AddressOf("W128"), {0, 0, 0, 0});
    Click(IDC_WRITE);
    EXPECT_EQ(Peek(AddressOf("W40")), (std::vector<std::uint32_t>{0x12345678, 0xAB}));
    EXPECT_EQ(Peek(AddressOf("W128")), (std::vector<std::uint32_t>{0x89ABCDEF, 0x01234567, 0x76543210, 0xFEDCBA98}));
}

TEST_F(OperationsTest, WriteSendsTheWriteValueWithSeparateColumns)
{
    StartWith("Columns=6\r\nSeparateColumns=yes\r\n", {"CTRL"}); // Read Hex, Read Bin, Write Hex, Write Bin
    SelectRows({0});
    Click(IDC_READ);
    ASSERT_EQ(Cell(0, 1), "1");
    Click(IDC_WRITE); // the write value is still 0
    EXPECT_EQ(Peek(AddressOf("CTRL")), std::vector<std::uint32_t>{0});
    EXPECT_EQ(Calls(VexilSimCallsWrite), 1);
}

TEST_F(OperationsTest, AFailureOnTheThirdOfFiveRegistersNamesItAndLeavesTheRestAlone)
{
    StartWith(HEX_ONLY, FIVE);
    SelectRows({0, 1, 2, 3, 4});
    CBStr description(L"bus timeout");
    ASSERT_EQ(m_simulator->FailCall(3, Vx::E_READ_FAILURE, description.Get()), S_OK);
    Click(IDC_READ);
    EXPECT_EQ(HexColumn(), (Strings{"56580201", "102", "0", "0", "0"}));
    ASSERT_EQ(m_errors->GetShown().size(), 1u);
    const CShownError& shown = m_errors->GetShown()[0];
    EXPECT_EQ(shown.Code, Vx::E_READ_FAILURE);
    EXPECT_EQ(shown.Caption, "Error");
    EXPECT_NE(shown.Message.find(" CTRL" + NOT_PROCESSED), std::string::npos) << shown.Message;
    EXPECT_NE(shown.Reason.find("bus timeout"), std::string::npos) << shown.Reason;
    EXPECT_EQ(Calls(), 3);
    EXPECT_TRUE(IsEnabled(IDC_READ)); // the run is over
    EXPECT_FALSE(IsEnabled(IDC_ABORT));
}

TEST_F(OperationsTest, AbortDuringASlowReadStopsAfterTheRegisterInProgress)
{
    StartWith(HEX_ONLY, FIVE);
    SelectRows({0, 1, 2, 3, 4});
    m_simulator->SetCallDelay(50);
    // The clicks wait in the queue: Read and Write are disabled when the loop
    // dispatches them, Abort is enabled.
    PostMessageW(GetDlgItem(Window(), IDC_READ), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(Window(), IDC_ABORT), BM_CLICK, 0, 0);
    Click(IDC_READ);
    EXPECT_EQ(Calls(VexilSimCallsAll), 1);
    EXPECT_EQ(HexColumn(), (Strings{"56580201", "0", "0", "0", "0"}));
    EXPECT_TRUE(IsEnabled(IDC_READ));
    EXPECT_TRUE(m_errors->GetShown().empty());
}

TEST_F(OperationsTest, EscapeDuringAReadStopsIt)
{
    StartWith(HEX_ONLY, FIVE);
    SelectRows({0, 1, 2, 3, 4});
    PostMessageW(Window(), WM_KEYDOWN, VK_ESCAPE, 1);
    Click(IDC_WRITE);
    EXPECT_EQ(Calls(VexilSimCallsAll), 1);
}

TEST_F(OperationsTest, DuringAReadOnlyEscapeAndAbortActAndTheRowControlsAreDisabled)
{
    StartWith(HEX_ONLY, FIVE);
    SelectRows({0, 1, 2, 3, 4});
    m_simulator->SetCallDelay(10);
    // Keys that would delete or reselect rows, to the buttons that stay
    // enabled and to the list, waiting in the queue for the loop.
    for (const int id : {IDC_ABORT, IDC_CLOSE, IDC_REGISTER_LIST})
        for (const WPARAM key : {WPARAM{VK_DELETE}, WPARAM{VK_RETURN}})
            PostMessageW(GetDlgItem(Window(), id), WM_KEYDOWN, key, 1);
    std::vector<int> enabledDuringRead;
    onHostTimer = [&] {
        for (const int id : {IDC_READ, IDC_WRITE, IDC_USE_REPEAT, IDC_REGISTER_LIST, IDC_LIST_GROUP, IDC_CONFIGURE,
                             IDC_OPTIONS, IDC_ABORT, IDC_CLOSE, IDC_HELP_BUTTON})
            if (IsEnabled(id))
                enabledDuringRead.push_back(id);
    };
    SetTimer(nullptr, 0, 1, &HostTimer);
    Click(IDC_READ);
    EXPECT_EQ(Calls(), 5);
    EXPECT_EQ(RowCount(), 5);
    EXPECT_EQ(enabledDuringRead, (std::vector<int>{IDC_ABORT, IDC_CLOSE, IDC_HELP_BUTTON}));
    EXPECT_EQ(m_container->CountFrameMessages(WM_CLOSE), 0);
}

TEST_F(OperationsTest, UnsupportedRegistersAreCountedInTheStatusLine)
{
    StartWith(HEX_ONLY, {"RESET", "ACC_____", "ACC__W__"}); // S, none, W
    SelectRows({0, 1, 2});
    Click(IDC_READ);
    EXPECT_EQ(Calls(VexilSimCallsAll), 0);
    EXPECT_EQ(Status(), "3 of the selected registers did not support read operation");
    Click(IDC_WRITE);
    EXPECT_EQ(Calls(VexilSimCallsWrite), 2);
    EXPECT_EQ(Status(), "1 of the selected registers did not support write operation");
}

TEST_F(OperationsTest, TheCountIsStillShownAfterAFailure)
{
    StartWith(HEX_ONLY, {"ACC_____", "W40"}); // in this order in the list
    SelectRows({0, 1});
    CBStr description(L"no");
    m_simulator->FailCall(1, Vx::E_SERVER_ERROR, description.Get());
    Click(IDC_READ);
    EXPECT_NE(Message().find(" W40" + NOT_PROCESSED), std::string::npos);
    EXPECT_EQ(Status(), "1 of the selected registers did not support read operation");
}

TEST_F(OperationsTest, EveryValueShapeIsAcceptedOrRefused)
{
    StartWith(HEX_ONLY, {"W40", "W128"});
    SelectRows({0, 1});
    struct CCase
    {
        VexilSimValueShape shape;
        Strings shown; // empty: refused
    };
    const CCase cases[] = {
        {VexilSimShapeI4, {"AB12345678", "FEDCBA98765432100123456789ABCDEF"}},
        {VexilSimShapeI2, {"AB00005678", "FFFFBA980000321000004567FFFFCDEF"}},
        {VexilSimShapeR8, {"AB12345678", "FEDCBA98765432100123456789ABCDEF"}},
        {VexilSimShapeBStr, {"AB12345678", "FEDCBA98765432100123456789ABCDEF"}},
        {VexilSimShapeVariant, {"AB12345678", "FEDCBA98765432100123456789ABCDEF"}},
        {VexilSimShapeEmpty, {"0", "0"}},
        // Missing words read as 0.
        {VexilSimShapeShort, {"12345678", "765432100123456789ABCDEF"}},
        {VexilSimShapeScalar, {}},
    };
    for (const CCase& test : cases)
    {
        SCOPED_TRACE(test.shape);
        ASSERT_EQ(m_simulator->SetValueShape(test.shape), S_OK);
        const std::size_t reports = m_errors->GetShown().size();
        Click(IDC_READ);
        if (test.shown.empty())
        {
            ASSERT_EQ(m_errors->GetShown().size(), reports + 1);
            EXPECT_EQ(m_errors->GetShown().back().Code, E_FAIL);
            EXPECT_NE(Message().find(" W40" + NOT_PROCESSED), std::string::npos);
        }
        else
        {
            EXPECT_EQ(m_errors->GetShown().size(), reports);
            EXPECT_EQ(HexColumn(), test.shown);
        }
    }
}

// The list's paints during and after a read: the reads the server had
// answered by then and the area drawn.
struct CListPaint
{
    long Reads;
    RECT Area;
};
std::vector<CListPaint> listPaints;
std::function<long()> readsSoFar;
WNDPROC paintedListProc = nullptr;

LRESULT CALLBACK RecordingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RECT area{};
    if (message == WM_PAINT && GetUpdateRect(window, &area, FALSE))
        listPaints.push_back({readsSoFar(), area});
    return CallWindowProcW(paintedListProc, window, message, wParam, lParam);
}

struct CRedrawCase
{
    const char* Name;
    long Delay;               // per server call, ms
    bool PaintsDuringTheRead; // some rows are drawn while later ones are still read
};

class ReadRedraw : public OperationsTest, public testing::WithParamInterface<CRedrawCase>
{
};

// Redraws of the rows read are gathered, not dropped: each row is drawn
// again after its register was read, showing the value read, and a slow
// server does not keep the list from being drawn until the end.
TEST_P(ReadRedraw, EachRowReadIsDrawnAgainAfterItsRead)
{
    StartWith(HEX_ONLY, FIVE);
    SelectRows({0, 1, 2, 3, 4});
    UpdateWindow(List());
    m_simulator->SetCallDelay(GetParam().Delay);
    listPaints.clear();
    readsSoFar = [this] { return Calls(); };
    paintedListProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingListProc)));
    Click(IDC_READ); // pumps the messages left, as the host's loop would
    SetWindowLongPtrW(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(paintedListProc));

    EXPECT_EQ(HexColumn(), (Strings{"56580201", "102", "1", "3", "A5"}));
    for (int row = 0; row < 5; ++row)
    {
        RECT rowArea{};
        ListView_GetItemRect(List(), row, &rowArea, LVIR_BOUNDS);
        EXPECT_TRUE(std::any_of(listPaints.begin(), listPaints.end(), [&](const CListPaint& paint) {
            RECT both{};
            return paint.Reads > row && IntersectRect(&both, &paint.Area, &rowArea);
        })) << "row " << row;
    }
    const bool paintedDuringTheRead = std::any_of(listPaints.begin(), listPaints.end(),
                                                  [](const CListPaint& paint) { return paint.Reads < 5; });
    if (GetParam().PaintsDuringTheRead)
    {
        EXPECT_TRUE(paintedDuringTheRead);
    }
}

INSTANTIATE_TEST_SUITE_P(EachServerSpeed, ReadRedraw,
                         testing::Values(CRedrawCase{"FastServer", 0, false}, CRedrawCase{"SlowServer", 25, true}),
                         [](const testing::TestParamInfo<CRedrawCase>& test) { return std::string(test.param.Name); });

} // namespace
