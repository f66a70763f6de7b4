#include "data/ConfigurationHandler.h"
#include "data/DataContainer.h"
#include "data/Options.h"
#include "data/ResultCodes.h"
#include "platform/Platform.h"
#include "tests/data/RecordTestSupport.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::string HEADER = "Manual editing of this file is prohibited\r\n\r\n";
const std::string GUID1 = "{12345679-9ABC-DEF0-0102-030405060708}"; // TestGuid(1)
const std::string GUID2 = "{1234567A-9ABC-DEF0-0202-030405060708}"; // TestGuid(2)
const std::string LIST = "Vexil2List.txt";
const std::string SELECTIONS = "Vexil2Selections.txt";

class RegisterFiles : public testing::Test
{
protected:
    // Devices and server registers as the server reports them at start-up.
    explicit RegisterFiles(const std::filesystem::path& parent = {}) : dir(parent)
    {
        container.AddDevice(0x1A, "DSP", 1);
        container.AddDevice(-1, "ASIC", 1);
        container.AddRegister(0x1A, 0x10, "A", "f", 32, 0, 3, GUID{});
        container.AddRegister(0x1A, 0x14, "B", "f", 32, 0, 3, GUID{});
        container.AddRegister(0x1A, 0x18, "C", "f", 32, 0, 3, GUID{});
    }

    void AddUserRegisters()
    {
        container.AddRegister(0x1A, 0x2000, "CTRL", "", 32, 1, CRegisterData::USER_OPERATIONS, TestGuid(1));
        container.AddRegister(-1, 0, "N", "", 128, 1, CRegisterData::USER_OPERATIONS, TestGuid(2));
    }

    HRESULT LoadList(const std::string& bytes)
    {
        dir.WriteFile(LIST, bytes);
        return RaisedCode([&] { container.LoadUserRegisters(LIST); }, &detail);
    }

    HRESULT LoadSelections(const std::string& bytes)
    {
        dir.WriteFile(SELECTIONS, bytes);
        return RaisedCode([&] { container.LoadSelections(SELECTIONS); });
    }

    int State(const char* name) const { return container.FindRegisterByName(0x1A, name)->State; }

    // Old files in place, then every save on a disk that is full: each reports its failure and leaves the file
    // it would have replaced byte for byte.
    void WriteOldFiles()
    {
        AddUserRegisters();
        container.FindRegisterByName(0x1A, "A")->State = 2;
        dir.WriteFile(LIST, HEADER + "1A|2000|20|" + GUID1 + "|OLD\r\n");
        dir.WriteFile(SELECTIONS, HEADER + "1A|OLD\r\n");
        dir.WriteFile("Vexil2.ini", "[Options]\r\nColumns=2\r\n[Rig]\r\nDevices=2,\r\n");
    }

    void ExpectEverySaveFailsAndKeepsItsFile()
    {
        const auto files = [this] {
            return dir.ReadFile(LIST) + dir.ReadFile(SELECTIONS) + dir.ReadFile("Vexil2.ini");
        };
        const std::string old = files();
        EXPECT_EQ(RaisedCode([this] { container.SaveSelections(SELECTIONS); }), Vx::E_SELECTION_FILE_UNAVAILABLE);
        EXPECT_EQ(RaisedCode([this] { container.SaveUserRegisters(LIST); }), Vx::E_OPEN_USER_REGISTER_FILE);
        EXPECT_EQ(COptions().Save("Vexil2.ini"), Vx::E_SAVE_OPTIONS);
        CConfigurationHandler handler(nullptr);
        EXPECT_EQ(RaisedCode([&] { handler.SaveConfiguration("Lab", "1,"); }), Vx::E_SAVE_CONFIGURATION);
        EXPECT_FALSE(handler.DeleteConfiguration("Rig"));
        EXPECT_EQ(files(), old);
    }

    CTestDirectory dir;
    CDataContainer container;
    std::string detail; // of the last list load, empty when it raised nothing
};

} // namespace

// User register file

TEST_F(RegisterFiles, UserRegistersAreSavedOneLineEachAndSurviveARoundTripThatAddsNothingTwice)
{
    AddUserRegisters();
    container.SaveUserRegisters(LIST); // a bare name lands in the module directory
    const std::string saved = dir.ReadFile(LIST);
    EXPECT_EQ(saved, HEADER + "1A|2000|20|" + GUID1 + "|CTRL\r\n" + "FFFFFFFF|0|80|" + GUID2 + "|N\r\n");

    container.RemoveUserRegisters();
    container.LoadUserRegisters(LIST);
    container.LoadUserRegisters(LIST);
    container.SaveUserRegisters(LIST);
    EXPECT_EQ(dir.ReadFile(LIST), saved);
    EXPECT_EQ(container.GetRegisterCount(0x1A), 4);
    EXPECT_EQ(container.GetRegister(0x1A, 3).GetOperations(), CRegisterData::USER_OPERATIONS);
}

