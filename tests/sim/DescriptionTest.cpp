// What the simulator serves: the built-in description, description files,
// their errors, and the file beside the DLL.
#include "tests/sim/SimTestSupport.h"

#include "tests/support/TestDirectory.h"

#include "frame/com/BStr.h"

#include <windows.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

class BuiltInDescription : public CSimulatorTest
{
};

TEST_F(BuiltInDescription, HasAtLeastFourDevicesAndAboutTwoHundredRegisters)
{
    const CDeviceList devices = GetDevices(m_server.Get());
    ASSERT_GE(devices.ids.size(), 4u);
    ASSERT_EQ(devices.names.size(), devices.ids.size());
    std::size_t registers = 0;
    for (LONG id : devices.ids)
        registers += GetRegisters(m_server.Get(), id).names.size();
    EXPECT_GE(registers, 180u);
    EXPECT_LE(registers, 250u);
}

TEST_F(BuiltInDescription, CoversEveryLengthAndEveryOperationCombination)
{
    std::set<LONG> lengths, combinations;
    for (LONG id : GetDevices(m_server.Get()).ids)
    {
        const CRegisterList list = GetRegisters(m_server.Get(), id);
        lengths.insert(list.lengths.begin(), list.lengths.end());
        combinations.insert(list.operations.begin(), list.operations.end());
    }
    for (LONG length : {1, 8, 16, 32, 33, 40, 64, 128})
        EXPECT_TRUE(lengths.contains(length)) << length;
    for (LONG operations = 0; operations < 16; ++operations)
        EXPECT_TRUE(combinations.contains(operations)) << operations;
}

TEST_F(BuiltInDescription, ExercisesTheControlsTree)
{
    std::map<std::wstring, int> deviceCountByName;
    std::size_t deepest = 0;
    int withoutUserRegisters = 0;
    for (LONG id : GetDevices(m_server.Get()).ids)
    {
        const CRegisterList list = GetRegisters(m_server.Get(), id);
        withoutUserRegisters += list.userFlag == 0;
        for (const std::wstring& name : std::set<std::wstring>(list.names.begin(), list.names.end()))
            ++deviceCountByName[name];
        for (const std::wstring& path : list.paths)
            deepest = std::max(deepest, path.empty() ? 0 : static_cast<std::size_t>(std::count(path.begin(), path.end(), L'/') + 1));
    }
    EXPECT_EQ(deepest, 3u);
    EXPECT_EQ(withoutUserRegisters, 1);
    EXPECT_GE(deviceCountByName[L"CTRL"], 2);
}

TEST_F(BuiltInDescription, RegistersOfADeviceHaveDistinctAddressesAndNames)
{
    for (LONG id : GetDevices(m_server.Get()).ids)
    {
        const CRegisterList list = GetRegisters(m_server.Get(), id);
        EXPECT_EQ(std::set<LONG>(list.addresses.begin(), list.addresses.end()).size(), list.addresses.size()) << id;
        EXPECT_EQ(std::set<std::wstring>(list.names.begin(), list.names.end()).size(), list.names.size()) << id;
    }
}

TEST_F(BuiltInDescription, UnknownDeviceHasNoRegisters)
{
    CVariant names, addresses, lengths, operations, paths, numbers, extras;
    LONG flag = -1;
    EXPECT_EQ(m_server->GetRegisters(99, names.Out(), addresses.Out(), lengths.Out(), operations.Out(), paths.Out(),
                                     numbers.Out(), extras.Out(), &flag),
              kDeviceNotSupported);
    EXPECT_EQ(names.GetType(), VT_EMPTY);
    EXPECT_EQ(flag, 0);
}

class DescriptionFile : public CSimulatorTest
{
};

