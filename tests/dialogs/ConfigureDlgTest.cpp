// The Configure dialog as a user works it: the register tree with its folders
// and check boxes, the user registers of the right half, selection files and
// configurations, and what OK and Cancel leave in the container.
#include "dialogs/ConfigureDlg.h"
#include "dialogs/FileDialog.h"
#include "frame/com/Module.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/QuestionStandIn.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace DialogDriver;

namespace {

constexpr std::int32_t BOARD = 0x1A;
constexpr std::int32_t OTHER = 2;

class CRecordingReporter final : public IErrorReporter
{
public:
    void ShowError(HRESULT code, const std::string&) override { Codes.push_back(code); }
    std::vector<HRESULT> Codes;
};

class ConfigureDialog : public CDialogTest
{
protected:
    void SetUp() override
    {
        CDialogTest::SetUp();
        m_directory.WriteFile("Vexil2.ini", "[Lab]\r\nDevices=2,\r\n");
        m_options.SetConfiguration("All");
        m_options.SetRecursiveSelect(1);
        m_data.AddDevice(BOARD, "Board", 1);
        m_data.AddDevice(OTHER, "Other", 0);
        Add(BOARD, "CTRL", "");
        Add(BOARD, "STATUS", "/");
        Add(BOARD, "A1", "a//b");
        Add(BOARD, "A2", "a//b");
        Add(BOARD, "A3", "a");
        Add(BOARD, "SUB", "CTRL");
        m_data.AddRegister(BOARD, 0x40, "MINE", "", 16, 1, CRegisterData::USER_OPERATIONS, GUID_NULL);
        Add(BOARD, "UNDER", "MINE");
        Add(BOARD, "DEEP", "x/y/");
        Add(OTHER, "X", "");
        m_previousAsk = FileDialog::Replace([this](OPENFILENAMEA& request, bool) {
            if (m_chosenFile.empty())
                return FALSE;
            std::strncpy(request.lpstrFile, m_chosenFile.c_str(), request.nMaxFile - 1);
            return TRUE;
        });
    }
    void TearDown() override
    {
        FileDialog::Replace(m_previousAsk);
        CDialogTest::TearDown();
    }

    void Add(std::int32_t device, const char* name, const char* path)
    {
        m_data.AddRegister(device, 0x10 * ++m_added, name, path, 32, 0, 3, GUID_NULL);
    }
    std::int32_t StateOf(std::int32_t device, const char* name) const
    {
        return m_data.FindRegisterByName(device, name)->State;
    }
    void Select(std::int32_t device, const char* name)
    {
        m_data.FindRegisterByName(device, name)->State = CRegisterData::STATE_SELECTED;
    }
    INT_PTR Run(const std::function<void(HWND dialog, HWND tree)>& act)
    {
        CConfigureDlg dialog(&m_options, &m_data, &m_reporter);
        return Drive(L"Configure", [&](HWND window) { act(window, GetDlgItem(window, IDC_CFG_TREE)); },
                     [&] { return dialog.DoModal(m_parent.Get()); });
    }

