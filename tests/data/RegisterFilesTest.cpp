#include "data/DataContainer.h"

#include "data/ResultCodes.h"
#include "platform/Platform.h"
#include "tests/data/RecordTestSupport.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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
    static void AddServerPart(CDataContainer& container)
    {
        container.AddDevice(0x1A, "DSP", 1);
        container.AddDevice(-1, "ASIC", 1);
        container.AddRegister(0x1A, 0x10, "A", "f", 32, 0, 3, GUID{});
        container.AddRegister(0x1A, 0x14, "B", "f", 32, 0, 3, GUID{});
        container.AddRegister(0x1A, 0x18, "C", "f", 32, 0, 3, GUID{});
    }

    RegisterFiles() { AddServerPart(container); }

    void AddUserRegisters()
    {
        container.AddRegister(0x1A, 0x2000, "CTRL", "", 32, 1, CRegisterData::USER_OPERATIONS, TestGuid(1));
        container.AddRegister(-1, 0, "N", "", 128, 1, CRegisterData::USER_OPERATIONS, TestGuid(2));
    }

    HRESULT LoadList(const std::string& bytes)
    {
        dir.WriteFile(LIST, bytes);
        return RaisedCode([&] { container.LoadUserRegisters(LIST); });
    }

    HRESULT LoadSelections(const std::string& bytes)
    {
        dir.WriteFile(SELECTIONS, bytes);
        return RaisedCode([&] { container.LoadSelections(SELECTIONS); });
    }

    int State(const char* name) const { return container.FindRegisterByName(0x1A, name)->State; }

    CTestDirectory dir;
    CDataContainer container;
};

} // namespace

// User register file

TEST_F(RegisterFiles, UserRegistersAreSavedOneLineEachAndSurviveARoundTripThatAddsNothingTwice)
{
    AddUserRegisters();
    container.SaveUserRegisters(LIST); // a bare name lands in the module directory
    EXPECT_EQ(dir.ReadFile(LIST), HEADER + "1A|2000|20|" + GUID1 + "|CTRL\r\n" + "FFFFFFFF|0|80|" + GUID2 + "|N\r\n");

    CDataContainer restored;
    AddServerPart(restored);
    restored.LoadUserRegisters(LIST);
    restored.LoadUserRegisters(LIST);
    ASSERT_EQ(restored.GetRegisterCount(0x1A), 4);
    ASSERT_EQ(restored.GetRegisterCount(-1), 1);
    const CRegisterData& ctrl = restored.GetRegister(0x1A, 3);
    EXPECT_TRUE(SameGuid(ctrl.GetId(), TestGuid(1)));
    EXPECT_EQ(ctrl.GetName(), "CTRL");
    EXPECT_EQ(ctrl.GetAddress(), 0x2000u);
    EXPECT_EQ(ctrl.GetLength(), 32);
    EXPECT_EQ(ctrl.GetOperations(), 0x3FFFu);
    EXPECT_NE(ctrl.GetUserAdded(), 0);
    EXPECT_EQ(restored.GetRegister(-1, 0).GetLength(), 128);
}

TEST_F(RegisterFiles, MissingUserRegisterFileIsCreatedEmpty)
{
    container.LoadUserRegisters(LIST);
    EXPECT_TRUE(dir.Exists(LIST));
    EXPECT_EQ(dir.ReadFile(LIST), "");
    EXPECT_EQ(container.GetRegisterCount(0x1A), 3);
}

TEST_F(RegisterFiles, BadUserRegisterLineRaisesInvalidListFileKeepingEarlierLines)
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
        dir.WriteFile(LIST, HEADER + good + line + "1A|3|20|{00000000-0000-0000-0000-000000000003}|LATER\r\n");
        try
        {
            container.LoadUserRegisters(LIST);
            ADD_FAILURE() << "accepted " << line.substr(0, 60);
        }
        catch (const CResultError& error)
        {
            EXPECT_EQ(error.GetCode(), Vx::E_INVALID_REGISTER_LIST_FILE) << line.substr(0, 60);
            EXPECT_EQ(error.GetDetail(), dir.GetFile(LIST) + ", line 4"); // the header takes two lines
        }
        EXPECT_NE(container.FindRegisterByName(0x1A, "CTRL"), nullptr);
        EXPECT_EQ(container.FindRegisterByName(0x1A, "LATER"), nullptr);
    }
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

TEST_F(RegisterFiles, UserRegisterLoadRaisesTheCodeOfWhatTheLineNames)
{
    EXPECT_EQ(LoadList("1A|1|20|" + GUID1 + "|OK\r\n7|1|20|" + GUID2 + "|NODEVICE\r\n"), Vx::E_INVALID_INDEX);
    EXPECT_NE(container.FindRegisterByName(0x1A, "OK"), nullptr);
    EXPECT_EQ(LoadList("1A|1|20|" + GUID2 + "|OK\r\n"), Vx::E_REGISTER_NAME_EXISTS);
}

// Selection file

