// The GDB register access server against baselines measured in the same run:
//  - importing SVD (XmlLite read and our importer) against a plain walk of
//    the same document's nodes with the same parser: ARM's CMSDK_CM3.svd and
//    a generated description of 200 peripherals x 500 registers x 8 fields
//    (half the peripherals derived, a fifth of the registers in arrays);
//  - ReadRegister of a 32-bit register from QEMU against a raw loop of "m"
//    round trips on a socket of the same kind;
//  - registers per second read through the control.
// Arguments: the QEMU state file of scripts/qemu-gdb.sh ("PORT PID"); without
// it only the import is measured. Needs VexilGdb.dll registered.
// VEXIL_SVD_SCALE=N: only the generated import, with N peripherals (how it scales).
#include "control/Vexil2UI.h"
#include "frame/com/BStr.h"
#include "frame/com/ErrorInfo.h"
#include "gdbremote/RspCodec.h"
#include "gdbremote/Socket.h"
#include "platform/Platform.h"
#include "svd/SvdImporter.h"
#include "svd/XmlDocument.h"
#include "svd/XmlLitePool.h"
#include "tests/support/TestContainer.h"

#include "VexilGdb.h"

#include <objbase.h>
#include <xmllite.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& run)
{
    const auto start = SteadyClock::now();
    run();
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

double BestOf(int runs, const std::function<void()>& run)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, Seconds(run));
    return best;
}

// The baseline: every node of the document through XmlLite, names, attributes and values read;
// with the process heap (plain) or with the allocator the importer gives XmlLite.
std::size_t WalkNodes(const std::string& bytes, IMalloc* allocator)
{
    using CreateFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    static const auto create = reinterpret_cast<CreateFunction>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"xmllite.dll"), "CreateXmlReader")));
    CComPtr<IXmlReader> reader;
    create(__uuidof(IXmlReader), reader.OutVoid(), allocator);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    CComPtr<IStream> stream;
    CreateStreamOnHGlobal(memory, TRUE, stream.Out());
    ULARGE_INTEGER size;
    size.QuadPart = bytes.size();
    stream->SetSize(size);
    reader->SetInput(stream.Get());
    std::size_t elements = 0;
    XmlNodeType type = XmlNodeType_None;
    const wchar_t* text = nullptr;
    UINT length = 0;
    while (reader->Read(&type) == S_OK)
    {
        if (type == XmlNodeType_Element)
        {
            ++elements;
            reader->GetLocalName(&text, &length);
            for (HRESULT hr = reader->MoveToFirstAttribute(); hr == S_OK; hr = reader->MoveToNextAttribute())
                reader->GetValue(&text, &length);
            reader->MoveToElement();
        }
        else if (type == XmlNodeType_Text)
            reader->GetValue(&text, &length);
    }
    return elements;
}

std::size_t Import(const std::string& bytes)
{
    auto document = ReadXmlDocument(bytes);
    if (!std::holds_alternative<CXmlDocument>(document))
        return 0;
    auto description = ImportSvd(std::get<CXmlDocument>(document).root);
    if (!std::holds_alternative<CDescription>(description))
        return 0;
    std::size_t registers = 0;
    for (const CDeviceInfo& device : std::get<CDescription>(description).devices)
        registers += device.registers.size();
    return registers;
}

std::string GenerateSvd(int peripherals)
{
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<device schemaVersion=\"1.3\"><name>BENCH</name>"
           "<size>32</size><access>read-write</access><resetValue>0</resetValue><resetMask>0xFFFFFFFF</resetMask>"
           "<peripherals>\n";
    for (int p = 0; p < peripherals; ++p)
    {
        if (p >= peripherals / 2)
        {
            out << "<peripheral derivedFrom=\"P" << p - peripherals / 2 << "\"><name>P" << p << "</name><baseAddress>0x"
                << std::hex << 0x40000000 + p * 0x10000 << std::dec << "</baseAddress></peripheral>\n";
            continue;
        }
        out << "<peripheral><name>P" << p << "</name><baseAddress>0x" << std::hex << 0x40000000 + p * 0x10000
            << std::dec << "</baseAddress><registers>\n";
        // 400 plain registers and 10 arrays of 10: 500 registers.
        for (int r = 0; r < 410; ++r)
        {
            const bool array = r >= 400;
            out << "<register><name>R" << r << (array ? "_%s" : "") << "</name>";
            if (array)
                out << "<dim>10</dim><dimIncrement>4</dimIncrement>";
            out << "<description>Register " << r << "</description><addressOffset>0x" << std::hex
                << (array ? 0x1000 + (r - 400) * 0x40 : r * 4) << std::dec << "</addressOffset><fields>";
            for (int f = 0; f < 8; ++f)
                out << "<field><name>F" << f << "</name><description>Field " << f << "</description><bitOffset>"
                    << f * 4 << "</bitOffset><bitWidth>4</bitWidth><access>read-write</access></field>";
            out << "</fields></register>\n";
        }
        out << "</registers></peripheral>\n";
    }
    out << "</peripherals></device>\n";
    return out.str();
}