TEST_F(RegisterFiles, BadUserRegisterLineRaisesItsCodeKeepingEarlierLines)
{
    const std::string bad[] = {
        "1A|1|20|" + GUID2 + "\r\n",                  // ends right after the identifier
        "1A|1|20|" + GUID2 + "X\r\n",                 // 39th character is not "|"
        "1A|1|81|" + GUID2 + "|WIDE\r\n",             // wider than the dialog allows
        "1A|1|20|" + GUID2 + "|" + std::string(221, 'N') + "\r\n", // word over 259 characters
        "1A|1|20|" + GUID2 + "|N" + std::string(16400, ' ') + "\r\n", // line over 16383 characters
        "1A|1|20|{1234567Z-9ABC-DEF0-0102-030405060708}|BAD\r\n",     // not an identifier
    };
    for (const std::string& line : bad)
    {
        container.RemoveUserRegisters();
        const std::string good = "1A|2000|20|" + GUID1 + "|CTRL\r\n";
        EXPECT_EQ(LoadList(HEADER + good + line + "1A|3|20|{00000000-0000-0000-0000-000000000003}|LATER\r\n"),
                  Vx::E_INVALID_REGISTER_LIST_FILE) << line.substr(0, 60);
        EXPECT_EQ(detail, dir.GetFile(LIST) + ", line 4"); // the header takes two lines
        EXPECT_NE(container.FindRegisterByName(0x1A, "CTRL"), nullptr);
        EXPECT_EQ(container.FindRegisterByName(0x1A, "LATER"), nullptr);
    }
    // A line that scans raises the code of what it names.
    container.RemoveUserRegisters();
    EXPECT_EQ(LoadList("1A|1|20|" + GUID1 + "|OK\r\n7|1|20|" + GUID2 + "|NODEVICE\r\n"), Vx::E_INVALID_INDEX);
    EXPECT_NE(container.FindRegisterByName(0x1A, "OK"), nullptr);
    EXPECT_EQ(LoadList("1A|1|20|" + GUID2 + "|OK\r\n"), Vx::E_REGISTER_NAME_EXISTS);
}

TEST_F(RegisterFiles, UserRegisterReaderTakesLinesAtTheLimitsAndLooseHexAndSkipsLinesThatDoNotScan)
{
    const std::string longest(220, 'N');
    const std::string lines = std::string("\x01\xFF|\x80garbage\r\n") + "1A|2000\r\n" + "1A|1|20|\r\n" +
                              "1A|1|0|" + GUID2 + std::string("|NU\0L\r\n", 7) + "0x1a| 0X0|20|" + GUID1 +
                              "|Loose trailing words\r\n1A|2|80|{00000000-0000-0000-0000-000000000003}|" + longest;
    // 16385 bytes in all: the name's last letter comes in a read of its own.
    EXPECT_EQ(LoadList(std::string(16384 - lines.size(), 'g') + "\n" + lines), S_OK);
    ASSERT_EQ(container.GetRegisterCount(0x1A), 6);
    EXPECT_EQ(container.GetRegister(0x1A, 3).GetName(), "NU"); // a NUL ends the line's text
    EXPECT_EQ(container.GetRegister(0x1A, 3).GetWordCount(), 0u);
    EXPECT_EQ(container.GetRegister(0x1A, 4).GetName(), "Loose");
    EXPECT_EQ(container.GetRegister(0x1A, 4).GetAddress(), 0u);
    EXPECT_EQ(container.GetRegister(0x1A, 5).GetName(), longest); // no final line end
    EXPECT_EQ(container.GetRegister(0x1A, 5).GetLength(), 128);
}

// Selection file

TEST_F(RegisterFiles, SelectionFileHoldsOneLinePerSelectedRegisterWhoseNameIsReadUpToABlank)
{
    AddUserRegisters();
    container.AddRegister(0x1A, 0, "B C", "", 8, 0, 3, GUID{});
    container.FindRegisterByName(0x1A, "B C")->State = 2;
    container.FindRegisterByName(-1, "N")->State = 2;
    container.SaveSelections(dir.GetFile(SELECTIONS)); // a full path is used as given
    EXPECT_EQ(dir.ReadFile(SELECTIONS), HEADER + "1A|B C\r\nFFFFFFFF|N\r\n");
    container.ClearStates();
    container.LoadSelections(dir.GetFile(SELECTIONS));
    EXPECT_EQ(State("B C"), 1);
    EXPECT_EQ(State("B"), 2);
    EXPECT_EQ(container.FindRegisterByName(-1, "N")->State, 2);
}

