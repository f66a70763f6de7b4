// Read and Write on the selected rows: one register at a time, the values
// the server gives in every shape, the words and masks sent, unsupported
// registers counted, a failure ending the run with the register named, and
// Abort and Escape between registers.
#include "tests/control/ControlTestSupport.h"

#include "data/ResultCodes.h"

#include <algorithm>

namespace {

const std::string HEX_ONLY = "Columns=2\r\n"; // Register | Hex
const std::string NOT_PROCESSED = ".\nThe rest of the selected items were not processed.";

// What a host does on a timer of its own, dispatched inside the read loop.
std::function<void()> onHostTimer;
void CALLBACK HostTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    onHostTimer();
}

// The list's paints during and after a read: the reads the server had
// answered by then and the area drawn.
std::vector<std::pair<long, RECT>> listPaints;
std::function<long()> readsSoFar;
WNDPROC paintedListProc = nullptr;

LRESULT CALLBACK RecordingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RECT area{};
    if (message == WM_PAINT && GetUpdateRect(window, &area, FALSE))
        listPaints.emplace_back(readsSoFar(), area);
    return CallWindowProcW(paintedListProc, window, message, wParam, lParam);
}

using OperationsTest = ControlTest;

// Only the selected rows are read, one register at a time. Keys that would
// delete or reselect rows or close the control wait for the loop, sent to
// the buttons that stay enabled and to the list: only Escape and Abort act
// during a read or write, between registers. A failure ends the run with
// the register named.
TEST_F(OperationsTest, ReadAndWriteGoThroughTheSelectedRowsUntilAFailureAbortEscapeOrTheHostClosingTheControl)
{
    StartWith(HEX_ONLY, {"ID", "VERSION", "CTRL", "MODE", "IRQ_FLAGS"});
    SelectRows({0, 1, 2, 3, 4});
    m_simulator->FailCall(3, Vx::E_READ_FAILURE, CBStr(L"bus timeout").Get());
    Click(IDC_READ);
    EXPECT_EQ(Column(1), (Strings{"56580201", "102", "0", "0", "0"}));
    ASSERT_EQ(m_errors->GetShown().size(), 1u);
    const CShownError& shown = m_errors->GetShown()[0];
    EXPECT_EQ(shown.Message, "Server reported about 'read failure' while accessing register CTRL" + NOT_PROCESSED);
    EXPECT_EQ(shown.Reason, "Reason:\ndevice 1, address 0x8: bus timeout");
    EXPECT_TRUE(IsEnabled(IDC_READ)); // the run is over
    EXPECT_FALSE(IsEnabled(IDC_ABORT));

    m_simulator->ResetCallCount();
    SelectRows({0, 2, 4});
    for (const int id : {IDC_ABORT, IDC_CLOSE, IDC_REGISTER_LIST})
        for (const WPARAM key : {WPARAM{VK_DELETE}, WPARAM{VK_RETURN}})
            PostMessageW(GetDlgItem(Window(), id), WM_KEYDOWN, key, 1);
    Click(IDC_READ);
    EXPECT_EQ(Column(1), (Strings{"56580201", "102", "1", "0", "A5"}));
    EXPECT_EQ(Calls(), 3);
    EXPECT_EQ(Status(), "3 item(s) selected"); // the progress text is gone again
    EXPECT_EQ(m_container->CountFrameMessages(WM_CLOSE), 0);

    // The clicks wait in the queue: Read and Write are disabled when the loop
    // dispatches them, Abort is enabled.
    SelectRows({2, 3, 4});
    m_simulator->SetCallDelay(50);
    for (const auto& [operation, stop] : {std::pair{IDC_READ, WM_COMMAND}, std::pair{IDC_WRITE, WM_KEYDOWN}})
    {
        m_simulator->ResetCallCount();
        PostMessageW(GetDlgItem(Window(), IDC_READ), BM_CLICK, 0, 0);
        if (stop == WM_KEYDOWN)
            PostMessageW(Window(), WM_KEYDOWN, VK_ESCAPE, 1);
        else
            PostMessageW(GetDlgItem(Window(), IDC_ABORT), BM_CLICK, 0, 0);
        Click(operation);
        EXPECT_EQ(Calls(VexilSimCallsAll), 1) << operation;
    }
    EXPECT_EQ(m_errors->GetShown().size(), 1u);

    // Redraws of the rows read are gathered, not dropped: each row is drawn
    // again after its register was read, and a slow server does not keep the
    // list from being drawn until the end.
    m_simulator->ResetCallCount();
    SelectRows({0, 1, 2, 3, 4});
    UpdateWindow(List());
    m_simulator->SetCallDelay(25); // ms per server call
    readsSoFar = [this] { return Calls(); };
    paintedListProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingListProc)));
    Click(IDC_READ); // pumps the messages left, as the host's loop would
    SetWindowLongPtrW(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(paintedListProc));
    for (int row = 0; row < 5; ++row)
    {
        RECT rowArea{};
        RECT both{};
        ListView_GetItemRect(List(), row, &rowArea, LVIR_BOUNDS);
        EXPECT_TRUE(std::any_of(listPaints.begin(), listPaints.end(), [&](const auto& paint) {
            return paint.first > row && IntersectRect(&both, &paint.second, &rowArea);
        })) << "row " << row;
    }
    EXPECT_TRUE(std::any_of(listPaints.begin(), listPaints.end(), [](const auto& paint) { return paint.first < 5; }));

    // The host closes the control during a read: the control outlives the
    // release until its own loop has returned, and the loop reads nothing
    // once its window is gone.
    m_simulator->ResetCallCount();
    m_directory.WriteFile("Vexil2Selections.txt", "untouched");
    m_simulator->SetCallDelay(20);
    std::string selectionsWhenReleased;
    onHostTimer = [&] {
        Stop(); // the host closes the control and lets it go
        selectionsWhenReleased = m_directory.ReadFile("Vexil2Selections.txt");
    };
    SetTimer(nullptr, 0, 1, &HostTimer);
    SendMessageW(GetDlgItem(Window(), IDC_READ), BM_CLICK, 0, 0);
    EXPECT_EQ(selectionsWhenReleased, "untouched");
    EXPECT_EQ(Calls(), 1);
    EXPECT_EQ(m_directory.ReadFile("Vexil2Selections.txt"),
              SELECTION_HEADER + "1|ID\r\n1|VERSION\r\n1|CTRL\r\n1|MODE\r\n1|IRQ_FLAGS\r\n");
}