TEST_F(DescriptionFile, ReplacesDevicesRegistersAndMemory)
{
    const CRegisterEntry ctrl = FindRegister(2, L"CTRL");
    Write(2, ctrl.address, 32, {7}, MakeFullMask(32));
    ASSERT_EQ(LoadDescriptionText("# a small board\n"
                                  "device 7 \"Test board\" user=1\n"
                                  "  register CFG 0x20 40 RWC reset=0xAB00000001 path=\"Top/Sub one\"\n"
                                  "  register EVT 0x24 8 1 behaviour=read-to-clear:100\n"
                                  "device -2 Other\n"
                                  "  register CTRL 0x0 32 RW  # same address as elsewhere\n"),
              S_OK);
    const CDeviceList devices = GetDevices(m_server.Get());
    EXPECT_THAT(devices.ids, ElementsAre(7, -2));
    EXPECT_THAT(devices.names, ElementsAre(L"Test board", L"Other"));
    const CRegisterList board = GetRegisters(m_server.Get(), 7);
    EXPECT_THAT(board.names, ElementsAre(L"CFG", L"EVT"));
    EXPECT_THAT(board.paths, ElementsAre(L"Top/Sub one", L""));
    EXPECT_THAT(board.lengths, ElementsAre(40, 8));
    EXPECT_THAT(board.operations, ElementsAre(0x7, 0x1));
    EXPECT_EQ(board.userFlag, 1);
    EXPECT_EQ(GetRegisters(m_server.Get(), -2).userFlag, 0);
    EXPECT_THAT(Read(7, 0x20, 40), ElementsAre(1, 0xAB));
    EXPECT_THAT(Read(-2, 0, 32), ElementsAre(0));
    CVariant value;
    EXPECT_EQ(TryRead(2, ctrl.address, 32, MakeFullMask(32), value), kDeviceNotSupported);
}

TEST_F(DescriptionFile, MalformedFileIsRefusedNamingTheLineAndTheOldOneStays)
{
    const HRESULT hr = LoadDescriptionText("device 7 Board\n"
                                           "register A 0x0 32 RW\n"
                                           "register B 0x4 129 RW\n");
    EXPECT_EQ(hr, E_INVALIDARG);
    const std::wstring description = TakeErrorDescription();
    EXPECT_THAT(Narrow(description), HasSubstr("line 3"));
    EXPECT_THAT(Narrow(description), HasSubstr("129"));
    EXPECT_EQ(GetDevices(m_server.Get()).ids.front(), 1);
}

struct CMalformedCase
{
    const char* name;
    const char* text;
    const char* line;
    const char* problem;
};

void PrintTo(const CMalformedCase& test, std::ostream* out) { *out << test.name; }

class MalformedDescription : public CSimulatorTest, public testing::WithParamInterface<CMalformedCase>
{
};

TEST_P(MalformedDescription, IsRefusedWithTheLineAndTheProblem)
{
    EXPECT_EQ(LoadDescriptionText(GetParam().text), E_INVALIDARG);
    const std::string description = Narrow(TakeErrorDescription());
    EXPECT_THAT(description, HasSubstr(GetParam().line));
    EXPECT_THAT(description, HasSubstr(GetParam().problem));
}

