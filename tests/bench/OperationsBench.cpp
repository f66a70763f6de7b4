// The control's Read and repeat cycle at scale, against bare baselines
// measured in the same run:
//  - reading 10,000 selected rows once, with the simulator answering at once,
//    against the simulator's raw ReadRegister rate and a bare list view loop
//    that writes the same value cells and dispatches pending messages after
//    each row;
//  - the control's overhead per register when every call takes 1 ms more;
//  - reading every row when every value changed against the same read when
//    none did;
//  - the repeat cycle with Interval 5 and 10: the time between pass starts
//    against the period over 30 passes.
// Needs VexilSim.dll registered (scripts/bench.sh does it).
#include "control/Clock.h"
#include "control/Vexil2UI.h"
#include "frame/ActivationContext.h"
#include "frame/com/BStr.h"
#include "platform/Platform.h"
#include "tests/support/TestContainer.h"

#include "VexilSim.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int DEVICES = 10;
constexpr int REGISTERS_PER_DEVICE = 1000;
constexpr int ROWS = DEVICES * REGISTERS_PER_DEVICE;
constexpr int DELAYED_ROWS = 200;
constexpr int PASSES = 30;
constexpr int REPEAT_ROWS = 20;

using SteadyClock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& run)
{
    const auto start = SteadyClock::now();
    run();
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

std::filesystem::path WriteDescription(const std::filesystem::path& directory)
{
    const auto path = directory / "bench-description.txt";
    std::ofstream out(path, std::ios::binary);
    for (int d = 1; d <= DEVICES; ++d)
    {
        out << "device " << d << " Device" << d << " user=1\n";
        for (int r = 0; r < REGISTERS_PER_DEVICE; ++r)
            out << "register R" << r << " " << r * 4 << " 32 RW reset=" << r * 7 << "\n";
    }
    return path;
}

void WriteFiles(const std::filesystem::path& directory, int rows, const std::string& options)
{
    std::ofstream out(directory / "Vexil2Selections.txt", std::ios::binary);
    out << "Manual editing of this file is prohibited\r\n\r\n";
    for (int row = 0; row < rows; ++row)
        out << std::hex << std::uppercase << row / REGISTERS_PER_DEVICE + 1 << "|R" << std::dec
            << row % REGISTERS_PER_DEVICE << "\r\n";
    std::ofstream ini(directory / "Vexil2.ini", std::ios::binary);
    ini << "[Options]\r\nRememberConfiguration=yes\r\n" << options;
}

// The control embedded, started and with every row selected.
struct CEmbedded
{
    CComPtr<CVexil2UI> control = CVexil2UI::Create();
    CTestContainer container{SIZE{1000, 600}};
    CComPtr<IVexilFNClient> client;

    explicit CEmbedded(IVexilFN* server)
    {
        container.Embed(control->GetUnknown());
        control->QueryInterface(IID_IVexilFNClient, client.OutVoid());
        client->SetServer(server);
        control->Go();
        LVITEMA all{};
        all.stateMask = LVIS_SELECTED;
        all.state = LVIS_SELECTED;
        SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
        container.PumpMessages();
    }
    ~CEmbedded()
    {
        client->SetServer(nullptr);
        container.Unload();
    }
    HWND Window() const { return container.GetControlWindow(); }
    HWND List() const { return GetDlgItem(Window(), IDC_REGISTER_LIST); }
    void Click(int id) { SendMessageW(GetDlgItem(Window(), id), BM_CLICK, 0, 0); }
};

double ReadRaw(IVexilFN* server, int calls)
{
    const CVariant mask(CSafeArray::MakeI4(std::vector<LONG>(1, -1)));
    return Seconds([&] {
        for (int i = 0; i < calls; ++i)
        {
            CVariant value;
            server->ReadRegister(1 + i / REGISTERS_PER_DEVICE, (i % REGISTERS_PER_DEVICE) * 4, 32, value.Out(),
                                 mask.Get(), 0);
        }
    });
}

// A bare list view with the control's rows and columns, visible: each row's
// value cells written with the texts the control shows, then the pending
// messages dispatched, row by row.
double RunBareListLoop(HWND parent, HWND controlList)
{
    const int columns = Header_GetItemCount(ListView_GetHeader(controlList));
    const int rows = ListView_GetItemCount(controlList);
    std::vector<std::vector<std::string>> texts(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
        {
            char text[256] = {};
            ListView_GetItemText(controlList, r, c, text, sizeof text);
            texts[static_cast<std::size_t>(r)].emplace_back(text);
        }
    RECT rect{};
    GetWindowRect(controlList, &rect);
    CModuleActivationScope commonControls;
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOSORTHEADER, 0, 0,
                                rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, nullptr, nullptr);
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int c = 0; c < columns; ++c)
    {
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.cx = ListView_GetColumnWidth(controlList, c);
        column.pszText = const_cast<char*>("Column");
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    for (int r = 0; r < rows; ++r)
    {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<char*>(texts[static_cast<std::size_t>(r)][0].c_str());
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    UpdateWindow(list);
    // The value cells: after the device and register columns, before length and operations.
    const int firstValue = 2;
    const int lastValue = columns - 3;
    const double seconds = Seconds([&] {
        for (int r = 0; r < rows; ++r)
        {
            for (int c = firstValue; c <= lastValue; ++c)
            {
                LVITEMA cell{};
                cell.iSubItem = c;
                cell.pszText = const_cast<char*>(texts[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)].c_str());
                SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&cell));
            }
            MSG message{};
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    });
    DestroyWindow(list);
    return seconds;
}

// Pass starts of the repeat cycle: the cycle reads the clock at the start
// and at the end of every pass.
std::vector<double> passClock;
DWORD WINAPI RecordingTicks()
{
    passClock.push_back(std::chrono::duration<double>(SteadyClock::now().time_since_epoch()).count() * 1e3);
    return GetTickCount();
}

