#include "host/ScriptedSession.h"

#include "host/SimulatorMenu.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int LIST = IDC_REGISTER_LIST;
constexpr int USE_REPEAT = IDC_USE_REPEAT;
constexpr int READ = IDC_READ;
constexpr int ABORT = IDC_ABORT;
constexpr int PASSES = 3;
constexpr DWORD SETTLE_MS = 300;
constexpr DWORD REPEAT_LIMIT_MS = 20000;
constexpr DWORD HOLD_LIMIT_MS = 60000;
// Longer than the demo's repeat interval (500 ms): a running cycle would read meanwhile.
constexpr DWORD STOPPED_CHECK_MS = 1000;

class CSession
{
public:
    explicit CSession(CDemoWindow& demo) : m_demo(demo), m_control(demo.GetControlWindow()) {}

    int Run(const std::wstring& holdUntil)
    {
        if (!m_demo.GetSimulator())
            return RunOnTarget(holdUntil);
        m_demo.Pump(SETTLE_MS);
        const int rows = RowCount();
        std::printf("script: %d registers in the list\n", rows);
        if (rows == 0)
            return Finish(2, holdUntil);

        SelectAll(rows);
        std::printf("script: selected %d registers: %s\n", rows, Status(0).c_str());

        const long before = Reads();
        Click(READ);
        m_demo.Pump(SETTLE_MS);
        const long perPass = Reads() - before;
        std::printf("script: Read made %ld register reads\n", perPass);
        if (perPass == 0)
        {
            std::printf("script: the control did not read (Read disabled or not implemented)\n");
            return Finish(2, holdUntil);
        }
        RunRepeat(perPass);
        PickMenu(SimulatorMenu::ID_NOT_READY, "Server not ready");
        PickMenu(SimulatorMenu::ID_READY, "Server ready");
        ShowTip("W128");
        return Finish(0, holdUntil);
    }

private:
    // A real target has no call counts and no state menu: one Read of every
    // selected register, and the list as it then reads.
    int RunOnTarget(const std::wstring& holdUntil)
    {
        m_demo.Pump(SETTLE_MS);
        const int rows = RowCount();
        std::printf("script: %d registers in the list (target)\n", rows);
        if (rows == 0)
            return Finish(2, holdUntil);
        SelectAll(rows);
        Click(READ);
        m_demo.Pump(SETTLE_MS);
        std::printf("script: Read on the target: %s\n", Status(0).c_str());
        return Finish(0, holdUntil);
    }

    void RunRepeat(long perPass)
    {
        if (SendMessageW(Item(USE_REPEAT), BM_GETCHECK, 0, 0) != BST_CHECKED)
            Click(USE_REPEAT);
        std::printf("script: Use Repeat on: %s\n", Status(1).c_str());
        const long start = Reads();
        Click(READ);
        const bool repeated =
            m_demo.Pump(REPEAT_LIMIT_MS, [&] { return Reads() - start >= PASSES * perPass; });
        const long passes = (Reads() - start) / perPass;
        if (repeated)
        {
            std::printf("script: repeat ran %ld passes\n", passes);
            StopWithEscape();
            return;
        }
        Click(ABORT);
        m_demo.Pump(SETTLE_MS);
        // A control without the repeat cycle: three plain reads instead.
        std::printf("script: repeat ran %ld passes in %lu ms; three reads instead\n", passes,
                    static_cast<unsigned long>(REPEAT_LIMIT_MS));
        if (SendMessageW(Item(USE_REPEAT), BM_GETCHECK, 0, 0) == BST_CHECKED)
            Click(USE_REPEAT);
        for (int pass = 0; pass < PASSES; ++pass)
        {
            Click(READ);
            m_demo.Pump(SETTLE_MS);
        }
    }

