// The raw in-process call rate of the simulator's ReadRegister through its
// vtable, for a 32-bit and a 128-bit register: the limit against which the
// control's read loop is measured. Needs VexilSim.dll registered.
#include "frame/com/ComPtr.h"
#include "frame/com/SafeArray.h"
#include "frame/com/Variant.h"

#include "VexilSim.h"

#include <chrono>
#include <cstdio>
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
        else if (!MeasureReads(server.Get(), L"WORD00", 32) || !MeasureReads(server.Get(), L"W128", 128))
            status = 1;
    }
    CoUninitialize();
    return status;
}