INSTANTIATE_TEST_SUITE_P(
    EachProblem, MalformedDescription,
    testing::Values(CMalformedCase{"RegisterBeforeDevice", "register A 0 32 R\n", "line 1", "before the first device"},
                    CMalformedCase{"DeviceIdTwice", "device 1 A\n\ndevice 1 B\n", "line 3", "used twice"},
                    CMalformedCase{"UnknownOperationLetter", "device 1 A\nregister X 0 32 RX\n", "line 2", "RX"},
                    CMalformedCase{"OperationLetterTwice", "device 1 A\nregister X 0 32 RR\n", "line 2", "twice"},
                    CMalformedCase{"ResetWiderThanLength", "device 1 A\nregister X 0 8 RW reset=0x100\n", "line 2", "does not fit"},
                    CMalformedCase{"AddressTwice", "device 1 A\nregister X 0 8 RW\nregister Y 0 8 RW\n", "line 3", "address"},
                    CMalformedCase{"NameTwice", "device 1 A\nregister X 0 8 RW\nregister X 4 8 RW\n", "line 3", "named X"},
                    CMalformedCase{"AddressBeyond32Bits", "device 1 A\nregister X 0x1FFFFFFFF 8 RW\n", "line 2", "32-bit"},
                    CMalformedCase{"UnknownBehaviour", "device 1 A\nregister X 0 8 RW behaviour=sticky\n", "line 2", "sticky"},
                    CMalformedCase{"UnknownSetting", "device 1 A\nregister X 0 8 RW colour=red\n", "line 2", "colour=red"},
                    CMalformedCase{"OpenQuote", "device 1 \"A\nregister X 0 8 RW\n", "line 1", "quote"},
                    CMalformedCase{"UserFlagNotZeroOrOne", "device 1 A user=2\n", "line 1", "user=2"},
                    CMalformedCase{"MissingOperations", "device 1 A\nregister X 0 8\n", "line 2", "needs"},
                    CMalformedCase{"NameWithBlank", "device 1 A\nregister \"X Y\" 0 8 RW\n", "line 2", "blank"},
                    CMalformedCase{"NameWithBar", "device 1 A\nregister X|Y 0 8 RW\n", "line 2", "X|Y"},
                    CMalformedCase{"UnknownStatement", "board 1 A\n", "line 1", "board"},
                    CMalformedCase{"FieldBeforeRegister", "device 1 A\nfield F 0\n", "line 2", "before the first register"},
                    CMalformedCase{"FieldBeyondLength", "device 1 A\nregister X 0 8 RW\nfield F 8:4\n", "line 3", "8 bits"},
                    CMalformedCase{"FieldBitsReversed", "device 1 A\nregister X 0 8 RW\nfield F 2:4\n", "line 3", "2:4"},
                    CMalformedCase{"FieldNameTwice", "device 1 A\nregister X 0 8 RW\nfield F 0\nfield F 1\n", "line 4", "field named F"},
                    CMalformedCase{"FieldAccessUnknown", "device 1 A\nregister X 0 8 RW\nfield F 0 access=rw\n", "line 3", "access=rw"},
                    CMalformedCase{"FieldReadActionUnknown", "device 1 A\nregister X 0 8 RW\nfield F 0 read=pop\n", "line 3", "read=pop"},
                    CMalformedCase{"ValueBeforeField", "device 1 A\nregister X 0 8 RW\nvalue 1 ONE\n", "line 3", "before the first field"},
                    CMalformedCase{"ValueWiderThanField", "device 1 A\nregister X 0 8 RW\nfield F 1:0\nvalue 4 FOUR\n", "line 4", "2 bits"},
                    CMalformedCase{"ValueNotANumber", "device 1 A\nregister X 0 8 RW\nfield F 1:0\nvalue 0y1 ODD\n", "line 4", "0y1"}),
    [](const testing::TestParamInfo<CMalformedCase>& test) { return std::string(test.param.name); });

// Thousands of registers in a device, then one more line: a repeated address
// or name is found however many came before, and only within its device.
struct CLargeDeviceCase
{
    const char* name;
    const char* secondDevice; // a device statement before the last line, or empty
    const char* lastLine;     // after "register R0 0 32 RW" ... "register R4999 19996 32 RW"
    const char* problem;      // empty: the description is served
};

void PrintTo(const CLargeDeviceCase& test, std::ostream* out) { *out << test.name; }

class LargeDevice : public CSimulatorTest, public testing::WithParamInterface<CLargeDeviceCase>
{
};

TEST_P(LargeDevice, RepeatsAreFoundAmongThousandsOfRegisters)
{
    constexpr int REGISTERS = 5000;
    std::string text = "device 1 Big\n";
    for (int r = 0; r < REGISTERS; ++r)
        text += "register R" + std::to_string(r) + " " + std::to_string(4 * r) + " 32 RW path=B" +
                std::to_string(r / 100) + "\n";
    text += GetParam().secondDevice;
    text += GetParam().lastLine;
    const HRESULT hr = LoadDescriptionText(text);
    if (*GetParam().problem == '\0')
    {
        ASSERT_EQ(hr, S_OK) << Narrow(TakeErrorDescription());
        const std::size_t registers = GetRegisters(m_server.Get(), 1).names.size();
        EXPECT_EQ(registers, *GetParam().secondDevice != '\0' ? REGISTERS : REGISTERS + 1);
        return;
    }
    ASSERT_EQ(hr, E_INVALIDARG);
    const std::string description = Narrow(TakeErrorDescription());
    const std::string lastLine = "line " + std::to_string(REGISTERS + (*GetParam().secondDevice != '\0' ? 3 : 2));
    EXPECT_THAT(description, HasSubstr(lastLine));
    EXPECT_THAT(description, HasSubstr(GetParam().problem));
}