    // Escape reaches the control only through the host's message loop, which
    // hands keys to the control's TranslateAccelerator: the key a person
    // presses in the list ends the cycle.
    void StopWithEscape()
    {
        SetFocus(Item(LIST));
        PostMessageW(Item(LIST), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(Item(LIST), WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
        m_demo.Pump(SETTLE_MS);
        const long stopped = Reads();
        m_demo.Pump(STOPPED_CHECK_MS);
        if (Reads() == stopped)
            std::printf("script: Escape stopped the repeat\n");
        else
        {
            std::printf("script: Escape did not stop the repeat; Abort\n");
            Click(ABORT);
            m_demo.Pump(SETTLE_MS);
        }
    }

    // The mouse rests on a register's row, as a person's would, until the
    // list shows the row's tip with its fields.
    void ShowTip(const std::string& name)
    {
        for (int row = 0; row < RowCount(); ++row)
        {
            if (Cell(row, RegisterColumn()) != name)
                continue;
            RECT cell{};
            cell.left = LVIR_LABEL;
            SendMessageW(Item(LIST), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
            POINT point{cell.left + 20, (cell.top + cell.bottom) / 2};
            ClientToScreen(Item(LIST), &point);
            SetCursorPos(point.x, point.y);
            ScreenToClient(Item(LIST), &point);
            PostMessageW(Item(LIST), WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
            m_demo.Pump(2 * SETTLE_MS + GetDoubleClickTime());
            std::printf("script: tip of %s: %s\n", name.c_str(), VisibleTip().c_str());
            return;
        }
    }

    int RegisterColumn() const
    {
        const auto titles = ColumnTitles();
        for (std::size_t column = 0; column < titles.size(); ++column)
            if (titles[column] == "Register")
                return static_cast<int>(column);
        return 0;
    }

    static std::string VisibleTip()
    {
        std::string found = "(none shown)";
        EnumWindows(&TakeVisibleTip, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    static BOOL CALLBACK TakeVisibleTip(HWND window, LPARAM out)
    {
        wchar_t kind[64] = {};
        GetClassNameW(window, kind, 64);
        if (!IsWindowVisible(window) || std::wstring(kind) != TOOLTIPS_CLASSW)
            return TRUE;
        char text[1024] = {};
        GetWindowTextA(window, text, sizeof text); // the tip it shows
        std::string& shown = *reinterpret_cast<std::string*>(out);
        shown.clear();
        for (const char* c = text; *c; ++c)
            if (*c != '\r')
                shown += *c == '\n' ? std::string(" / ") : std::string(1, *c);
        return FALSE;
    }

    // The host's Simulator menu, picked as a person would.
    void PickMenu(UINT command, const char* text)
    {
        SendMessageW(m_demo.GetWindow(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
        m_demo.Pump(SETTLE_MS);
        std::printf("script: menu \"%s\": Read %s, Use Repeat %s\n", text,
                    IsWindowEnabled(Item(READ)) ? "enabled" : "disabled",
                    IsWindowEnabled(Item(USE_REPEAT)) ? "enabled" : "disabled");
    }

    int Finish(int result, const std::wstring& holdUntil)
    {
        PrintList();
        std::printf("script: status: %s | %s\n", Status(0).c_str(), Status(1).c_str());
        std::printf("script: done\n");
        std::fflush(stdout);
        if (!holdUntil.empty())
            m_demo.Pump(HOLD_LIMIT_MS,
                        [&] { return GetFileAttributesW(holdUntil.c_str()) != INVALID_FILE_ATTRIBUTES; });
        return result;
    }

    HWND Item(int id) const { return GetDlgItem(m_control, id); }
    long Reads() const
    {
        long count = 0;
        if (IVexilSimControl* simulator = m_demo.GetSimulator())
            simulator->GetCallCount(VexilSimCallsRead, &count);
        return count;
    }
    int RowCount() const { return static_cast<int>(SendMessageW(Item(LIST), LVM_GETITEMCOUNT, 0, 0)); }

    // The list's own messages, as a click and shift-clicks would select.
    void SelectAll(int rows) const
    {
        for (int row = 0; row < rows; ++row)
        {
            LVITEMW item{};
            item.stateMask = LVIS_SELECTED | (row == 0 ? LVIS_FOCUSED : 0u);
            item.state = item.stateMask;
            SendMessageW(Item(LIST), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        }
        m_demo.Pump(SETTLE_MS);
    }

    void Click(int id) const
    {
        SendMessageW(Item(id), BM_CLICK, 0, 0);
    }

    std::string Status(int part) const
    {
        HWND bar = FindWindowExW(m_control, nullptr, STATUSCLASSNAMEW, nullptr);
        char text[512] = {};
        if (bar && LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0)) < sizeof text)
            SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
        return text;
    }

    std::vector<std::string> ColumnTitles() const
    {
        std::vector<std::string> titles;
        for (int index = 0;; ++index)
        {
            char text[128] = {};
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT;
            column.pszText = text;
            column.cchTextMax = sizeof text;
            if (!SendMessageA(Item(LIST), LVM_GETCOLUMNA, static_cast<WPARAM>(index),
                              reinterpret_cast<LPARAM>(&column)))
                return titles;
            titles.emplace_back(text);
        }
    }

    std::string Cell(int row, int column) const
    {
        char text[512] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(Item(LIST), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    void PrintList() const
    {
        const auto titles = ColumnTitles();
        const auto print = [](const std::vector<std::string>& cells) {
            std::string line;
            for (const auto& cell : cells)
                line += (line.empty() ? "" : " | ") + cell;
            std::printf("%s\n", line.c_str());
        };
        std::printf("list:\n");
        print(titles);
        for (int row = 0; row < RowCount(); ++row)
        {
            std::vector<std::string> cells;
            for (std::size_t column = 0; column < titles.size(); ++column)
                cells.push_back(Cell(row, static_cast<int>(column)));
            print(cells);
        }
    }

    CDemoWindow& m_demo;
    HWND m_control;
};

} // namespace

int ScriptedSession::Run(CDemoWindow& demo, const std::wstring& holdUntil)
{
    return CSession(demo).Run(holdUntil);
}
