// The control's start-up and list fill at scale, each against the fastest
// bare baseline measured in the same run:
//  - Go with 100 devices x 1,000 registers served by the simulator, against
//    the bare GetDevices/GetRegisters calls;
//  - FillList of 10,000 selected rows, against a bare report list view
//    filled with the same rows and texts while its redrawing is off.
// Needs VexilSim.dll registered (scripts/bench.sh does it).
#include "control/Vexil2UI.h"
#include "frame/ActivationContext.h"
#include "frame/com/BStr.h"
#include "platform/Platform.h"
#include "tests/support/TestContainer.h"

#include "VexilSim.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int DEVICES = 100;
constexpr int REGISTERS_PER_DEVICE = 1000;
constexpr int LISTED_ROWS = 10000;
constexpr int REPEATS = 3;

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& run)
{
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double BestSeconds(const std::function<void()>& run)
{
    double best = 1e30;
    for (int i = 0; i < REPEATS; ++i)
        best = std::min(best, Seconds(run));
    return best;
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

// The selection: the first LISTED_ROWS registers, device by device.
void WriteSelection(const std::filesystem::path& directory)
{
    std::ofstream out(directory / "Vexil2Selections.txt", std::ios::binary);
    out << "Manual editing of this file is prohibited\r\n\r\n";
    for (int row = 0; row < LISTED_ROWS; ++row)
        out << std::hex << std::uppercase << row / REGISTERS_PER_DEVICE + 1 << "|R" << std::dec
            << row % REGISTERS_PER_DEVICE << "\r\n";
    std::ofstream ini(directory / "Vexil2.ini", std::ios::binary);
    ini << "[Options]\r\nRememberConfiguration=yes\r\n";
}

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

int main()
{
    CoInitialize(nullptr);
    Module::SetInstance(GetModuleHandleW(nullptr));
    const auto directory = std::filesystem::temp_directory_path() / "vexil-control-bench";
    std::filesystem::create_directories(directory);
    Platform::SetModuleDirectory(directory.string());
    const auto description = WriteDescription(directory);
    WriteSelection(directory);

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
    std::printf("Control benchmark: %d devices x %d registers from the simulator, %d listed rows\n", DEVICES,
                REGISTERS_PER_DEVICE, LISTED_ROWS);

    const double bareCalls = BestSeconds([&] { CallServer(server.Get()); });

    double startUp = 1e30;
    double fill = 1e30;
    std::vector<std::vector<std::string>> shown;
    std::vector<int> widths;
    for (int i = 0; i < REPEATS; ++i)
    {
        CComPtr<CVexil2UI> control = CVexil2UI::Create();
        CTestContainer container(SIZE{1000, 600});
        container.Embed(control->GetUnknown());
        CComPtr<IVexilFNClient> client;
        control->QueryInterface(IID_IVexilFNClient, client.OutVoid());
        client->SetServer(server.Get());
        startUp = std::min(startUp, Seconds([&] { control->Go(); }));
        fill = std::min(fill, Seconds([&] {
                            control->FillList();
                            UpdateWindow(container.GetControlWindow());
                        }));
        HWND list = GetDlgItem(container.GetControlWindow(), 1001);
        shown = ReadList(list);
        widths.clear();
        for (int c = 0; c < Header_GetItemCount(ListView_GetHeader(list)); ++c)
            widths.push_back(ListView_GetColumnWidth(list, c));
        client->SetServer(nullptr);
        container.Unload();
    }

    CTestContainer host(SIZE{1000, 600});
    double bareFill = 1e30;
    for (int i = 0; i < REPEATS; ++i)
        bareFill = std::min(bareFill, FillBareList(host.GetSiteWindow(), shown, widths));

    std::printf("%-48s %9.1f ms\n", "bare GetDevices/GetRegisters calls", bareCalls * 1e3);
    std::printf("%-48s %9.1f ms   ratio %5.2f\n", "start-up (Go, with the list of 10,000 rows)", startUp * 1e3,
                startUp / bareCalls);
    std::printf("%-48s %9.1f ms\n", "bare list view fill, redrawing off", bareFill * 1e3);
    std::printf("%-48s %9.1f ms   ratio %5.2f (target at most 1.50)\n", "FillList of the control", fill * 1e3,
                fill / bareFill);
    std::printf("rows shown: %zu\n", shown.size());
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    CoUninitialize();
    return 0;
}
