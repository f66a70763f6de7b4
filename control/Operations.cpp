// Read and Write: the selected rows, one register at a time, with the
// pending messages dispatched between registers so that Abort, Escape and
// painting are seen.
#include "control/Vexil2UI.h"

#include "control/ServerValues.h"
#include "dialogs/WaitCursor.h"
#include "data/CheckedResult.h"
#include "data/ResultCodes.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

constexpr int KIND_READ = 1;
constexpr int KIND_WRITE = 2;
constexpr std::uint32_t READ_OPERATION = 0x1;
constexpr std::uint32_t WRITE_OPERATIONS = 0xE; // write and the two further write types

// The bits of the last word that the length leaves: all 32 when it is a
// multiple of 32.
std::uint32_t GetLengthMask(std::int32_t bits)
{
    const int top = static_cast<int>(static_cast<std::uint32_t>(bits) % 32u);
    return top == 0 ? 0xFFFFFFFFu : (1u << top) - 1u;
}

bool IsKeyboardMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

// The value cells of the rows read, redrawn together at most every period:
// the list asks for the texts when it draws, so a later redraw shows the
// same values, and one redraw per row cost about a tenth of a 1 ms server
// call. Painting still happens between registers, when the loop dispatches.
class CPendingRedraw
{
public:
    static constexpr std::chrono::milliseconds PERIOD{30};

    // The value cells are the columns from first up to end.
    CPendingRedraw(HWND list, int firstColumn, int endColumn)
        : m_list(list), m_firstColumn(firstColumn), m_endColumn(endColumn),
          m_lastRedraw(std::chrono::steady_clock::now())
    {
    }
    ~CPendingRedraw() { Flush(); }
    CPendingRedraw(const CPendingRedraw&) = delete;
    CPendingRedraw& operator=(const CPendingRedraw&) = delete;

    void Add(int row)
    {
        m_firstRow = std::min(m_firstRow, row);
        m_lastRow = std::max(m_lastRow, row);
        if (std::chrono::steady_clock::now() - m_lastRedraw >= PERIOD)
            Flush();
    }

    void Flush()
    {
        // The host may have closed the control meanwhile: its list is gone.
        if (m_firstRow <= m_lastRow && IsWindow(m_list))
            Invalidate(m_firstRow, std::min(m_lastRow, ListView_GetItemCount(m_list) - 1));
        m_firstRow = std::numeric_limits<int>::max();
        m_lastRow = -1;
        m_lastRedraw = std::chrono::steady_clock::now();
    }

private:
    // One rectangle over the value cells of the rows, only where it can be
    // seen: the list's own LVM_REDRAWITEMS asks the window server once for
    // each row of the range, and redraws every cell of a row.
    void Invalidate(int firstRow, int lastRow)
    {
        RECT top{}, bottom{}, client{}, shown{};
        if (firstRow > lastRow || m_firstColumn >= m_endColumn ||
            !ListView_GetSubItemRect(m_list, firstRow, m_firstColumn, LVIR_BOUNDS, &top) ||
            !ListView_GetSubItemRect(m_list, lastRow, m_endColumn - 1, LVIR_BOUNDS, &bottom))
            return;
        GetClientRect(m_list, &client);
        // Subitem 0 stands for the whole row.
        const RECT cells{m_firstColumn == 0 ? client.left : top.left, top.top,
                         m_endColumn == 1 ? client.right : bottom.right, bottom.bottom};
        if (IntersectRect(&shown, &cells, &client))
            InvalidateRect(m_list, &shown, TRUE);
    }

    HWND m_list;
    int m_firstColumn;
    int m_endColumn;
    std::chrono::steady_clock::time_point m_lastRedraw;
    int m_firstRow = std::numeric_limits<int>::max();
    int m_lastRow = -1;
};

} // namespace

BOOL CVexil2UI::OnRead(WPARAM, LPARAM, LRESULT&)
{
    StartOperation(KIND_READ);
    return TRUE;
}

BOOL CVexil2UI::OnWrite(WPARAM, LPARAM, LRESULT&)
{
    StartOperation(KIND_WRITE);
    return TRUE;
}

void CVexil2UI::StartOperation(int kind)
{
    // A click sent by a program reaches even a disabled button: while an
    // operation runs, it starts nothing.
    if (m_operationRunning)
        return;
    m_operationRunning = true;
    if (m_options.GetRepeat())
    {
        m_repeatKind = kind;
        if (kind == KIND_READ)
            ShowRepeatNotice();
        StartRepeatTimer(1);
        return;
    }
    UpdateControls();
    RunOperation(kind);
    m_operationRunning = false;
    if (GetControlWindow()) // the host may have closed the control during the operation
        UpdateControls();
}

void CVexil2UI::RunOperation(int kind)
{
    if (kind == KIND_READ)
        ReadSelected();
    else if (kind == KIND_WRITE)
        WriteSelected();
}

void CVexil2UI::ReadSelected()
{
    TransferSelected("Reading selected registers", READ_OPERATION, Vx::MSG_READ_UNSUPPORTED, &CVexil2UI::ReadRow,
                     true);
}