    CTestDirectory m_directory;
    COptions m_options;
    CDataContainer m_data;
    CRecordingReporter m_reporter;
    CHelpRecordingParent m_parent;
    int m_added = 0;
    std::string m_chosenFile;
    FileDialog::CAsk m_previousAsk;
};

using Texts = std::vector<std::string>;

TEST_F(ConfigureDialog, PathsBecomeSharedFoldersAndRegisterNodesTakeTheirChildren)
{
    Run([](HWND, HWND tree) {
        EXPECT_EQ(Children(tree, nullptr), (Texts{"Board", "Other"}));
        EXPECT_EQ(Children(tree, Node(tree, {"Board"})), (Texts{"CTRL", "STATUS", "a", "* MINE", "MINE", "x"}));
        EXPECT_EQ(Children(tree, Node(tree, {"Board", "a"})), (Texts{"b", "A3"}));
        EXPECT_EQ(Children(tree, Node(tree, {"Board", "a", "b"})), (Texts{"A1", "A2"}));
        EXPECT_EQ(Children(tree, Node(tree, {"Board", "CTRL"})), (Texts{"SUB"}));
        // A component holding only a user register's name makes a folder.
        EXPECT_EQ(Children(tree, Node(tree, {"Board", "MINE"})), (Texts{"UNDER"}));
        EXPECT_TRUE(Children(tree, Node(tree, {"Board", "* MINE"})).empty());
        // Devices with registers and every folder are bold; registers are not, even with children.
        const auto bold = [tree](std::initializer_list<const char*> path) {
            return (TreeView_GetItemState(tree, Node(tree, path), TVIS_BOLD) & TVIS_BOLD) != 0;
        };
        for (const auto path : {std::initializer_list<const char*>{"Board"}, {"Other"}, {"Board", "a"},
                                {"Board", "a", "b"}, {"Board", "x"}, {"Board", "x", "y"}, {"Board", "MINE"}})
            EXPECT_TRUE(bold(path));
        EXPECT_FALSE(bold({"Board", "CTRL"}));
        EXPECT_FALSE(bold({"Board", "* MINE"}));
    });
    EXPECT_TRUE(m_reporter.Codes.empty());
}

TEST_F(ConfigureDialog, ClickingAMixedFolderUnchecksThenChecksEverythingBelowIt)
{
    Select(BOARD, "A1");
    const INT_PTR result = Run([](HWND dialog, HWND tree) {
        const HTREEITEM a = Node(tree, {"Board", "a"});
        EXPECT_EQ(State(tree, Node(tree, {"Board", "a", "b"})), CConfigureDlg::STATE_PARTIAL);
        EXPECT_EQ(State(tree, a), CConfigureDlg::STATE_PARTIAL);
        EXPECT_EQ(State(tree, Node(tree, {"Board"})), CConfigureDlg::STATE_PARTIAL);
        ClickImage(tree, a);
        for (const auto* name : {"A1", "A2"})
            EXPECT_EQ(State(tree, Node(tree, {"Board", "a", "b", name})), CConfigureDlg::STATE_UNCHECKED);
        EXPECT_EQ(State(tree, Node(tree, {"Board"})), CConfigureDlg::STATE_UNCHECKED);
        ClickImage(tree, a);
        EXPECT_EQ(State(tree, Node(tree, {"Board", "a", "b", "A2"})), CConfigureDlg::STATE_CHECKED);
        EXPECT_EQ(State(tree, a), CConfigureDlg::STATE_CHECKED);
        EXPECT_EQ(State(tree, Node(tree, {"Board"})), CConfigureDlg::STATE_PARTIAL);
        // The space bar toggles the selected node the same way.
        TreeView_SelectItem(tree, Node(tree, {"Board", "STATUS"}));
        PressKey(tree, VK_SPACE);
        EXPECT_EQ(State(tree, Node(tree, {"Board", "STATUS"})), CConfigureDlg::STATE_CHECKED);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    for (const auto* name : {"A1", "A2", "A3", "STATUS"})
        EXPECT_EQ(StateOf(BOARD, name), CRegisterData::STATE_SELECTED) << name;
    for (const auto* name : {"CTRL", "SUB", "MINE", "UNDER"})
        EXPECT_EQ(StateOf(BOARD, name), CRegisterData::STATE_NOT_SELECTED) << name;
}

TEST_F(ConfigureDialog, WithoutRecursiveSelectARegisterTogglesAloneAndCancelKeepsTheContainer)
{
    m_options.SetRecursiveSelect(0);
    Select(BOARD, "SUB");
    const INT_PTR result = Run([](HWND dialog, HWND tree) {
        EXPECT_FALSE(IsChecked(dialog, IDC_CFG_RECURSIVE));
        ClickImage(tree, Node(tree, {"Board", "CTRL"}));
        EXPECT_EQ(State(tree, Node(tree, {"Board", "CTRL"})), CConfigureDlg::STATE_CHECKED);
        EXPECT_EQ(State(tree, Node(tree, {"Board", "CTRL", "SUB"})), CConfigureDlg::STATE_CHECKED);
        ClickImage(tree, Node(tree, {"Board", "CTRL"}));
        EXPECT_EQ(State(tree, Node(tree, {"Board", "CTRL", "SUB"})), CConfigureDlg::STATE_CHECKED);
        // A device always propagates.
        ClickImage(tree, Node(tree, {"Other"}));
        EXPECT_EQ(State(tree, Node(tree, {"Other", "X"})), CConfigureDlg::STATE_CHECKED);
        EXPECT_TRUE(IsWindowVisible(tree)); // shown again after the nodes changed
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(StateOf(BOARD, "CTRL"), CRegisterData::STATE_NOT_SELECTED);
    EXPECT_EQ(StateOf(BOARD, "SUB"), CRegisterData::STATE_SELECTED);
    EXPECT_EQ(StateOf(OTHER, "X"), CRegisterData::STATE_NOT_SELECTED);
}

TEST_F(ConfigureDialog, SelectedRegistersOpenExpandedOnlyWithShowSelection)
{
    Select(BOARD, "A2");
    for (const int show : {0, 1})
    {
        m_options.SetShowSelection(show);
        Run([show](HWND, HWND tree) {
            EXPECT_EQ(IsExpanded(tree, Node(tree, {"Board", "a", "b"})), show == 1);
            EXPECT_EQ(IsExpanded(tree, Node(tree, {"Board"})), show == 1);
        });
    }
}

TEST_F(ConfigureDialog, RegisterFieldsFilterWhatIsTyped)
{
    Run([](HWND dialog, HWND) {
        const HWND name = GetDlgItem(dialog, IDC_CFG_NAME);
        Retype(name, "ab- c");
        EXPECT_EQ(Text(name), "abc");
        DWORD start = 0;
        SendMessageA(name, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        EXPECT_EQ(start, 3U);
        const HWND address = GetDlgItem(dialog, IDC_CFG_ADDRESS);
        Retype(address, "1fx2345678");
        SendMessageA(address, WM_CHAR, '9', 1);
        EXPECT_EQ(Text(address), "1F234567");
        const HWND size = GetDlgItem(dialog, IDC_CFG_SIZE);
        Retype(size, "128");
        EXPECT_EQ(Text(size), "128");
        Retype(size, "129");
        EXPECT_EQ(Text(size), "12");
    });
}

TEST_F(ConfigureDialog, AddEditAndDeleteAUserRegister)
{
    const INT_PTR result = Run([this](HWND dialog, HWND tree) {
        ClickText(tree, Node(tree, {"Board", "* MINE"}));
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_CFG_NAME)), "MINE");
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_CFG_ADDRESS)), "40");
        EXPECT_FALSE(IsEnabled(dialog, IDC_CFG_REGISTER_ADD));
        Retype(GetDlgItem(dialog, IDC_CFG_NAME), "NEWREG");
        Retype(GetDlgItem(dialog, IDC_CFG_ADDRESS), "a0");
        Retype(GetDlgItem(dialog, IDC_CFG_SIZE), "8");
        Click(dialog, IDC_CFG_REGISTER_ADD);
        const HTREEITEM added = Node(tree, {"Board", "* NEWREG"});
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(TreeView_GetSelection(tree), added);
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_CFG_NAME)), "NEWREG");
        EXPECT_FALSE(IsEnabled(dialog, IDC_CFG_REGISTER_ADD));
        EXPECT_TRUE(IsEnabled(dialog, IDC_CFG_REGISTER_EDIT));
        EXPECT_TRUE(IsEnabled(dialog, IDC_CFG_REGISTER_DELETE));
        const CRegisterData* record = m_data.FindRegisterByName(BOARD, "NEWREG");
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->GetAddress(), 0xA0U);
        EXPECT_EQ(record->GetLength(), 8);
        // In edit mode a cleared size means one bit.
        Click(dialog, IDC_CFG_REGISTER_EDIT);
        Retype(GetDlgItem(dialog, IDC_CFG_SIZE), "");
        SendMessageA(GetDlgItem(dialog, IDC_CFG_SIZE), WM_CHAR, VK_BACK, 1);
        EXPECT_EQ(record->GetLength(), 1);
        // The last child deleted: its previous sibling is selected.
        Click(dialog, IDC_CFG_REGISTER_DELETE);
        EXPECT_EQ(Node(tree, {"Board", "* NEWREG"}), nullptr);
        EXPECT_EQ(m_data.FindRegisterByName(BOARD, "NEWREG"), nullptr);
        EXPECT_EQ(TreeView_GetSelection(tree), Node(tree, {"Board", "x"}));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(m_reporter.Codes.empty());
}