TEST_F(OperationsTest, UnsupportedRegistersAreCountedAlsoAfterAFailureAndEveryValueShapeIsAcceptedOrRefused)
{
    StartWith(HEX_ONLY, {"RESET", "ACC_____", "ACC__W__", "W40", "W128"}); // S, none, W, RW, RW
    Apply(IDC_READ, {0, 1, 2});
    EXPECT_EQ(Calls(VexilSimCallsAll), 0);
    EXPECT_EQ(Status(), "3 of the selected registers did not support read operation");
    Click(IDC_WRITE);
    EXPECT_EQ(Calls(VexilSimCallsWrite), 2);
    EXPECT_EQ(Status(), "1 of the selected registers did not support write operation");

    SelectRows({1, 3});
    m_simulator->FailCall(1, Vx::E_SERVER_ERROR, CBStr(L"").Get());
    Click(IDC_READ);
    EXPECT_EQ(Message(), "Server error while accessing register W40" + NOT_PROCESSED);
    EXPECT_EQ(Status(), "1 of the selected registers did not support read operation");
    ListView_SetItemState(List(), 0, LVIS_FOCUSED, LVIS_FOCUSED); // no selection change: the count stays
    m_container->PumpMessages();
    EXPECT_EQ(Status(), "1 of the selected registers did not support read operation");

    // Every shape of value that a server may answer with is accepted or refused.
    SelectRows({3, 4});
    const Strings all = {"AB12345678", "FEDCBA98765432100123456789ABCDEF"};
    const std::pair<VexilSimValueShape, Strings> cases[] = {
        {VexilSimShapeI4, all},
        {VexilSimShapeI2, {"AB00005678", "FFFFBA980000321000004567FFFFCDEF"}},
        {VexilSimShapeR8, all},
        {VexilSimShapeBStr, all},
        {VexilSimShapeVariant, all},
        {VexilSimShapeEmpty, {"0", "0"}},
        {VexilSimShapeShort, {"12345678", "765432100123456789ABCDEF"}}, // missing words read as 0
        {VexilSimShapeScalar, {"12345678", "765432100123456789ABCDEF"}}, // refused: the rows stay
    };
    for (const auto& [shape, shown] : cases)
    {
        ASSERT_EQ(m_simulator->SetValueShape(shape), S_OK);
        Click(IDC_READ);
        EXPECT_EQ(Column(1), (Strings{"0", "0", "0", shown[0], shown[1]})) << shape;
        EXPECT_EQ(m_errors->GetShown().size(), shape == VexilSimShapeScalar ? 2u : 1u) << shape;
    }
    EXPECT_EQ(m_errors->GetShown().back().Code, E_FAIL);
    EXPECT_EQ(Message(), "Failed to perform action W40" + NOT_PROCESSED);
}

} // namespace