void MeasureImport(const char* name, const std::string& bytes, int runs, bool absoluteTarget)
{
    std::size_t registers = 0;
    std::size_t elements = 0;
    const double walk = BestOf(runs, [&] { elements = WalkNodes(bytes, nullptr); });
    const double pooledWalk = BestOf(runs, [&] { WalkNodes(bytes, CreateXmlReaderPool().Get()); });
    const double import = BestOf(runs, [&] { registers = Import(bytes); });
    const double read = BestOf(runs, [&] { (void)ReadXmlDocument(bytes); });
    std::printf("SVD import %-28s of which reading the elements through XmlLite %8.1f ms\n", name, read * 1e3);
    std::printf("SVD import %-28s %8zu bytes, %7zu elements -> %6zu registers: importer %8.1f ms, "
                "plain XmlLite walk %8.1f ms\n",
                name, bytes.size(), elements, registers, import * 1e3, walk * 1e3);
    std::printf("SVD import %-28s ratio %.2f (target at most 1.5)%s\n", name, import / walk,
                absoluteTarget ? (import < 1.0 ? "; under 1 s (target under 1 s)" : "; NOT under 1 s (target under 1 s)")
                               : "");
    // The importer gives XmlLite an allocator of its own; the same walk with it shows what is left.
    std::printf("SVD import %-28s walk with the importer's XmlLite allocator %8.1f ms: importer against it, "
                "ratio %.2f\n",
                name, pooledWalk * 1e3, import / pooledWalk);
}

// Raw "m" round trips with acknowledgements, as QEMU's GDB server wants them.
double MeasureRawRoundTrips(std::uint16_t port)
{
    CSocket socket = CSocket::Connect("127.0.0.1", port, CMilliseconds(2000));
    const std::string frame = Rsp::FramePacket(Rsp::MakeReadRequest(0xE000ED00u, 4));
    std::array<char, 512> buffer;
    long long trips = 0;
    const auto start = SteadyClock::now();
    auto now = start;
    while (now - start < std::chrono::seconds(1))
    {
        for (int i = 0; i < 100; ++i, ++trips)
        {
            socket.SendAll(frame);
            // '+', then "$...#xx"
            std::string received;
            while (received.size() < 3 || received[received.size() - 3] != '#')
            {
                const std::size_t count = socket.Receive(buffer.data(), buffer.size(), CMilliseconds(2000));
                if (count == 0)
                    return 0;
                received.append(buffer.data(), count);
            }
            socket.SendAll("+");
        }
        now = SteadyClock::now();
    }
    return trips / std::chrono::duration<double>(now - start).count();
}

double MeasureReadRegister(IVexilFN* server)
{
    const CVariant mask(CSafeArray::MakeI4(std::vector<LONG>(1, -1)));
    long long calls = 0;
    const auto start = SteadyClock::now();
    auto now = start;
    while (now - start < std::chrono::seconds(1))
    {
        for (int i = 0; i < 100; ++i, ++calls)
        {
            CVariant value;
            if (FAILED(server->ReadRegister(1, static_cast<LONG>(0xE000ED00u), 32, value.Out(), mask.Get(), 0)))
                return 0;
        }
        now = SteadyClock::now();
    }
    return calls / std::chrono::duration<double>(now - start).count();
}