void MeasureRepeat(IVexilFN* server, const std::filesystem::path& directory, int interval)
{
    WriteFiles(directory, REPEAT_ROWS, "Repeat=yes\r\nInterval=" + std::to_string(interval) + "\r\n");
    CEmbedded embedded(server);
    passClock.clear();
    Clock::SetTickFunction(&RecordingTicks);
    embedded.Click(IDC_READ);
    while (passClock.size() < 2 * (PASSES + 1))
    {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        embedded.container.PumpMessages();
    }
    embedded.Click(IDC_ABORT);
    Clock::SetTickFunction(nullptr);
    const double period = interval * 100.0;
    double sum = 0;
    double largest = 0;
    double passTime = 0;
    for (int i = 1; i <= PASSES; ++i)
    {
        const double deviation = std::fabs(passClock[2 * i] - passClock[2 * i - 2] - period);
        sum += deviation;
        largest = std::max(largest, deviation);
        passTime += passClock[2 * i - 1] - passClock[2 * i - 2];
    }
    std::printf("repeat Interval %2d (%4.0f ms), %d rows, %d passes: deviation of the time between pass starts "
                "mean %6.2f ms, largest %6.2f ms (target mean under 20 ms); a pass takes %.2f ms\n",
                interval, period, REPEAT_ROWS, PASSES, sum / PASSES, largest, passTime / PASSES);
}

// Reading every row when every value changed since the last pass (each
// value cell then drawn marked) against the same read when none changed.
void MeasureChangedValues(IVexilFN* server, IVexilSimControl& simulator, const std::filesystem::path& directory)
{
    WriteFiles(directory, ROWS, "");
    CEmbedded embedded(server);
    embedded.Click(IDC_READ); // the first read marks nothing
    double unchanged = 1e30;
    double changed = 1e30;
    for (int pass = 1; pass <= 3; ++pass)
    {
        unchanged = std::min(unchanged, Seconds([&] { embedded.Click(IDC_READ); }));
        for (int i = 0; i < ROWS; ++i)
        {
            const CVariant words(CSafeArray::MakeI4(std::vector<LONG>(1, pass * 100000 + i)));
            simulator.PokeRegister(1 + i / REGISTERS_PER_DEVICE, (i % REGISTERS_PER_DEVICE) * 4, words.Get());
        }
        changed = std::min(changed, Seconds([&] { embedded.Click(IDC_READ); }));
    }
    std::printf("read of %d rows, every value changed %.3f s, none changed %.3f s: "
                "ratio %5.1f %% (target at least 95 %%)\n",
                ROWS, changed, unchanged, 100.0 * unchanged / changed);
}

} // namespace

int main()
{
    CoInitialize(nullptr);
    Module::SetInstance(GetModuleHandleW(nullptr));
    const auto directory = std::filesystem::temp_directory_path() / "vexil-operations-bench";
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
    CBStr path(description.wstring());
    if (FAILED(simulator->LoadDescription(path.Get())))
    {
        std::printf("the bench description was refused\n");
        return 1;
    }
    std::printf("Operations benchmark: %d selected rows of 32-bit registers, default columns\n", ROWS);

    {
        WriteFiles(directory, ROWS, "");
        CEmbedded embedded(server.Get());
        const double raw = ReadRaw(server.Get(), ROWS);
        double bare = RunBareListLoop(embedded.container.GetSiteWindow(), embedded.List());
        simulator->ResetCallCount();
        const double read = Seconds([&] { embedded.Click(IDC_READ); });
        // The better of a run before and after the control's, so that neither is the colder one.
        bare = std::min(bare, RunBareListLoop(embedded.container.GetSiteWindow(), embedded.List()));
        long calls = 0;
        simulator->GetCallCount(VexilSimCallsRead, &calls);
        std::printf("%-52s %9.0f registers/s\n", "simulator's raw ReadRegister", ROWS / raw);
        std::printf("%-52s %9.0f rows/s\n", "bare list loop (value cells, dispatch per row)", ROWS / bare);
        std::printf("%-52s %9.0f registers/s (%ld reads)\n", "the control's Read of every row", ROWS / read, calls);
        std::printf("ratio to the raw ReadRegister rate %5.1f %%; to the bare list loop %5.1f %% (target at least 70 %%)\n",
                    100.0 * raw / read, 100.0 * bare / read);
    }
    {
        WriteFiles(directory, DELAYED_ROWS, "");
        CEmbedded embedded(server.Get());
        simulator->SetCallDelay(1);
        // Best of three each: a call delay is a sleep, whose wake-up a busy machine puts off.
        double raw = 1e30;
        double read = 1e30;
        for (int i = 0; i < 3; ++i)
        {
            raw = std::min(raw, ReadRaw(server.Get(), DELAYED_ROWS));
            read = std::min(read, Seconds([&] { embedded.Click(IDC_READ); }));
        }
        simulator->SetCallDelay(0);
        std::printf("with a 1 ms call delay, %d rows: raw call %.3f ms, the control %.3f ms per register; "
                    "overhead per register %.3f ms, ratio %5.2f (target at most 0.10)\n",
                    DELAYED_ROWS, raw * 1e3 / DELAYED_ROWS, read * 1e3 / DELAYED_ROWS,
                    (read - raw) * 1e3 / DELAYED_ROWS, (read - raw) / raw);
    }
    MeasureChangedValues(server.Get(), *simulator.Get(), directory);
    MeasureRepeat(server.Get(), directory, 5);
    MeasureRepeat(server.Get(), directory, 10);

    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    CoUninitialize();
    return 0;
}