void CVexil2UI::WriteSelected()
{
    TransferSelected("Writing selected registers", WRITE_OPERATIONS, Vx::MSG_WRITE_UNSUPPORTED,
                     &CVexil2UI::WriteRow, false);
}

void CVexil2UI::TransferSelected(const char* progress, std::uint32_t operations, HRESULT unsupportedCode,
                                 Transfer transfer, bool refreshRow)
{
    EndEditing(true);
    std::string current; // the register in progress, named in a failure report
    int unsupported = 0;
    try
    {
        RequireServer();
        CWaitCursor wait;
        CStatus status(m_statusBar, progress);
        CPendingRedraw redraw(m_list, m_layout.GetFirstValueColumn(), GetValueColumnsEnd());
        // Rows may go away while messages are dispatched: the count is taken anew.
        for (int row = 0; row < ListView_GetItemCount(m_list); ++row)
        {
            if (!(ListView_GetItemState(m_list, row, LVIS_SELECTED) & LVIS_SELECTED))
                continue;
            CRegisterData* record = GetRowRecord(row);
            if (!record)
                continue;
            if (!(record->GetOperations() & operations))
            {
                ++unsupported;
                continue;
            }
            current = record->GetName();
            (this->*transfer)(*record);
            if (m_options.GetAutoScroll())
            {
                ListView_EnsureVisible(m_list, row, FALSE);
                UpdateWindow(m_list);
            }
            if (refreshRow)
                redraw.Add(row);
            DispatchPendingMessages();
            // The host may have closed the control meanwhile: its window is gone.
            if (!m_operationRunning || !GetControlWindow())
                break;
        }
    }
    catch (const CResultError& error)
    {
        ShowError(error.GetCode(), current);
    }
    if (unsupported != 0)
        ShowStatus(unsupportedCode, unsupported);
}

IVexilFN* CVexil2UI::RequireServer()
{
    // Asked before every call: the host may take the server away while the
    // loop dispatches messages.
    IVexilFN* server = GetServer();
    if (!server)
        RaiseResult(Vx::E_INVALID_POINTER);
    return server;
}

void CVexil2UI::ReadRow(CRegisterData& record)
{
    const CVariant mask = ServerValues::MakeMask(record.Mask);
    CVariant value;
    CCheckedResult check;
    check = RequireServer()->ReadRegister(record.GetDeviceID(), static_cast<long>(record.GetAddress()),
                                      record.GetLength(), value.Out(), mask.Get(), 0);
    const std::vector<std::int32_t> elements = ServerValues::ToIntegers(value.Get());
    // A value with fewer elements than the register has words (or an empty
    // one) reads as 0 in the words it does not give: the server said nothing
    // about them, and the row must not show a stale mix of old and new.
    CValueWords& words = record.ReadValue;
    bool changed = false;
    for (std::size_t k = 0; k < words.size(); ++k)
    {
        std::uint32_t word = k < elements.size() ? static_cast<std::uint32_t>(elements[k]) : 0u;
        if (k + 1 == words.size())
            word &= GetLengthMask(record.GetLength());
        changed = changed || word != words[k];
        words[k] = word;
    }
    m_details.NoteRead(record, changed);
}

void CVexil2UI::WriteRow(CRegisterData& record)
{
    // Without separate columns the one value column serves both ways.
    std::vector<std::uint32_t> words = m_options.GetSeparateColumns() ? record.WriteValue : record.ReadValue;
    if (!words.empty())
        words.back() &= GetLengthMask(record.GetLength());
    const CVariant value = ServerValues::MakeWriteValue(words);
    const CVariant mask = ServerValues::MakeMask(record.Mask);
    CCheckedResult check;
    check = RequireServer()->WriteRegister(record.GetDeviceID(), static_cast<long>(record.GetAddress()),
                                       record.GetLength(), value.Get(), mask.Get(), 0);
}

void CVexil2UI::DispatchPendingMessages()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_QUIT)
        {
            // The host's loop must still see it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (IsKeyboardMessage(message.message) &&
            (message.hwnd == GetControlWindow() || IsChild(GetControlWindow(), message.hwnd)) &&
            !DispatchKeyDuringOperation(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool CVexil2UI::DispatchKeyDuringOperation(MSG& message)
{
    // Only Escape and Abort may act on the rows while they are worked on:
    // the other keys of the list (Delete, Ctrl+A, Ctrl+C, Enter) and the
    // dialog keys (mnemonics, the default button) are dropped. The buttons
    // that stay enabled take their own keys, and Tab still moves between them.
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
    {
        HRESULT ignored = S_OK;
        PreTranslateAccelerator(&message, ignored); // the host's loop is not running here
        return false;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB)
        return !TranslateDialogKeys(&message);
    for (const int id : {IDC_ABORT, IDC_CLOSE, IDC_HELP_BUTTON})
        if (message.hwnd == Item(id))
            return message.wParam != VK_TAB;
    return false;
}