TEST_F(RegisterFiles, SelectionLoadNeedsTheExactHeaderAddsToTheSelectionSkipsUnknownNamesAndStopsAtAnUnknownDevice)
{
    const std::string bad[] = {"", "Manual editing of this file is prohibited\n\r\n1A|A\r\n",
                               "manual editing of this file is prohibited\r\n\r\n1A|A\r\n", "1A|A\r\n"};
    for (const std::string& bytes : bad)
        EXPECT_EQ(LoadSelections(bytes), Vx::E_INVALID_REGISTER_LIST_FILE) << bytes;
    EXPECT_EQ(State("A"), 1);

    container.FindRegisterByName(0x1A, "A")->State = 2;
    EXPECT_EQ(LoadSelections(HEADER + "1A|NOPE\r\n1A|C\r\n7|X\r\n1A|B\r\n"), Vx::E_INVALID_INDEX);
    EXPECT_EQ(State("A"), 2);
    EXPECT_EQ(State("B"), 1);
    EXPECT_EQ(State("C"), 2);

    // Overlong lines and words are skipped whole.
    container.ClearStates();
    const std::string atLimit = "1A|A" + std::string(16379, ' ') + "\n";         // 16383 characters
    const std::string overLimit = std::string(16379, ' ') + "1A|B\r\n";           // 16384 with the CR
    const std::string tailOfLongLine = std::string(16384, ' ') + "1A|C\r\n";      // the tail is no line
    const std::string longName(259, 'L');
    container.AddRegister(0x1A, 0, longName, "", 8, 0, 3, GUID{});
    EXPECT_EQ(LoadSelections(HEADER + atLimit + overLimit + tailOfLongLine + "1A|" + longName + "X\r\n1A|" +
                             longName),
              S_OK);
    EXPECT_EQ(State("A"), 2);
    EXPECT_EQ(State("B"), 1);
    EXPECT_EQ(State("C"), 1);
    EXPECT_EQ(State(longName.c_str()), 2);
}

// A missing list is created empty; a file that cannot be read raises its code and creates nothing; a read-only
// file is not replaced: its code, and its old bytes kept.
TEST_F(RegisterFiles, MissingFilesAreCreatedOrRaiseTheirCode)
{
    container.LoadUserRegisters(LIST);
    EXPECT_TRUE(dir.Exists(LIST));
    const std::string missing = dir.GetFile("missing") + Platform::GetPathSeparator();
    EXPECT_EQ(RaisedCode([&] { container.LoadUserRegisters(missing + LIST); }), Vx::E_USER_REGISTER_FILE_UNAVAILABLE);
    EXPECT_EQ(RaisedCode([&] { container.LoadSelections(SELECTIONS); }), Vx::E_SELECTION_FILE_UNAVAILABLE);
    EXPECT_FALSE(dir.Exists("missing"));
    EXPECT_FALSE(dir.Exists(SELECTIONS));

    dir.WriteFile(LIST, "old");
    std::filesystem::permissions(dir.GetFile(LIST), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(RaisedCode([&] { container.SaveUserRegisters(LIST); }), Vx::E_OPEN_USER_REGISTER_FILE);
    EXPECT_EQ(dir.ReadFile(LIST), "old");
    EXPECT_FALSE(dir.Exists(LIST + ".tmp-new"));
}

TEST_F(RegisterFiles, OnAFullDiskEverySaveFailsAndKeepsItsFile)
{
    WriteOldFiles();
    Platform::SetFileFaults({std::uint64_t{0}, false});
    ExpectEverySaveFailsAndKeepsItsFile();
    Platform::SetFileFaults({});
}

// The small tmpfs that the test run mounts as root, as this program writes paths.
std::filesystem::path FullDiskMount()
{
#ifdef _WIN32
    return std::filesystem::path("Z:" VEXIL_FULL_DISK_DIR);
#else
    return std::filesystem::path(VEXIL_FULL_DISK_DIR);
#endif
}

class RealFullDisk : public RegisterFiles
{
protected:
    RealFullDisk() : RegisterFiles(FullDiskMount()) {}
};

TEST_F(RealFullDisk, EverySaveFailsAndKeepsItsFile)
{
    if (!std::filesystem::exists(FullDiskMount() / ".vexil-tmpfs"))
        GTEST_SKIP() << "needs the small tmpfs that the test run mounts as root";
    const auto fill = [this] {
        std::ofstream filler(dir.GetFile("filler"), std::ios::binary);
        while (filler.put('f') && filler.flush())
        {
        }
    };
    WriteOldFiles();
    // Room for one page: enough for a copy of the ini, not for the profile
    // functions' rewrite of it, which they report as done.
    const std::string ini = dir.ReadFile("Vexil2.ini");
    dir.WriteFile("Vexil2.ini", ini + "[Padding]\r\nText=" + std::string(4000 - ini.size() - 24, 'p') + "\r\n");
    dir.WriteFile("spare", std::string(4096, 's'));
    fill();
    dir.Remove("spare");
    COptions options;
    options.SetConfiguration(std::string(200, 'c'));
    const std::string padded = dir.ReadFile("Vexil2.ini");
    EXPECT_EQ(options.Save("Vexil2.ini"), Vx::E_SAVE_OPTIONS);
    EXPECT_EQ(dir.ReadFile("Vexil2.ini"), padded);

    dir.WriteFile("Vexil2.ini", ini);
    fill();
    ExpectEverySaveFailsAndKeepsItsFile();
}
