// The control's start-up and list fill at scale, each against the fastest
// bare baseline measured in the same run:
//  - Go with 100 devices x 1,000 registers served by the simulator, against
//    the bare GetDevices/GetRegisters calls;
//  - FillList of 10,000 selected rows, against a bare report list view
//    filled with the same rows and texts while its redrawing is off;
//  - select all (Ctrl+A) and the delete of every selected row on those rows,
//    and select all of 1,001 rows, each until its status and buttons are up
//    to date, against the same step in a bare list view of the same rows;
//  - the commit charge after start-up with 1 device x 100,000 registers, per
//    register, and with all of them listed, against the one after start-up;
//  - the first touch of a fresh page, and what the first start-up's kept
//    memory costs at that rate (the bare calls reuse theirs).
// Needs VexilSim.dll registered (scripts/bench.sh does it). An argument
// gives another row count for the select and delete lines.
#include "control/Vexil2UI.h"
#include "frame/ActivationContext.h"
#include "frame/com/BStr.h"
#include "platform/Platform.h"
#include "tests/support/TestContainer.h"

#include "VexilSim.h"

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int DEVICES = 100;
constexpr int REGISTERS_PER_DEVICE = 1000;
constexpr int LISTED_ROWS = 10000;
constexpr int FEW_ROWS = 1001;
constexpr int BIG_DEVICE_REGISTERS = 100000;
constexpr int BYTES_PER_REGISTER = 400; // the memory a register may take after start-up
constexpr int REPEATS = 5;
constexpr int START_UP_REPEATS = 9; // each takes a tenth of a second
constexpr std::size_t PAGE = 4096;

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& run)
{
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A description of 100 devices with 1,000 registers each, in three levels of folders.
std::filesystem::path WriteDescription(const std::filesystem::path& directory)
{
    const auto path = directory / "bench-description.txt";
    std::ofstream out(path, std::ios::binary);
    for (int d = 1; d <= DEVICES; ++d)
    {
        out << "device " << d << " Device" << d << " user=1\n";
        for (int r = 0; r < REGISTERS_PER_DEVICE; ++r)
            out << "register R" << r << " " << r * 4 << " " << (r % 4 == 0 ? 40 : 32) << " RW path=B" << r / 100
                << "/G" << r / 10 % 10 << "/S" << r % 10 << "\n";
    }
    return path;
}

// One device of BIG_DEVICE_REGISTERS registers.
std::filesystem::path WriteBigDevice(const std::filesystem::path& directory)
{
    const auto path = directory / "bench-big-device.txt";
    std::ofstream out(path, std::ios::binary);
    out << "device 1 Device1 user=1\n";
    for (int r = 0; r < BIG_DEVICE_REGISTERS; ++r)
        out << "register R" << r << " " << r * 4 << " 32 RW path=B" << r / 1000 << "/G" << r / 100 % 10 << "\n";
    return path;
}

// The selection: the first rows registers, device by device, with
// registersPerDevice registers each; none with rows 0.
void WriteSelection(const std::filesystem::path& directory, int rows, int registersPerDevice = REGISTERS_PER_DEVICE)
{
    std::ofstream out(directory / "Vexil2Selections.txt", std::ios::binary);
    out << "Manual editing of this file is prohibited\r\n\r\n";
    for (int row = 0; row < rows; ++row)
        out << std::hex << std::uppercase << row / registersPerDevice + 1 << "|R" << std::dec
            << row % registersPerDevice << "\r\n";
    std::ofstream ini(directory / "Vexil2.ini", std::ios::binary);
    ini << "[Options]\r\nRememberConfiguration=yes\r\n";
}

// Runs every message already queued, as the host's loop would before it idles.
void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double CommitMiB()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
}