// Every readable register of the description selected in the control, one Read.
void MeasureControl(IVexilFN* server, const std::filesystem::path& directory)
{
    CVariant names, ids;
    server->GetDevices(names.Out(), ids.Out());
    CSafeArrayData<LONG> deviceIds(V_ARRAY(&ids.Get()));
    std::ofstream selection(directory / "Vexil2Selections.txt", std::ios::binary);
    selection << "Manual editing of this file is prohibited\r\n\r\n";
    int rows = 0;
    for (LONG device : deviceIds.GetElements())
    {
        CVariant registerNames, addresses, lengths, operations, paths, numbers, extras;
        LONG user = 0;
        server->GetRegisters(device, registerNames.Out(), addresses.Out(), lengths.Out(), operations.Out(),
                             paths.Out(), numbers.Out(), extras.Out(), &user);
        CSafeArrayData<BSTR> nameData(V_ARRAY(&registerNames.Get()));
        CSafeArrayData<LONG> operationData(V_ARRAY(&operations.Get()));
        for (std::size_t i = 0; i < nameData.GetElements().size(); ++i)
            if (operationData.GetElements()[i] & 1)
            {
                std::wstring name = nameData.GetElements()[i];
                selection << std::hex << std::uppercase << device << std::dec << "|"
                          << std::string(name.begin(), name.end()) << "\r\n";
                ++rows;
            }
    }
    selection.close();
    std::ofstream(directory / "Vexil2.ini", std::ios::binary) << "[Options]\r\nRememberConfiguration=yes\r\n";

    CComPtr<CVexil2UI> control = CVexil2UI::Create();
    CTestContainer container{SIZE{1000, 600}};
    container.Embed(control->GetUnknown());
    CComPtr<IVexilFNClient> client;
    control->QueryInterface(IID_IVexilFNClient, client.OutVoid());
    client->SetServer(server);
    control->Go();
    HWND list = GetDlgItem(container.GetControlWindow(), IDC_REGISTER_LIST);
    LVITEMA all{};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    container.PumpMessages();
    const int shown = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    double best = 1e9;
    for (int run = 0; run < 5; ++run)
        best = std::min(best, Seconds([&] {
                            SendMessageW(GetDlgItem(container.GetControlWindow(), IDC_READ), BM_CLICK, 0, 0);
                        }));
    std::printf("through the control: %d selected registers (%d in the list) read in %.1f ms: %.0f registers/s\n",
                rows, shown, best * 1e3, shown / best);
    client->SetServer(nullptr);
    container.Unload();
}

} // namespace

int main(int argc, char** argv)
{
    CoInitialize(nullptr);
    Module::SetInstance(GetModuleHandleW(nullptr));

    std::ifstream cmsdk(VEXIL_CMSDK_SVD, std::ios::binary);
    std::ostringstream cmsdkBytes;
    cmsdkBytes << cmsdk.rdbuf();
    MeasureImport("CMSDK_CM3.svd", cmsdkBytes.str(), 20, false);
    if (const char* scale = std::getenv("VEXIL_SVD_SCALE"))
    {
        MeasureImport("generated scale", GenerateSvd(std::atoi(scale)), 1, false);
        return 0;
    }
    MeasureImport("generated 200 x 500 x 8", GenerateSvd(200), 2, true);

    if (argc < 2)
    {
        std::printf("no QEMU state file given: the read figures are left out\n");
        return 0;
    }
    std::ifstream state(argv[1]);
    int port = 0;
    state >> port;
    if (port <= 0)
    {
        std::printf("no QEMU port in %s\n", argv[1]);
        return 1;
    }
    const std::string address = "127.0.0.1:" + std::to_string(port);

    CComPtr<IVexilFN> server;
    CComPtr<IVexilGdbControl> control;
    if (FAILED(CoCreateInstance(CLSID_VexilGdb, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, server.OutVoid())) ||
        FAILED(server.QueryInterface(control)))
    {
        std::printf("VexilGdb.dll is not registered\n");
        return 1;
    }
    const CBStr svd(std::wstring(VEXIL_CMSDK_SVD, VEXIL_CMSDK_SVD + std::strlen(VEXIL_CMSDK_SVD)));
    if (FAILED(control->LoadDescription(svd.Get())) ||
        FAILED(control->Connect(CBStr(std::wstring(address.begin(), address.end())).Get())))
    {
        std::printf("cannot load the description or connect to QEMU at %s: %ls\n", address.c_str(),
                    ErrorInfo::TakeDescription().c_str());
        return 1;
    }
    // The best of three one-second runs each: the machine is shared.
    double reads = 0;
    for (int run = 0; run < 3; ++run)
        reads = std::max(reads, MeasureReadRegister(server.Get()));
    control->Disconnect(); // QEMU serves one GDB client at a time
    double raw = 0;
    for (int run = 0; run < 3; ++run)
        raw = std::max(raw, MeasureRawRoundTrips(static_cast<std::uint16_t>(port)));
    std::printf("32-bit reads from QEMU: ReadRegister %.0f calls/s, raw m round trips %.0f/s\n", reads, raw);
    std::printf("ReadRegister against raw m round trips: ratio %.1f %% (target at least 90 %%)\n",
                raw > 0 ? 100.0 * reads / raw : 0.0);

    const auto directory = std::filesystem::temp_directory_path() / "vexil-gdb-bench";
    std::filesystem::create_directories(directory);
    Platform::SetModuleDirectory(directory.string());
    if (FAILED(control->Connect(CBStr(std::wstring(address.begin(), address.end())).Get())))
    {
        std::printf("cannot connect again\n");
        return 1;
    }
    MeasureControl(server.Get(), directory);
    return 0;
}