TEST_F(ConfigureDialog, SaveWritesCheckedRegistersChildrenFirstAndOpenLoadsThem)
{
    Select(BOARD, "CTRL");
    Select(BOARD, "SUB");
    Select(OTHER, "X");
    m_chosenFile = m_directory.GetFile("chosen.txt");
    Run([this](HWND dialog, HWND tree) {
        Click(dialog, IDC_CFG_SAVE);
        EXPECT_EQ(m_directory.ReadFile("chosen.txt"),
                  "Manual editing of this file is prohibited\r\n\r\n1A|SUB\r\n1A|CTRL\r\n2|X\r\n");
        m_directory.WriteFile("chosen.txt", "Manual editing of this file is prohibited\r\n\r\n1A|A3\r\n");
        Click(dialog, IDC_CFG_OPEN);
        EXPECT_EQ(State(tree, Node(tree, {"Board", "a", "A3"})), CConfigureDlg::STATE_CHECKED);
        EXPECT_EQ(State(tree, Node(tree, {"Board", "CTRL"})), CConfigureDlg::STATE_UNCHECKED);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(StateOf(BOARD, "A3"), CRegisterData::STATE_SELECTED);
    EXPECT_EQ(StateOf(BOARD, "CTRL"), CRegisterData::STATE_NOT_SELECTED);
    EXPECT_TRUE(m_reporter.Codes.empty());
}

TEST_F(ConfigureDialog, ChoosingAConfigurationKeepsTogglesAndDeletingOneAsksFirst)
{
    const INT_PTR result = Run([this](HWND dialog, HWND tree) {
        EXPECT_FALSE(IsEnabled(dialog, IDC_CFG_CONFIGURATION_EDIT));
        EXPECT_FALSE(IsEnabled(dialog, IDC_CFG_CONFIGURATION_DELETE));
        ClickImage(tree, Node(tree, {"Board", "STATUS"}));
        const HWND combo = GetDlgItem(dialog, IDC_CFG_CONFIGURATION);
        SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Lab"));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CFG_CONFIGURATION, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(Children(tree, nullptr), (Texts{"Other"}));
        EXPECT_EQ(StateOf(BOARD, "STATUS"), CRegisterData::STATE_SELECTED);
        EXPECT_TRUE(IsEnabled(dialog, IDC_CFG_CONFIGURATION_DELETE));
        m_display->Answer = IDYES;
        Click(dialog, IDC_CFG_CONFIGURATION_DELETE);
        EXPECT_EQ(m_display->Asked.size(), 1U);
        EXPECT_EQ(Text(combo), "All");
        EXPECT_EQ(Children(tree, nullptr), (Texts{"Board", "Other"}));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_directory.ReadFile("Vexil2.ini").find("[Lab]"), std::string::npos);
    EXPECT_EQ(StateOf(BOARD, "STATUS"), CRegisterData::STATE_SELECTED);
}

} // namespace
