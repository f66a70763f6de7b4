// The Configure button of the control: the backup taken before the dialog,
// the exact restore on Cancel, and on OK the new list and user registers.
#include "tests/control/ControlTestSupport.h"
#include "tests/dialogs/DialogDriver.h"

#include "control/TempPath.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <filesystem>

using namespace DialogDriver;

namespace {

const std::string SETTINGS = "[Options]\r\nRememberConfiguration=yes\r\nRecursiveSelect=no\r\n";
const std::string SELECTION =
    "Manual editing of this file is prohibited\r\n\r\n1|CTRL\r\n1|MODE\r\n1|STATUS\r\n";

class ConfigureCommand : public ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        std::filesystem::create_directory(m_temporary);
        m_previousTempPath = TempPath::Replace([this](DWORD size, char* buffer) -> DWORD {
            const std::string path = m_directory.GetFile("temp\\");
            if (m_noTempPath || path.size() >= size)
                return 0;
            path.copy(buffer, path.size());
            buffer[path.size()] = '\0';
            return static_cast<DWORD>(path.size());
        });
        WriteFile("Vexil2.ini", SETTINGS);
        WriteFile("Vexil2Selections.txt", SELECTION);
        Start();
    }
    void TearDown() override
    {
        TempPath::Replace(m_previousTempPath);
        ControlTest::TearDown();
    }

    // Runs the Configure command with `act` working the dialog.
    void Configure(const std::function<void(HWND dialog, HWND tree)>& act)
    {
        Drive(L"Configure", [&](HWND dialog) { act(dialog, GetDlgItem(dialog, IDC_CFG_TREE)); },
              [this] {
                  Click(IDC_CONFIGURE);
                  return 0;
              });
    }
    // Adds the user register BENCHREG to the Controller and checks it.
    static void AddCheckedRegister(HWND dialog, HWND tree)
    {
        Retype(GetDlgItem(dialog, IDC_CFG_NAME), "BENCHREG");
        Retype(GetDlgItem(dialog, IDC_CFG_ADDRESS), "7f0");
        Retype(GetDlgItem(dialog, IDC_CFG_SIZE), "16");
        DialogDriver::Click(dialog, IDC_CFG_REGISTER_ADD);
        ClickImage(tree, Node(tree, {"Controller", "* BENCHREG"}));
    }
    std::vector<std::string> Registers() const
    {
        std::vector<std::string> names;
        for (int row = 0; row < RowCount(); ++row)
            names.push_back(Cell(row, 1));
        return names;
    }
    std::vector<int> SelectedRows() const
    {
        std::vector<int> rows;
        for (int row = -1; (row = ListView_GetNextItem(List(), row, LVNI_SELECTED)) >= 0;)
            rows.push_back(row);
        return rows;
    }
    std::size_t TemporaryFileCount() const
    {
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(m_temporary))
            count += entry.path().filename().string().starts_with("reg") ? 1 : 0;
        return count;
    }

    std::filesystem::path m_temporary = std::filesystem::path(m_directory.GetPath()) / "temp";
    bool m_noTempPath = false;
    TempPath::CGet m_previousTempPath;
};

using Strings = std::vector<std::string>;

TEST_F(ConfigureCommand, CancelPutsBackRegistersSelectionsSettingsAndSelectedRows)
{
    const Strings before = Registers();
    ASSERT_EQ(before, (Strings{"CTRL", "MODE", "STATUS"}));
    SelectRows({0, 2});
    std::string settings;
    Configure([this, &settings](HWND dialog, HWND tree) {
        settings = m_directory.ReadFile("Vexil2.ini");
        EXPECT_EQ(TemporaryFileCount(), 3U);
        EXPECT_EQ(Status(0), "Configuring register list");
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
    });
    EXPECT_EQ(m_directory.ReadFile("Vexil2.ini"), settings);
    EXPECT_EQ(Registers(), before);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(TemporaryFileCount(), 0U);
    EXPECT_TRUE(m_errors->GetShown().empty());
    // The user register is gone from the container as well.
    Configure([](HWND, HWND tree) { EXPECT_EQ(Node(tree, {"Controller", "* BENCHREG"}), nullptr); });
}

TEST_F(ConfigureCommand, OkKeepsTheChangesShowsTheNewListAndSavesUserRegisters)
{
    SelectRows({1});
    Configure([](HWND dialog, HWND tree) {
        AddCheckedRegister(dialog, tree);
        DialogDriver::Click(dialog, IDOK);
    });
    EXPECT_EQ(Registers(), (Strings{"CTRL", "MODE", "STATUS", "BENCHREG"}));
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_EQ(Status(0), "Ready");
    EXPECT_NE(m_directory.ReadFile("Vexil2List.txt").find("|BENCHREG\r\n"), std::string::npos);
    EXPECT_EQ(TemporaryFileCount(), 0U);
    EXPECT_TRUE(m_errors->GetShown().empty());
}

TEST_F(ConfigureCommand, AFailedSaveAfterOkLeavesNoRowOnADeletedRegisterAndKeepsTheNewOne)
{
    Configure([](HWND dialog, HWND tree) {
        AddCheckedRegister(dialog, tree);
        DialogDriver::Click(dialog, IDOK);
    });
    ASSERT_EQ(Registers(), (Strings{"CTRL", "MODE", "STATUS", "BENCHREG"}));
    Configure([this](HWND dialog, HWND tree) {
        ClickText(tree, Node(tree, {"Controller", "* BENCHREG"}));
        DialogDriver::Click(dialog, IDC_CFG_REGISTER_DELETE);
        Retype(GetDlgItem(dialog, IDC_CFG_NAME), "NEWREG");
        Retype(GetDlgItem(dialog, IDC_CFG_ADDRESS), "7f4");
        Retype(GetDlgItem(dialog, IDC_CFG_SIZE), "8");
        DialogDriver::Click(dialog, IDC_CFG_REGISTER_ADD);
        ClickImage(tree, Node(tree, {"Controller", "* NEWREG"}));
        // The options cannot be saved once the dialog is done.
        std::filesystem::permissions(m_directory.GetFile("Vexil2.ini"), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        DialogDriver::Click(dialog, IDOK);
    });
    ASSERT_EQ(m_errors->GetShown().size(), 1U);
    EXPECT_EQ(m_errors->GetShown()[0].Message, "Failed to save options to the ini file.");
    EXPECT_EQ(Registers(), (Strings{"CTRL", "MODE", "STATUS", "NEWREG"}));
    const std::string list = m_directory.ReadFile("Vexil2List.txt");
    EXPECT_NE(list.find("|NEWREG\r\n"), std::string::npos);
    EXPECT_EQ(list.find("BENCHREG"), std::string::npos);
    std::filesystem::permissions(m_directory.GetFile("Vexil2.ini"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

TEST_F(ConfigureCommand, WithoutATemporaryDirectoryTheDialogDoesNotOpen)
{
    m_noTempPath = true;
    bool opened = false;
    Configure([&opened](HWND, HWND) { opened = true; });
    EXPECT_FALSE(opened);
    ASSERT_EQ(m_errors->GetShown().size(), 1U);
    EXPECT_EQ(m_errors->GetShown()[0].Message, "Failed to get temporary path name.");
    EXPECT_EQ(Registers(), (Strings{"CTRL", "MODE", "STATUS"}));
}

} // namespace
