// Data-layer benchmark: start-up sized container building, the user register
// and selection files, and value text conversion of 128-bit registers. Each
// load is also given as a ratio to a plain read of the same file's lines in
// the same run, so the figures compare across machines.
#include "data/DataContainer.h"
#include "platform/Platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace {

constexpr int DEVICES = 100;
constexpr int REGISTERS_PER_DEVICE = 1000;
constexpr int USER_REGISTERS = 10000;
constexpr int SELECTED_REGISTERS = 50000;
constexpr int VALUE_ROUNDS = 100000;
constexpr int REPEATS = 3;

using Clock = std::chrono::steady_clock;

// Best of a few runs: the least disturbed one.
double BestSeconds(const std::function<void()>& run)
{
    double best = 1e30;
    for (int i = 0; i < REPEATS; ++i)
    {
        const auto start = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

// Start-up: devices, then every device's registers from the server (fresh
// identifiers, paths of three folder levels).
void FillAsStartUp(CDataContainer& container)
{
    const GUID none{};
    for (int d = 0; d < DEVICES; ++d)
        container.AddDevice(d + 1, "Device" + std::to_string(d), 1);
    for (int d = 0; d < DEVICES; ++d)
        for (int r = 0; r < REGISTERS_PER_DEVICE; ++r)
            container.AddRegister(d + 1, static_cast<std::uint32_t>(0x1000 + 4 * r), "REG" + std::to_string(r),
                                  "Block" + std::to_string(r / 100) + "/Group" + std::to_string(r / 10),
                                  1 + r % 128, 0, 0xF, none);
}

// The plain baseline: every line of the file through a 16384-byte buffer.
std::size_t ReadLines(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    static char line[16384];
    std::size_t count = 0;
    while (std::fgets(line, sizeof line, file))
        ++count;
    std::fclose(file);
    return count;
}

void Report(const char* what, double seconds, double baseline = 0)
{
    if (baseline > 0)
        std::printf("%-44s %9.1f ms   ratio to plain line read %6.2f\n", what, seconds * 1e3, seconds / baseline);
    else
        std::printf("%-44s %9.1f ms\n", what, seconds * 1e3);
}

} // namespace

int main()
{
    const auto directory = std::filesystem::temp_directory_path() / "vexil-data-bench";
    std::filesystem::create_directories(directory);
    Platform::SetModuleDirectory(directory.string());
    std::printf("Data layer benchmark: %d devices x %d registers, best of %d runs\n", DEVICES,
                REGISTERS_PER_DEVICE, REPEATS);

    Report("build container (start-up)", BestSeconds([] {
               CDataContainer container;
               FillAsStartUp(container);
           }));

    CDataContainer container;
    FillAsStartUp(container);
    const GUID none{};
    for (int u = 0; u < USER_REGISTERS; ++u)
        container.AddRegister(u % DEVICES + 1, static_cast<std::uint32_t>(0x80000 + u), "USER" + std::to_string(u), "",
                              32, 1, CRegisterData::USER_OPERATIONS, none);

    const std::string userFile = CDataContainer::GetFullPath("Vexil2List.txt");
    Report("SaveUserRegisters (10,000)", BestSeconds([&] { container.SaveUserRegisters("Vexil2List.txt"); }));
    const double userLines = BestSeconds([&] { ReadLines(userFile); });
    // The load alone is timed (each run needs a container without user
    // registers), against the plain read of the same file.
    {
        double best = 1e30;
        for (int i = 0; i < REPEATS; ++i)
        {
            CDataContainer fresh;
            FillAsStartUp(fresh);
            const auto start = Clock::now();
            fresh.LoadUserRegisters("Vexil2List.txt");
            best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        }
        Report("LoadUserRegisters (10,000)", best, userLines);
    }

    int selected = 0;
    for (int d = 0; d < DEVICES && selected < SELECTED_REGISTERS; ++d)
        for (int r = 0; r < container.GetRegisterCount(d + 1) && selected < SELECTED_REGISTERS; r += 2, ++selected)
            container.GetRegister(d + 1, r).State = CRegisterData::STATE_SELECTED;
    const std::string selectionFile = CDataContainer::GetFullPath("Vexil2Selections.txt");
    Report("SaveSelections (50,000)", BestSeconds([&] { container.SaveSelections("Vexil2Selections.txt"); }));
    const double selectionLines = BestSeconds([&] { ReadLines(selectionFile); });
    Report("LoadSelections (50,000)", BestSeconds([&] {
               container.ClearStates();
               container.LoadSelections("Vexil2Selections.txt");
           }),
           selectionLines);

    CRegisterData wide(1, 0, "WIDE", "", 128, 0, 0xF, none);
    const std::string hex = "0123456789ABCDEF0123456789ABCDEF";
    const std::string binary(128, '1');
    const auto perCall = [](double seconds) { return seconds / VALUE_ROUNDS * 1e9; };
    const double setHex = BestSeconds([&] {
        for (int i = 0; i < VALUE_ROUNDS; ++i)
            wide.SetValueText(hex, CRegisterData::FORMAT_HEX, CRegisterData::SELECT_WRITE);
    });
    const double getHex = BestSeconds([&] {
        for (int i = 0; i < VALUE_ROUNDS; ++i)
            (void)wide.GetValueText(CRegisterData::FORMAT_HEX, CRegisterData::SELECT_WRITE);
    });
    const double setBinary = BestSeconds([&] {
        for (int i = 0; i < VALUE_ROUNDS; ++i)
            wide.SetValueText(binary, CRegisterData::FORMAT_BINARY, CRegisterData::SELECT_MASK);
    });
    const double getBinary = BestSeconds([&] {
        for (int i = 0; i < VALUE_ROUNDS; ++i)
            (void)wide.GetValueText(CRegisterData::FORMAT_BINARY, CRegisterData::SELECT_MASK);
    });
    const double getDecimal = BestSeconds([&] {
        for (int i = 0; i < VALUE_ROUNDS; ++i)
            (void)wide.GetValueText(CRegisterData::FORMAT_DECIMAL, CRegisterData::SELECT_WRITE);
    });
    std::printf("128-bit value texts, ns per call: SetValueText hex %.0f, binary %.0f; "
                "GetValueText hex %.0f, binary %.0f, decimal %.0f\n",
                perCall(setHex), perCall(setBinary), perCall(getHex), perCall(getBinary), perCall(getDecimal));

    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    return 0;
}