TEST_F(RegisterFiles, SelectionFileHoldsOneLinePerSelectedRegisterWhoseNameIsReadUpToABlank)
{
    AddUserRegisters();
    container.AddRegister(0x1A, 0, "B C", "", 8, 0, 3, GUID{});
    container.FindRegisterByName(0x1A, "B C")->State = 2;
    container.FindRegisterByName(-1, "N")->State = 2;
    container.SaveSelections(SELECTIONS);
    EXPECT_EQ(dir.ReadFile(SELECTIONS), HEADER + "1A|B C\r\nFFFFFFFF|N\r\n");
    container.ClearStates();
    container.LoadSelections(SELECTIONS);
    EXPECT_EQ(State("B C"), 1);
    EXPECT_EQ(State("B"), 2);
    EXPECT_EQ(container.FindRegisterByName(-1, "N")->State, 2);
}

TEST_F(RegisterFiles, SelectionFileWithoutTheExactHeaderLineIsRefused)
{
    const std::string bad[] = {"", "Manual editing of this file is prohibited\n\r\n1A|A\r\n",
                               "manual editing of this file is prohibited\r\n\r\n1A|A\r\n", "1A|A\r\n"};
    for (const std::string& bytes : bad)
        EXPECT_EQ(LoadSelections(bytes), Vx::E_INVALID_REGISTER_LIST_FILE) << bytes;
    EXPECT_EQ(State("A"), 1);
}

TEST_F(RegisterFiles, SelectionLoadAddsToTheSelectionAndStopsAtAnUnknownDevice)
{
    container.FindRegisterByName(0x1A, "A")->State = 2;
    EXPECT_EQ(LoadSelections(HEADER + "1A|NOPE\r\n1A|C\r\n7|X\r\n1A|B\r\n"), Vx::E_INVALID_INDEX);
    EXPECT_EQ(State("A"), 2);
    EXPECT_EQ(State("B"), 1);
    EXPECT_EQ(State("C"), 2);
}

TEST_F(RegisterFiles, SelectionLoadSkipsOverlongLinesAndWordsWhole)
{
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

// A file that cannot be read or written: the operation raises its code,
// an old file keeps its bytes and nothing is left beside it.
TEST_F(RegisterFiles, FileThatCannotBeUsedRaisesItsCodeAndKeepsTheOldFile)
{
    enum Place { MISSING_DIRECTORY, DIRECTORY_IN_PLACE, READ_ONLY_FILE, ABSENT };
    using Run = std::function<void(CDataContainer&, const std::string&)>;
    const Run loadList = [](CDataContainer& c, const std::string& path) { c.LoadUserRegisters(path); };
    const Run saveList = [](CDataContainer& c, const std::string& path) { c.SaveUserRegisters(path); };
    const Run loadSelections = [](CDataContainer& c, const std::string& path) { c.LoadSelections(path); };
    const Run saveSelections = [](CDataContainer& c, const std::string& path) { c.SaveSelections(path); };
    const HRESULT listUnavailable = Vx::E_USER_REGISTER_FILE_UNAVAILABLE;
    const struct
    {
        const char* name;
        const Run& run;
        const std::string& file;
        Place place;
        HRESULT code;
    } rows[] = {
        {"list read, missing directory", loadList, LIST, MISSING_DIRECTORY, listUnavailable},
        {"list read, directory", loadList, LIST, DIRECTORY_IN_PLACE, listUnavailable},
        {"list saved, read-only", saveList, LIST, READ_ONLY_FILE, Vx::E_OPEN_USER_REGISTER_FILE},
        {"selections read, absent", loadSelections, SELECTIONS, ABSENT, Vx::E_SELECTION_FILE_UNAVAILABLE},
        {"selections saved, missing directory", saveSelections, SELECTIONS, MISSING_DIRECTORY,
         Vx::E_SELECTION_FILE_UNAVAILABLE},
    };
    AddUserRegisters();
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        namespace fs = std::filesystem;
        CTestDirectory place;
        std::string path = row.file;
        if (row.place == MISSING_DIRECTORY)
            path = place.GetFile("missing") + Platform::GetPathSeparator() + row.file;
        if (row.place == DIRECTORY_IN_PLACE)
            fs::create_directory(place.GetFile(row.file));
        if (row.place == READ_ONLY_FILE)
        {
            place.WriteFile(row.file, "old\r\ncontent");
            fs::permissions(place.GetFile(row.file), fs::perms::owner_write | fs::perms::group_write |
                            fs::perms::others_write, fs::perm_options::remove);
        }
        EXPECT_EQ(RaisedCode([&] { row.run(container, path); }), row.code);
        EXPECT_TRUE(row.place != READ_ONLY_FILE || place.ReadFile(row.file) == "old\r\ncontent");
        const fs::directory_iterator entries(place.GetPath());
        const bool empty = row.place == ABSENT || row.place == MISSING_DIRECTORY;
        EXPECT_EQ(std::distance(begin(entries), end(entries)), empty ? 0 : 1);
    }
}

TEST_F(RegisterFiles, FullPathIsUsedAsGiven)
{
    const std::string sub = dir.GetFile("sub");
    std::filesystem::create_directory(sub);
    const std::string path = sub + Platform::GetPathSeparator() + "chosen.txt";
    container.FindRegisterByName(0x1A, "A")->State = 2;
    container.SaveSelections(path);
    EXPECT_FALSE(dir.Exists("chosen.txt"));
    EXPECT_EQ(dir.ReadFile("sub/chosen.txt"), HEADER + "1A|A\r\n");
}
