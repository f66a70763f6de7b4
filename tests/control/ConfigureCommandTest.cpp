// The Configure button of the control: the backup taken before
// the Configure dialog, the exact restore on Cancel, on OK the new list and
// user registers, and each step that can fail.
#include "tests/control/ControlTestSupport.h"
#include "tests/dialogs/DialogDriver.h"

#include "control/TempPath.h"

#include <filesystem>

using namespace DialogDriver;

namespace {

const Strings BEFORE = {"CTRL", "MODE", "STATUS"};

class ConfigureCommand : public ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        std::filesystem::create_directory(m_directory.GetFile("temp"));
        m_previousTempPath = TempPath::Replace([this](DWORD size, char* buffer) -> DWORD {
            if (m_tempPath.empty() || m_tempPath.size() >= size)
                return 0;
            m_tempPath.copy(buffer, m_tempPath.size());
            buffer[m_tempPath.size()] = '\0';
            return static_cast<DWORD>(m_tempPath.size());
        });
        StartConfigured();
    }
    void StartConfigured()
    {
        Remember("RecursiveSelect=no\r\n", BEFORE);
        Start();
    }
    void TearDown() override
    {
        TempPath::Replace(m_previousTempPath);
        ControlTest::TearDown();
    }

    // Runs the Configure command with `act` working the dialog; true when it opened.
    bool Configure(const std::function<void(HWND dialog, HWND tree)>& act)
    {
        bool opened = false;
        Drive(
            L"Configure",
            [&](HWND dialog) {
                opened = true;
                act(dialog, GetDlgItem(dialog, IDC_CFG_TREE));
            },
            [this] {
                Click(IDC_CONFIGURE);
                return 0;
            });
        return opened;
    }
    // Adds the user register `name` to the Controller and checks it.
    static void AddCheckedRegister(HWND dialog, HWND tree, const char* name = "BENCHREG", const char* address = "7f0")
    {
        Retype(GetDlgItem(dialog, IDC_CFG_NAME), name);
        Retype(GetDlgItem(dialog, IDC_CFG_ADDRESS), address);
        Retype(GetDlgItem(dialog, IDC_CFG_SIZE), "16");
        DialogDriver::Click(dialog, IDC_CFG_REGISTER_ADD);
        ClickImage(tree, Node(tree, {"Controller", (std::string("* ") + name).c_str()}));
    }
    std::vector<std::filesystem::path> TemporaryFiles() const
    {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(m_directory.GetFile("temp")))
            if (entry.path().filename().string().starts_with("reg"))
                files.push_back(entry.path());
        return files;
    }

    std::string m_tempPath = m_directory.GetFile("temp\\");
    TempPath::CGet m_previousTempPath;
};

