// The raw in-process call rate of the simulator's ReadRegister through its
// vtable, for a 32-bit and a 128-bit register: the limit against which the
// control's read loop is measured. Then the load of a description of one
// device with 100,000 registers against the same registers split into 100
// devices of 1,000. Needs VexilSim.dll registered.
#include "frame/com/BStr.h"
#include "frame/com/ComPtr.h"
#include "frame/com/SafeArray.h"
#include "frame/com/Variant.h"

#include "VexilSim.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using CClock = std::chrono::steady_clock;

// The address of a register of device 1 by name; -1 when it is missing.
LONG FindAddress(IVexilFN* server, const std::wstring& name)
{
    CVariant names, addresses, lengths, operations, paths, numbers, extras;
    LONG userFlag = 0;
    if (FAILED(server->GetRegisters(1, names.Out(), addresses.Out(), lengths.Out(), operations.Out(), paths.Out(),
                                    numbers.Out(), extras.Out(), &userFlag)))
        return -1;
    CSafeArrayData<BSTR> nameData(V_ARRAY(&names.Get()));
    CSafeArrayData<LONG> addressData(V_ARRAY(&addresses.Get()));
    for (std::size_t i = 0; i < nameData.GetElements().size(); ++i)
        if (nameData.GetElements()[i] == name)
            return addressData.GetElements()[i];
    return -1;
}

// Calls per second over about one second of calls.
bool MeasureReads(IVexilFN* server, const wchar_t* name, LONG length)
{
    const LONG address = FindAddress(server, name);
    if (address < 0)
    {
        std::fprintf(stderr, "no register %ls in device 1\n", name);
        return false;
    }
    const CVariant mask(CSafeArray::MakeI4(std::vector<LONG>(static_cast<std::size_t>((length + 31) / 32), -1)));
    CVariant value;
    long long calls = 0;
    const CClock::time_point start = CClock::now();
    CClock::time_point now = start;
    while (now - start < std::chrono::seconds(1))
    {
        for (int i = 0; i < 1000; ++i, ++calls)
            if (FAILED(server->ReadRegister(1, address, length, value.Out(), mask.Get(), 0)))
            {
                std::fprintf(stderr, "ReadRegister of %ls failed\n", name);
                return false;
            }
        now = CClock::now();
    }
    const double seconds = std::chrono::duration<double>(now - start).count();
    std::printf("ReadRegister %3ld-bit (%ls): %10.0f calls per second\n", length, name, calls / seconds);
    return true;
}

constexpr int DESCRIPTION_REGISTERS = 100000;
constexpr int REPEATS = 3;

// DESCRIPTION_REGISTERS registers in devices of perDevice registers each.
std::filesystem::path WriteDescription(const std::filesystem::path& directory, int perDevice)
{
    const auto path = directory / ("sim-bench-" + std::to_string(perDevice) + ".txt");
    std::ofstream out(path, std::ios::binary);
    for (int r = 0; r < DESCRIPTION_REGISTERS; ++r)
    {
        if (r % perDevice == 0)
            out << "device " << r / perDevice + 1 << " Device" << r / perDevice + 1 << "\n";
        out << "register R" << r % perDevice << " " << r % perDevice * 4 << " 32 RW path=B" << r / 1000 << "\n";
    }
    return path;
}

// The best of REPEATS loads of a description, in seconds; a negative value when it was refused.
double MeasureLoad(IVexilSimControl* simulator, const std::filesystem::path& path)
{
    const CBStr name(path.wstring());
    double best = 1e30;
    for (int i = 0; i < REPEATS; ++i)
    {
        const CClock::time_point start = CClock::now();
        if (FAILED(simulator->LoadDescription(name.Get())))
            return -1;
        best = std::min(best, std::chrono::duration<double>(CClock::now() - start).count());
    }
    return best;
}

bool MeasureDescriptions(IVexilFN* server)
{
    CComPtr<IVexilSimControl> simulator;
    if (FAILED(server->QueryInterface(IID_IVexilSimControl, simulator.OutVoid())))
        return false;
    const auto directory = std::filesystem::temp_directory_path();
    const double split = MeasureLoad(simulator.Get(), WriteDescription(directory, 1000));
    const double one = MeasureLoad(simulator.Get(), WriteDescription(directory, DESCRIPTION_REGISTERS));
    if (split < 0 || one < 0)
    {
        std::fprintf(stderr, "a bench description was refused\n");
        return false;
    }
    std::printf("description load, best of %d: 100 devices x 1,000 registers %.1f ms\n", REPEATS, split * 1e3);
    std::printf("description load, 1 device x 100,000 registers %.1f ms   ratio %5.2f (target at most 1.50)\n",
                one * 1e3, one / split);
    return true;
}

} // namespace

int main()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    int status = 0;
    {
        CComPtr<IVexilFN> server;
        if (FAILED(CoCreateInstance(CLSID_VexilSim, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, server.OutVoid())))
        {
            std::fprintf(stderr, "cannot create the simulator: is VexilSim.dll registered?\n");
            status = 1;
        }
        else if (!MeasureReads(server.Get(), L"WORD00", 32) || !MeasureReads(server.Get(), L"W128", 128) ||
                 !MeasureDescriptions(server.Get()))
            status = 1;
    }
    CoUninitialize();
    return status;
}