// Microseconds for the first touch of one 4 KiB page of fresh memory, best
// of a few tries: on a virtual machine this can outweigh all the work that
// the start-up does with the records it keeps.
double FirstTouchMicroseconds()
{
    constexpr std::size_t BYTES = 32u << 20;
    double best = 1e30;
    for (int i = 0; i < 3; ++i)
    {
        auto* memory =
            static_cast<volatile char*>(VirtualAlloc(nullptr, BYTES, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!memory)
            return 0;
        best = std::min(best, Seconds([&] {
                            for (std::size_t offset = 0; offset < BYTES; offset += PAGE)
                                memory[offset] = 1;
                        }));
        VirtualFree(const_cast<char*>(memory), 0, MEM_RELEASE);
    }
    return best * 1e6 / (BYTES / PAGE);
}

// The control embedded in a container of its own, handed the server and started.
struct CEmbedded
{
    explicit CEmbedded(IVexilFN* server) : container(SIZE{1000, 600})
    {
        container.Embed(control->GetUnknown());
        control->QueryInterface(IID_IVexilFNClient, client.OutVoid());
        client->SetServer(server);
    }
    ~CEmbedded()
    {
        client->SetServer(nullptr);
        container.Unload();
    }
    CEmbedded(const CEmbedded&) = delete;
    CEmbedded& operator=(const CEmbedded&) = delete;

    HWND List() const { return GetDlgItem(container.GetControlWindow(), 1001); }

    CComPtr<CVexil2UI> control = CVexil2UI::Create();
    CTestContainer container;
    CComPtr<IVexilFNClient> client;
};

// The bare calls that the start-up makes of the server.
void CallServer(IVexilFN* server)
{
    CVariant names, ids;
    server->GetDevices(names.Out(), ids.Out());
    for (int d = 1; d <= DEVICES; ++d)
    {
        CVariant registerNames, addresses, lengths, operations, paths, numbers, extras;
        long flag = 0;
        server->GetRegisters(d, registerNames.Out(), addresses.Out(), lengths.Out(), operations.Out(), paths.Out(),
                             numbers.Out(), extras.Out(), &flag);
    }
}

// The same rows and texts in a bare list view of the same size, filled the
// fastest way: redrawing off, each cell set once.
double FillBareList(HWND parent, const std::vector<std::vector<std::string>>& rows, const std::vector<int>& widths)
{
    RECT rect{};
    GetClientRect(parent, &rect);
    // The same common controls as the control's list.
    CModuleActivationScope commonControls;
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOSORTHEADER, 0, 0,
                                rect.right, rect.bottom, parent, nullptr, nullptr, nullptr);
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (std::size_t c = 0; c < widths.size(); ++c)
    {
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.cx = widths[c];
        column.pszText = const_cast<char*>("Column");
        SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
    const double seconds = Seconds([&] {
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        for (std::size_t r = 0; r < rows.size(); ++r)
        {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.pszText = const_cast<char*>(rows[r][0].c_str());
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            for (std::size_t c = 1; c < rows[r].size(); ++c)
            {
                LVITEMA cell{};
                cell.iSubItem = static_cast<int>(c);
                cell.pszText = const_cast<char*>(rows[r][c].c_str());
                SendMessageA(list, LVM_SETITEMTEXTA, r, reinterpret_cast<LPARAM>(&cell));
            }
        }
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    });
    DestroyWindow(list);
    return seconds;
}

// A bare list view of the same rows and texts, made and filled outside the timing.
HWND MakeBareList(HWND parent, const std::vector<std::vector<std::string>>& rows, const std::vector<int>& widths)
{
    RECT rect{};
    GetClientRect(parent, &rect);
    CModuleActivationScope commonControls;
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOSORTHEADER, 0, 0,
                                rect.right, rect.bottom, parent, nullptr, nullptr, nullptr);
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (std::size_t c = 0; c < widths.size(); ++c)
    {
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.cx = widths[c];
        column.pszText = const_cast<char*>("Column");
        SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (std::size_t r = 0; r < rows.size(); ++r)
    {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(r);
        item.pszText = const_cast<char*>(rows[r][0].c_str());
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (std::size_t c = 1; c < rows[r].size(); ++c)
        {
            LVITEMA cell{};
            cell.iSubItem = static_cast<int>(c);
            cell.pszText = const_cast<char*>(rows[r][c].c_str());
            SendMessageA(list, LVM_SETITEMTEXTA, r, reinterpret_cast<LPARAM>(&cell));
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(list);
    return list;
}

void SelectAll(HWND list)
{
    LVITEMA all{};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
}

// Select all, then delete every selected row, in a bare list view: the
// fastest way, from the bottom with redrawing off.
std::pair<double, double> SelectAndDeleteBare(HWND parent, const std::vector<std::vector<std::string>>& rows,
                                              const std::vector<int>& widths)
{
    HWND list = MakeBareList(parent, rows, widths);
    PumpMessages(); // what earlier steps left queued is not timed
    const double select = Seconds([&] {
        SelectAll(list);
        PumpMessages();
        UpdateWindow(list);
    });
    const double remove = Seconds([&] {
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        for (int row = ListView_GetItemCount(list) - 1; row >= 0; --row)
            if (ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED)
                ListView_DeleteItem(list, row);
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        PumpMessages();
        UpdateWindow(list);
    });
    DestroyWindow(list);
    return {select, remove};
}

// Select all, then delete every selected row, in the control, each until its
// status line and buttons are up to date.
std::pair<double, double> SelectAndDeleteInControl(IVexilFN* server)
{
    CEmbedded embedded(server);
    embedded.control->Go();
    PumpMessages();
    UpdateWindow(embedded.container.GetControlWindow());
    const double select = Seconds([&] {
        embedded.control->SelectAllRows();
        PumpMessages();
        UpdateWindow(embedded.container.GetControlWindow());
    });
    const double remove = Seconds([&] {
        embedded.control->DeleteSelectedRows();
        PumpMessages();
        UpdateWindow(embedded.container.GetControlWindow());
    });
    return {select, remove};
}

void PrintRatio(const char* what, double seconds, double baseline, const char* target)
{
    std::printf("%-48s %9.1f ms   ratio %5.2f (target %s)\n", what, seconds * 1e3, seconds / baseline, target);
}

void PrintBaseline(const char* what, double seconds) { std::printf("%-48s %9.1f ms\n", what, seconds * 1e3); }

std::vector<std::vector<std::string>> ReadList(HWND list)
{
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    std::vector<int> widths;
    std::vector<std::vector<std::string>> rows(static_cast<std::size_t>(ListView_GetItemCount(list)));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < columns; ++c)
        {
            char text[256] = {};
            LVITEMA item{};
            item.iSubItem = c;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, r, reinterpret_cast<LPARAM>(&item));
            rows[r].emplace_back(text);
        }
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    const int selectRows = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, LISTED_ROWS) : LISTED_ROWS;
    CoInitialize(nullptr);
    Module::SetInstance(GetModuleHandleW(nullptr));
    const auto directory = std::filesystem::temp_directory_path() / "vexil-control-bench";
    std::filesystem::create_directories(directory);
    Platform::SetModuleDirectory(directory.string());
    const auto description = WriteDescription(directory);

    CComPtr<IVexilFN> server;
    if (FAILED(CoCreateInstance(CLSID_VexilSim, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, server.OutVoid())))
    {
        std::printf("the simulator is not registered\n");
        return 1;
    }
    CComPtr<IVexilSimControl> simulator;
    server.QueryInterface(simulator);
    const auto load = [&](const std::filesystem::path& file) {
        CBStr path(file.wstring());
        return SUCCEEDED(simulator->LoadDescription(path.Get()));
    };

    // Memory first, while the process has not yet used its heap for anything
    // else: 1 device x 100,000 registers after start-up, then with all of them listed.
    if (!load(WriteBigDevice(directory)))
    {
        std::printf("the big device description was refused\n");
        return 1;
    }
    WriteSelection(directory, 0);
    const double before = CommitMiB();
    double startedUp = 0;
    {
        CEmbedded embedded(server.Get());
        embedded.control->Go();
        PumpMessages();
        startedUp = CommitMiB() - before;
    }
    WriteSelection(directory, BIG_DEVICE_REGISTERS, BIG_DEVICE_REGISTERS);
    double listed = 0;
    {
        CEmbedded embedded(server.Get());
        embedded.control->Go();
        PumpMessages();
        UpdateWindow(embedded.container.GetControlWindow());
        listed = CommitMiB() - before;
        std::printf("rows listed: %d\n", ListView_GetItemCount(embedded.List()));
    }

    if (!load(description))
    {
        std::printf("the bench description was refused\n");
        return 1;
    }
    WriteSelection(directory, LISTED_ROWS);
    std::printf("Control benchmark: %d devices x %d registers from the simulator, %d listed rows, best of %d "
                "(start-up and fill: of %d)\n",
                DEVICES, REGISTERS_PER_DEVICE, LISTED_ROWS, REPEATS, START_UP_REPEATS);

    const double perRegister = startedUp * 1024 * 1024 / BIG_DEVICE_REGISTERS;
    std::printf("%-48s %9.1f MiB   %5.0f bytes per register, ratio %4.2f to %d (target at most 1.00)\n",
                "commit after start-up, 1 x 100,000 registers", startedUp, perRegister,
                perRegister / BYTES_PER_REGISTER, BYTES_PER_REGISTER);
    std::printf("%-48s %9.1f MiB   ratio %5.2f (target at most 2.00)\n", "commit with the 100,000 rows listed",
                listed, listed / startedUp);

    // The bare calls and the start-up take turns, so that a busy moment of
    // the shared machine falls on both alike; the best of each counts.
    double bareCalls = 1e30;
    double startUp = 1e30;
    double fill = 1e30;
    std::vector<std::vector<std::string>> shown;
    std::vector<int> widths;
    double goCommit = 0; // MiB that the first of these start-ups takes and keeps
    for (int i = 0; i < START_UP_REPEATS; ++i)
    {
        bareCalls = std::min(bareCalls, Seconds([&] { CallServer(server.Get()); }));
        CEmbedded embedded(server.Get());
        const double beforeGo = CommitMiB();
        startUp = std::min(startUp, Seconds([&] { embedded.control->Go(); }));
        if (i == 0)
            goCommit = CommitMiB() - beforeGo;
        fill = std::min(fill, Seconds([&] {
                            embedded.control->FillList();
                            UpdateWindow(embedded.container.GetControlWindow());
                        }));
        if (i + 1 < START_UP_REPEATS)
            continue;
        shown = ReadList(embedded.List());
        for (int c = 0; c < Header_GetItemCount(ListView_GetHeader(embedded.List())); ++c)
            widths.push_back(ListView_GetColumnWidth(embedded.List(), c));
    }

    CTestContainer host(SIZE{1000, 600});
    double bareFill = 1e30;
    for (int i = 0; i < REPEATS; ++i)
        bareFill = std::min(bareFill, FillBareList(host.GetSiteWindow(), shown, widths));

    PrintBaseline("bare GetDevices/GetRegisters calls", bareCalls);
    PrintRatio("start-up (Go, with the list of 10,000 rows)", startUp, bareCalls, "at most 2.00");
    // The bare calls free what they get and reuse it; the start-up keeps its
    // records, so each of their pages is touched fresh.
    const double touch = FirstTouchMicroseconds();
    std::printf("%-48s %9.2f us per 4 KiB page\n", "first touch of fresh memory", touch);
    const double keptTouch = goCommit * (1 << 20) / PAGE * touch / 1e6;
    std::printf("%-48s %9.1f MiB, first touch %.1f ms\n", "start-up's kept memory", goCommit, keptTouch * 1e3);
    std::printf("%-48s %9.1f ms   ratio %5.2f (for comparison)\n", "start-up against bare calls + that first touch",
                startUp * 1e3, startUp / (bareCalls + keptTouch));
    PrintBaseline("bare list view fill, redrawing off", bareFill);
    PrintRatio("FillList of the control", fill, bareFill, "at most 1.50");
    std::printf("rows shown: %zu\n", shown.size());

    // Select all and delete, on selectRows rows, then select all of FEW_ROWS rows.
    for (const int rows : {selectRows, FEW_ROWS})
    {
        const std::vector<std::vector<std::string>> same(shown.begin(), shown.begin() + std::min<std::size_t>(rows, shown.size()));
        std::pair<double, double> bare{1e30, 1e30}, control{1e30, 1e30};
        for (int i = 0; i < REPEATS; ++i)
        {
            WriteSelection(directory, rows); // the control saved what it deleted
            const auto b = SelectAndDeleteBare(host.GetSiteWindow(), same, widths);
            const auto c = SelectAndDeleteInControl(server.Get());
            bare = {std::min(bare.first, b.first), std::min(bare.second, b.second)};
            control = {std::min(control.first, c.first), std::min(control.second, c.second)};
        }
        const std::string rowsText = std::to_string(rows) + " rows";
        PrintBaseline(("bare list view select all, " + rowsText).c_str(), bare.first);
        PrintRatio(("select all (Ctrl+A), " + rowsText).c_str(), control.first, bare.first, "at most 1.50");
        if (rows == FEW_ROWS)
            continue;
        PrintBaseline(("bare list view delete of the selected, " + rowsText).c_str(), bare.second);
        PrintRatio(("delete of the selected rows, " + rowsText).c_str(), control.second, bare.second, "at most 1.50");
    }

    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    CoUninitialize();
    return 0;
}