INSTANTIATE_TEST_SUITE_P(
    EachRepeat, LargeDevice,
    testing::Values(CLargeDeviceCase{"FirstAddressAgain", "", "register X 0 32 RW\n", "register R0 at address 0"},
                    CLargeDeviceCase{"LastAddressAgain", "", "register X 19996 32 RW\n", "register R4999 at address"},
                    CLargeDeviceCase{"MiddleNameAgain", "", "register R2500 0x10000000 32 RW\n", "named R2500"},
                    CLargeDeviceCase{"NewNameAndAddress", "", "register X 20000 32 RW\n", ""},
                    CLargeDeviceCase{"SameInAnotherDevice", "device 2 Other\n", "register R0 0 32 RW\n", ""}),
    [](const testing::TestParamInfo<CLargeDeviceCase>& test) { return std::string(test.param.name); });

TEST_F(DescriptionFile, MissingFileIsRefused)
{
    EXPECT_EQ(m_control->LoadDescription(CBStr(L"Z:\\no\\such\\description.txt").Get()),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_THAT(Narrow(TakeErrorDescription()), HasSubstr("description.txt"));
}

TEST_F(DescriptionFile, BuiltInDescriptionCanBeRestored)
{
    ASSERT_EQ(LoadDescriptionText("device 5 Only\n"), S_OK);
    ASSERT_EQ(m_control->LoadBuiltInDescription(), S_OK);
    EXPECT_GE(GetDevices(m_server.Get()).ids.size(), 4u);
}

// A copy of the DLL in a directory of the test's own, loaded without the
// registry, so that its "VexilSim.txt" concerns no one else.
class DescriptionBesideTheDll : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        m_initialized = true;
        std::filesystem::copy_file(GetBuiltDllPath(), std::filesystem::path(m_directory.GetFile("VexilSim.dll")));
    }
    void TearDown() override
    {
        m_module.reset();
        if (m_initialized)
            CoUninitialize();
    }

    HRESULT Create(CComPtr<IVexilFN>& server)
    {
        m_module = std::make_unique<CLibrary>();
        if (!m_module->Load(m_directory.GetFile("VexilSim.dll")))
            return HRESULT_FROM_WIN32(GetLastError());
        using CGetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        CComPtr<IClassFactory> factory;
        const HRESULT hr = m_module->Find<CGetClassObject>("DllGetClassObject")(CLSID_VexilSim, IID_IClassFactory,
                                                                                factory.OutVoid());
        return FAILED(hr) ? hr : factory->CreateInstance(nullptr, IID_IVexilFN, server.OutVoid());
    }

    CTestDirectory m_directory;
    bool m_initialized = false;
    std::unique_ptr<CLibrary> m_module; // freed after the test's objects, before the directory
};

TEST_F(DescriptionBesideTheDll, IsServedFromCreation)
{
    m_directory.WriteFile("VexilSim.txt", "device 42 Beside\nregister R 0x8 16 RW reset=0x1234\n");
    CComPtr<IVexilFN> server;
    ASSERT_EQ(Create(server), S_OK);
    EXPECT_THAT(GetDevices(server.Get()).ids, ElementsAre(42));
    CVariant value;
    ASSERT_EQ(server->ReadRegister(42, 8, 16, value.Out(), MakeFullMask(16).Get(), 0), S_OK);
    EXPECT_THAT(GetI4Elements(value.Get()), ElementsAre(0x1234));
}

TEST_F(DescriptionBesideTheDll, MalformedFileFailsTheCreationNamingTheLine)
{
    m_directory.WriteFile("VexilSim.txt", "device 42 Beside\nregister R 0x8 0 RW\n");
    CComPtr<IVexilFN> server;
    EXPECT_EQ(Create(server), E_INVALIDARG);
    EXPECT_THAT(Narrow(TakeErrorDescription()), HasSubstr("VexilSim.txt, line 2"));
}

} // namespace