TEST_F(ConfigureCommand, CancelPutsBackRegistersSelectionsSettingsAndSelectedRowsAndOkKeepsTheChanges)
{
    SelectRows({0, 2});
    std::string settings;
    ASSERT_TRUE(Configure([this, &settings](HWND dialog, HWND tree) {
        settings = m_directory.ReadFile("Vexil2.ini");
        EXPECT_EQ(TemporaryFiles().size(), 3U);
        AddCheckedRegister(dialog, tree);
        ClickImage(tree, Node(tree, {"Controller", "System", "Control", "CTRL"}));
        // A new configuration, through the editor over the dialog.
        Drive(
            L"Configuration Editor",
            [](HWND editor) {
                Retype(GetDlgItem(editor, IDC_CED_NAME), "Bench");
                SendMessageW(GetDlgItem(editor, IDC_CED_DEVICES), LB_SETSEL, TRUE, 0);
                DialogDriver::Click(editor, IDOK);
            },
            [dialog] {
                DialogDriver::Click(dialog, IDC_CFG_CONFIGURATION_ADD);
                return 0;
            });
        EXPECT_NE(m_directory.ReadFile("Vexil2.ini").find("[Bench]"), std::string::npos);
        DialogDriver::Click(dialog, IDCANCEL);
    }));
    EXPECT_EQ(m_directory.ReadFile("Vexil2.ini"), settings);
    EXPECT_EQ(Column(1), BEFORE);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_TRUE(TemporaryFiles().empty());

    // OK keeps the changes, shows the new list and saves the user registers.
    SelectRows({1});
    Configure([](HWND dialog, HWND tree) {
        EXPECT_EQ(Node(tree, {"Controller", "* BENCHREG"}), nullptr) << "gone from the container after Cancel";
        AddCheckedRegister(dialog, tree);
        DialogDriver::Click(dialog, IDOK);
    });
    EXPECT_EQ(Column(1), (Strings{"CTRL", "MODE", "STATUS", "BENCHREG"}));
    EXPECT_EQ(Status(0), "Ready");
    EXPECT_NE(m_directory.ReadFile("Vexil2List.txt").find("|BENCHREG\r\n"), std::string::npos);
    EXPECT_TRUE(m_errors->GetShown().empty());

    // The options cannot be saved once the dialog is done: the list and the
    // user registers still follow the dialog, and no row points at the
    // register it deleted.
    Configure([this](HWND dialog, HWND tree) {
        ClickText(tree, Node(tree, {"Controller", "* BENCHREG"}));
        DialogDriver::Click(dialog, IDC_CFG_REGISTER_DELETE);
        AddCheckedRegister(dialog, tree, "NEWREG", "7f4");
        std::filesystem::permissions(m_directory.GetFile("Vexil2.ini"), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        DialogDriver::Click(dialog, IDOK);
    });
    EXPECT_EQ(Message(), "Failed to save options to the ini file.");
    EXPECT_EQ(Column(1), (Strings{"CTRL", "MODE", "STATUS", "NEWREG"}));
    const std::string list = m_directory.ReadFile("Vexil2List.txt");
    EXPECT_NE(list.find("|NEWREG\r\n"), std::string::npos);
    EXPECT_EQ(list.find("BENCHREG"), std::string::npos);
    std::filesystem::permissions(m_directory.GetFile("Vexil2.ini"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

// A step that fails is reported; the command ends when it is its own step
// and goes on after a step of the data container.
TEST_F(ConfigureCommand, EachFailingStepIsReported)
{
    struct CCase
    {
        const char* name;
        std::function<void()> before;
        std::function<void(HWND dialog, HWND tree)> act; // empty: the dialog must not open
        const char* message;
        Strings registers;
        std::vector<int> selected;
    };
    const CCase cases[] = {
        {"NoTemporaryDirectory", [this] { m_tempPath.clear(); }, {}, "Failed to get temporary path name.", BEFORE,
         {0, 2}},
        {"NoTemporaryFileName", [this] { m_tempPath = m_directory.GetFile("nowhere\\"); }, {},
         "Failed to get temporary file name.", BEFORE, {0, 2}},
        {"OptionsNotSavedFirst",
         [this] {
             m_directory.Remove("Vexil2.ini");
             std::filesystem::create_directory(m_directory.GetFile("Vexil2.ini"));
         },
         {}, "Failed to save options to the ini file.", BEFORE, {0, 2}},
        {"UserRegistersNotSavedAfterOk",
         [this] {
             m_directory.Remove("Vexil2List.txt");
             std::filesystem::create_directory(m_directory.GetFile("Vexil2List.txt"));
         },
         [](HWND dialog, HWND tree) {
             AddCheckedRegister(dialog, tree);
             DialogDriver::Click(dialog, IDOK);
         },
         "Failed to open file for user added registers", {"CTRL", "MODE", "STATUS", "BENCHREG"}, {}},
        // The backup of the user registers was changed meanwhile: its register
        // is refused and the rest of the backup is still put back.
        {"RefusedRegisterOnCancel", [] {},
         [this](HWND dialog, HWND) {
             for (const auto& file : TemporaryFiles())
                 if (m_directory.ReadFile(file.string()) == SELECTION_HEADER)
                     m_directory.WriteFile(file.string(),
                                           SELECTION_HEADER + "1|7F0|10|{12345678-1234-1234-1234-123456789ABC}|CTRL\r\n");
             DialogDriver::Click(dialog, IDCANCEL);
         },
         "Register adding/editing failed, register with this name already exists.", BEFORE, {0, 2}},
    };
    for (const CCase& test : cases)
    {
        SCOPED_TRACE(test.name);
        SelectRows({0, 2});
        const std::size_t reports = m_errors->GetShown().size();
        test.before();
        EXPECT_EQ(Configure(test.act ? test.act : [](HWND, HWND) {}), static_cast<bool>(test.act));
        ASSERT_EQ(m_errors->GetShown().size(), reports + 1);
        EXPECT_EQ(Message().substr(0, Message().find('\n')), test.message);
        EXPECT_EQ(Column(1), test.registers);
        EXPECT_EQ(SelectedRows(), test.selected);
        EXPECT_TRUE(TemporaryFiles().empty());
        Stop();
        m_tempPath = m_directory.GetFile("temp\\");
        m_directory.Remove("Vexil2.ini");
        m_directory.Remove("Vexil2List.txt");
        StartConfigured();
    }
}

} // namespace
