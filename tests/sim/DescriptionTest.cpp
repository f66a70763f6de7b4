// What the simulator serves: description files, their errors, and the file
// beside the DLL.
#include "tests/sim/SimTestSupport.h"

#include <windows.h>

#include <filesystem>
#include <memory>
#include <type_traits>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

using DescriptionFile = CSimulatorTest;

TEST_F(DescriptionFile, ReplacesDevicesRegistersAndMemory)
{
    const CRegisterEntry ctrl = FindRegister(2, L"CTRL");
    Write(2, ctrl.address, 32, {7});
    ASSERT_EQ(LoadDescriptionText("# a small board\n"
                                  "device 7 \"Test board\" user=1\n"
                                  "  register CFG 0x20 40 RWC reset=0xAB00000001 path=\"Top/Sub one\"\n"
                                  "  register EVT 0x24 8 1 behaviour=read-to-clear:100\n"
                                  "device -2 Other\n"
                                  "  register CFG 0x20 32 RW  # a name and an address are unique per device only\n"),
              S_OK);
    EXPECT_THAT(GetDevices(m_server.Get()), ElementsAre(L"7|Test board", L"-2|Other"));
    LONG userFlag = -1;
    EXPECT_THAT(GetRegisters(m_server.Get(), 7, &userFlag), ElementsAre(L"CFG|32|40|7|Top/Sub one", L"EVT|36|8|1|"));
    EXPECT_EQ(userFlag, 1);
    GetRegisters(m_server.Get(), -2, &userFlag);
    EXPECT_EQ(userFlag, 0);
    EXPECT_THAT(Read(7, 0x20, 40), ElementsAre(1, 0xAB));
    EXPECT_THAT(Read(-2, 0x20, 32), ElementsAre(0));
    CVariant value;
    EXPECT_EQ(TryRead(2, ctrl.address, 32, value), kDeviceNotSupported);
    // An unknown device has no registers.
    CVariant names, addresses, lengths, operations, paths, numbers, extras;
    userFlag = -1;
    EXPECT_EQ(m_server->GetRegisters(99, names.Out(), addresses.Out(), lengths.Out(), operations.Out(), paths.Out(),
                                     numbers.Out(), extras.Out(), &userFlag),
              kDeviceNotSupported);
    EXPECT_EQ(names.GetType(), VT_EMPTY);
    EXPECT_EQ(userFlag, 0);
}

TEST_F(DescriptionFile, MalformedOneIsRefusedWithTheLineAndTheProblemAndTheOldOneStays)
{
    // Many registers in a device: a repeated address or name is found among the lookup's collisions.
    std::string many = "device 1 Big\n";
    for (int r = 0; r < 200; ++r)
        many += "register R" + std::to_string(r) + " " + std::to_string(4 * r) + " 32 RW\n";
    const struct
    {
        const char* name;
        std::string text;
        const char* line;
        const char* problem;
    } rows[] = {
        {"RegisterBeforeDevice", "register A 0 32 R\n", "line 1", "before the first device"},
        {"DeviceIdTwice", "device 1 A\n\ndevice 1 B\n", "line 3", "used twice"},
        {"LengthAbove128", "device 7 A\nregister A 0x0 32 RW\nregister B 0x4 129 RW\n", "line 3", "129"},
        {"UnknownOperationLetter", "device 1 A\nregister X 0 32 RX\n", "line 2", "RX"},
        {"ResetWiderThanLength", "device 1 A\nregister X 0 8 RW reset=0x100\n", "line 2", "does not fit"},
        {"AddressBeyond32Bits", "device 1 A\nregister X 0x1FFFFFFFF 8 RW\n", "line 2", "32-bit"},
        {"UnknownSetting", "device 1 A\nregister X 0 8 RW colour=red\n", "line 2", "colour=red"},
        {"OpenQuote", "device 1 \"A\nregister X 0 8 RW\n", "line 1", "quote"},
        {"MissingOperations", "device 1 A\nregister X 0 8\n", "line 2", "needs"},
        {"NameWithBar", "device 1 A\nregister X|Y 0 8 RW\n", "line 2", "X|Y"},
        {"UnknownStatement", "board 1 A\n", "line 1", "board"},
        {"FieldBeforeRegister", "device 1 A\nfield F 0\n", "line 2", "before the first register"},
        {"FieldBeyondLength", "device 1 A\nregister X 0 8 RW\nfield F 8:4\n", "line 3", "8 bits"},
        {"FieldNameTwice", "device 1 A\nregister X 0 8 RW\nfield F 0\nfield F 1\n", "line 4", "field named F"},
        {"FieldAccessUnknown", "device 1 A\nregister X 0 8 RW\nfield F 0 access=rw\n", "line 3", "access=rw"},
        {"ValueBeforeField", "device 1 A\nregister X 0 8 RW\nvalue 1 ONE\n", "line 3", "before the first field"},
        {"ValueWiderThanField", "device 1 A\nregister X 0 8 RW\nfield F 1:0\nvalue 4 FOUR\n", "line 4", "2 bits"},
        {"AddressTwice", many + "register X 0 32 RW\n", "line 202", "\"Big\" already has register R0 at address 0"},
        {"NameTwice", many + "register R100 0x10000000 32 RW\n", "line 202", "already has a register named R100"},
        {"ValueNotANumber", "device 1 A\nregister X 0 8 RW\nfield F 1:0\nvalue 0y1 ODD\n", "line 4", "0y1"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(LoadDescriptionText(row.text), E_INVALIDARG);
        const std::string description = Narrow(TakeErrorDescription());
        EXPECT_THAT(description, HasSubstr(row.line));
        EXPECT_THAT(description, HasSubstr(row.problem));
        EXPECT_EQ(GetDevices(m_server.Get()).front(), L"1|Controller");
    }
}

// A copy of the DLL in a directory of the test's own, loaded without the
// registry, so that its "VexilSim.txt" concerns no one else.
TEST(DescriptionBesideTheDll, IsServedFromEachCreationAndAMalformedOneFailsIt)
{
    CTestDirectory directory;
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    const std::string copy = directory.GetFile("VexilSim.dll");
    std::filesystem::copy_file(std::string("Z:") + VEXIL_SIM_DLL, std::filesystem::path(copy));
    {
        using CModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)>;
        const CModule module(LoadLibraryA(copy.c_str()), &FreeLibrary);
        using CGetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        const auto getClassObject = reinterpret_cast<CGetClassObject>(
            reinterpret_cast<void*>(GetProcAddress(module.get(), "DllGetClassObject")));
        CComPtr<IClassFactory> factory;
        ASSERT_EQ(getClassObject(CLSID_VexilSim, IID_IClassFactory, factory.OutVoid()), S_OK);
        directory.WriteFile("VexilSim.txt", "device 42 Beside\nregister R 0x8 16 RW reset=0x1234\n");
        CComPtr<IVexilFN> server;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IVexilFN, server.OutVoid()), S_OK);
        EXPECT_THAT(GetDevices(server.Get()), ElementsAre(L"42|Beside"));

        directory.WriteFile("VexilSim.txt", "device 42 Beside\nregister R 0x8 0 RW\n");
        CComPtr<IVexilFN> refused;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IVexilFN, refused.OutVoid()), E_INVALIDARG);
        EXPECT_THAT(Narrow(TakeErrorDescription()), HasSubstr("VexilSim.txt, line 2"));
    } // the module is freed after its objects, before the directory
    CoUninitialize();
}

} // namespace
