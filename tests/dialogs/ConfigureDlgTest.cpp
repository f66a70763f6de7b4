// The Configure dialog as a user works it: the register tree with its folders
// and check boxes, the user registers of the right half, selection files,
// configurations and their editor, failures, and what OK and Cancel leave in
// the container.
#include "dialogs/ConfigureDlg.h"
#include "dialogs/FileDialog.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/QuestionStandIn.h"
#include "tests/support/TestDirectory.h"

#include <array>
#include <cstring>
#include <tuple>
#include <utility>

using namespace DialogDriver;

namespace {

constexpr std::int32_t BOARD = 0x1A;
constexpr std::int32_t OTHER = 2;
constexpr std::int32_t THIRD = 5;
constexpr UINT WM_KEYF1 = 0x004D; // what the message loop makes of F1; not in the SDK headers

using Texts = std::vector<std::string>;
using Codes = std::vector<HRESULT>;
using Entries = std::vector<std::pair<std::string, LRESULT>>;

class CRecordingReporter final : public IErrorReporter
{
public:
    void ShowError(HRESULT code, const std::string&) override { Shown.push_back(code); }
    Codes Shown;
};

// Runs the Configuration Editor from the dialog's button.
void RunEditor(HWND dialog, int button, const std::function<void(HWND)>& act)
{
    Drive(L"Configuration Editor", act, [&] { return SendMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0); });
}

class ConfigureDialog : public CDialogTest
{
protected:
    void SetUp() override
    {
        CDialogTest::SetUp();
        // "Lab" lists its devices out of the container's order.
        m_directory.WriteFile("Vexil2.ini", "[Lab]\r\nDevices=5,2,\r\n[Empty]\r\nDevices=99,\r\n");
        m_options.SetConfiguration("All");
        m_options.SetRecursiveSelect(1);
        m_data.AddDevice(BOARD, "Board", 1);
        m_data.AddDevice(OTHER, "Other", 0);
        m_data.AddDevice(THIRD, "Third", 1);
        for (const auto& [name, path] : {std::pair{"CTRL", ""}, {"STATUS", "/"}, {"A1", "a//b"}, {"A2", "a//b"},
                                         {"A3", "a"}, {"SUB", "CTRL"}})
            Add(BOARD, name, path);
        m_data.AddRegister(BOARD, 0x40, "MINE", "", 16, 1, CRegisterData::USER_OPERATIONS, GUID_NULL);
        Add(BOARD, "UNDER", "MINE");
        Add(BOARD, "DEEP", "x/y/");
        Add(OTHER, "X", "");
        Add(THIRD, "T", "");
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
    // The Device combo's entries: name and the device id kept with it.
    static Entries Devices(HWND dialog)
    {
        const HWND combo = GetDlgItem(dialog, IDC_CFG_DEVICE);
        Entries entries;
        for (WPARAM entry = 0; entry < static_cast<WPARAM>(SendMessageA(combo, CB_GETCOUNT, 0, 0)); ++entry)
        {
            std::array<char, 64> text{};
            SendMessageA(combo, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text.data()));
            entries.emplace_back(text.data(), SendMessageA(combo, CB_GETITEMDATA, entry, 0));
        }
        return entries;
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

// Expanded only with ShowSelection; on the second run also the tree's shape,
// the device list and the filters of the register fields.
TEST_F(ConfigureDialog, TreeDevicesExpansionAndTypedFields)
{
    Select(BOARD, "A2");
    for (const int show : {0, 1})
    {
        m_options.SetShowSelection(show);
        Run([show](HWND dialog, HWND tree) {
            for (const HTREEITEM node : {Node(tree, {"Board", "a", "b"}), Node(tree, {"Board"})})
                EXPECT_EQ((TreeView_GetItemState(tree, node, TVIS_EXPANDED) & TVIS_EXPANDED) != 0, show == 1);
            if (show == 0)
                return;
            EXPECT_EQ(Children(tree, nullptr), (Texts{"Board", "Other", "Third"}));
            EXPECT_EQ(Children(tree, Node(tree, {"Board"})), (Texts{"CTRL", "STATUS", "a", "* MINE", "MINE", "x"}));
            EXPECT_EQ(Children(tree, Node(tree, {"Board", "a"})), (Texts{"b", "A3"}));
            EXPECT_EQ(Children(tree, Node(tree, {"Board", "a", "b"})), (Texts{"A1", "A2"}));
            EXPECT_EQ(Children(tree, Node(tree, {"Board", "CTRL"})), (Texts{"SUB"}));
            // A component holding only a user register's name makes a folder.
            EXPECT_EQ(Children(tree, Node(tree, {"Board", "MINE"})), (Texts{"UNDER"}));
            EXPECT_TRUE(Children(tree, Node(tree, {"Board", "* MINE"})).empty());
            // Only the devices that take user registers, each with its id.
            EXPECT_EQ(Devices(dialog), (Entries{{"Board", BOARD}, {"Third", THIRD}}));
            for (const auto& [id, typed, shown] :
                 {std::tuple{IDC_CFG_NAME, "ab- c", "abc"}, {IDC_CFG_ADDRESS, "1fx23456789", "1F234567"},
                  {IDC_CFG_SIZE, "128", "128"}, {IDC_CFG_SIZE, "129", "12"}})
            {
                Retype(GetDlgItem(dialog, id), typed);
                EXPECT_EQ(Text(GetDlgItem(dialog, id)), shown) << typed;
            }
        });
    }
    EXPECT_TRUE(m_reporter.Shown.empty());
}

// Recursive select is stored at once and kept after Cancel; OK commits the
// check marks, Cancel none.
TEST_F(ConfigureDialog, ClicksToggleRegistersFoldersAndDevicesAndOnlyOkCommitsThem)
{
    Select(BOARD, "A1");
    Select(BOARD, "SUB");
    for (const bool ok : {false, true})
    {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        m_options.SetRecursiveSelect(0);
        const INT_PTR result = Run([this, ok](HWND dialog, HWND tree) {
            const HTREEITEM control = Node(tree, {"Board", "CTRL"});
            const HTREEITEM sub = Node(tree, {"Board", "CTRL", "SUB"});
            const HTREEITEM a = Node(tree, {"Board", "a"});
            EXPECT_FALSE(IsChecked(dialog, IDC_CFG_RECURSIVE));
            for (const HTREEITEM mixed : {Node(tree, {"Board", "a", "b"}), a, Node(tree, {"Board"})})
                EXPECT_EQ(State(tree, mixed), CConfigureDlg::STATE_PARTIAL);
            // Off: a register toggles alone, below it nothing changes.
            ClickImage(tree, control);
            EXPECT_EQ(State(tree, control), CConfigureDlg::STATE_CHECKED);
            ClickImage(tree, control);
            EXPECT_EQ(State(tree, sub), CConfigureDlg::STATE_CHECKED);
            for (const int stored : {1, 0, 1})
            {
                Click(dialog, IDC_CFG_RECURSIVE);
                EXPECT_EQ(m_options.GetRecursiveSelect(), stored);
            }
            // On: the register takes its children along.
            ClickImage(tree, control);
            ClickImage(tree, control);
            EXPECT_EQ(State(tree, sub), CConfigureDlg::STATE_UNCHECKED);
            // A mixed folder unchecks, then checks everything below it.
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
            // A device always propagates.
            ClickImage(tree, Node(tree, {"Other"}));
            EXPECT_EQ(State(tree, Node(tree, {"Other", "X"})), CConfigureDlg::STATE_CHECKED);
            EXPECT_TRUE(IsWindowVisible(tree)); // shown again after the nodes changed
            Click(dialog, ok ? IDOK : IDCANCEL);
        });
        EXPECT_EQ(result, ok ? IDOK : IDCANCEL);
        EXPECT_EQ(m_options.GetRecursiveSelect(), 1);
        Texts selected;
        for (const auto* name : {"A1", "A2", "A3", "STATUS", "CTRL", "SUB", "MINE", "UNDER"})
            if (StateOf(BOARD, name) == CRegisterData::STATE_SELECTED)
                selected.push_back(name);
        EXPECT_EQ(selected, (ok ? Texts{"A1", "A2", "A3", "STATUS"} : Texts{"A1", "SUB"}));
        EXPECT_EQ(StateOf(OTHER, "X") == CRegisterData::STATE_SELECTED, ok);
    }
}

TEST_F(ConfigureDialog, UserRegistersAndSelectionFiles)
{
    for (const auto& [device, name] : {std::pair{BOARD, "CTRL"}, {BOARD, "SUB"}, {BOARD, "DEEP"}, {OTHER, "X"}})
        Select(device, name);
    m_chosenFile = m_directory.GetFile("chosen.txt");
    Run([this](HWND dialog, HWND tree) {
        ClickText(tree, Node(tree, {"Board", "* MINE"}));
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_CFG_NAME)), "MINE");
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_CFG_ADDRESS)), "40");
        EXPECT_FALSE(IsEnabled(dialog, IDC_CFG_REGISTER_ADD));
        // Choosing a device ends edit mode: a size typed afterwards changes no register.
        Click(dialog, IDC_CFG_REGISTER_EDIT);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CFG_DEVICE, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CFG_DEVICE)));
        Retype(GetDlgItem(dialog, IDC_CFG_SIZE), "8");
        EXPECT_EQ(m_data.FindRegisterByName(BOARD, "MINE")->GetLength(), 16);
        Retype(GetDlgItem(dialog, IDC_CFG_NAME), "NEWREG");
        Retype(GetDlgItem(dialog, IDC_CFG_ADDRESS), "a0");
        Retype(GetDlgItem(dialog, IDC_CFG_SIZE), "8");
        Click(dialog, IDC_CFG_REGISTER_ADD);
        const HTREEITEM added = Node(tree, {"Board", "* NEWREG"});
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(TreeView_GetSelection(tree), added);
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
        // A middle child deleted, one added after the last one went: Save still
        // finds every register, children first.
        ClickText(tree, Node(tree, {"Board", "* MINE"}));
        Click(dialog, IDC_CFG_REGISTER_DELETE);
        Retype(GetDlgItem(dialog, IDC_CFG_NAME), "AGAIN");
        Click(dialog, IDC_CFG_REGISTER_ADD);
        EXPECT_EQ(Children(tree, Node(tree, {"Board"})), (Texts{"CTRL", "STATUS", "a", "MINE", "x", "* AGAIN"}));
        EXPECT_EQ(State(tree, Node(tree, {"Board"})), CConfigureDlg::STATE_PARTIAL);
        Click(dialog, IDC_CFG_SAVE);
        const std::string heading = "Manual editing of this file is prohibited\r\n\r\n";
        EXPECT_EQ(m_directory.ReadFile("chosen.txt"), heading + "1A|SUB\r\n1A|CTRL\r\n1A|DEEP\r\n2|X\r\n");
        m_directory.WriteFile("chosen.txt", heading + "1A|A3\r\n");
        Click(dialog, IDC_CFG_OPEN);
        EXPECT_EQ(State(tree, Node(tree, {"Board", "a", "A3"})), CConfigureDlg::STATE_CHECKED);
        EXPECT_EQ(State(tree, Node(tree, {"Board", "CTRL"})), CConfigureDlg::STATE_UNCHECKED);
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(m_reporter.Shown.empty());
}

// Toggles are committed before every rebuild of the tree for another configuration.
TEST_F(ConfigureDialog, ConfigurationsAreChosenDeletedAddedAndEditedOverTheDialog)
{
    const INT_PTR result = Run([this](HWND dialog, HWND tree) {
        EXPECT_FALSE(IsEnabled(dialog, IDC_CFG_CONFIGURATION_EDIT));
        EXPECT_FALSE(IsEnabled(dialog, IDC_CFG_CONFIGURATION_DELETE));
        ClickImage(tree, Node(tree, {"Board", "STATUS"}));
        const HWND combo = GetDlgItem(dialog, IDC_CFG_CONFIGURATION);
        SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Lab"));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CFG_CONFIGURATION, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(Children(tree, nullptr), (Texts{"Other", "Third"})); // in the container's order
        EXPECT_EQ(Devices(dialog), (Entries{{"Third", THIRD}}));
        EXPECT_EQ(StateOf(BOARD, "STATUS"), CRegisterData::STATE_SELECTED);
        EXPECT_TRUE(IsEnabled(dialog, IDC_CFG_CONFIGURATION_DELETE));
        m_display->Answer = IDYES;
        Click(dialog, IDC_CFG_CONFIGURATION_DELETE);
        EXPECT_EQ(m_display->Asked.size(), 1U);
        EXPECT_EQ(Text(combo), "All");
        EXPECT_EQ(Children(tree, nullptr), (Texts{"Board", "Other", "Third"}));
        ClickImage(tree, Node(tree, {"Board", "CTRL"}));
        RunEditor(dialog, IDC_CFG_CONFIGURATION_ADD, [](HWND editor) {
            EXPECT_EQ(Text(GetDlgItem(editor, IDC_CED_NAME)), ""); // add mode
            Retype(GetDlgItem(editor, IDC_CED_NAME), "Bench");
            SendMessageW(GetDlgItem(editor, IDC_CED_DEVICES), LB_SETSEL, TRUE, 1);
            Click(editor, IDOK);
        });
        EXPECT_NE(m_directory.ReadFile("Vexil2.ini").find("[Bench]\r\nDevices=2,"), std::string::npos);
        EXPECT_EQ(StateOf(BOARD, "CTRL"), CRegisterData::STATE_SELECTED);
        EXPECT_EQ(Text(combo), "Bench");
        EXPECT_EQ(m_options.GetConfiguration(), "Bench");
        EXPECT_TRUE(IsEnabled(dialog, IDC_CFG_CONFIGURATION_EDIT));
        EXPECT_EQ(Children(tree, nullptr), (Texts{"Other"}));
        // Edit mode on it, its help request passed on with its own context; no
        // device left removes it, and the dialog falls back to "All".
        RunEditor(dialog, IDC_CFG_CONFIGURATION_EDIT, [](HWND editor) {
            EXPECT_EQ(Text(GetDlgItem(editor, IDC_CED_NAME)), "Bench");
            SendMessageW(GetDlgItem(editor, IDC_CED_NAME), WM_KEYF1, 0, 0); // F1 as the message loop makes it
            SendMessageW(GetDlgItem(editor, IDC_CED_DEVICES), LB_SETSEL, FALSE, 1);
            Click(editor, IDOK);
        });
        EXPECT_EQ(Text(combo), "All");
        EXPECT_EQ(Children(tree, nullptr), (Texts{"Board", "Other", "Third"}));
        Click(dialog, IDC_HELP_BUTTON);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_directory.ReadFile("Vexil2.ini"), "[Empty]\r\nDevices=99,\r\n");
    EXPECT_EQ(m_parent.Contexts, (std::vector<DWORD>{14, 3}));
    EXPECT_TRUE(m_reporter.Shown.empty());
}

// A tree that refuses to insert the node with one text, as a tree short of memory would.
WNDPROC treeProcedure = nullptr;
const char* refusedText = nullptr;

LRESULT CALLBACK RefusingTree(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto* insert = reinterpret_cast<const TVINSERTSTRUCTA*>(lParam);
    if (message == TVM_INSERTITEMA && std::strcmp(insert->item.pszText, refusedText) == 0)
        return 0;
    return CallWindowProcW(treeProcedure, window, message, wParam, lParam);
}

LRESULT CALLBACK SubclassTrees(int code, WPARAM wParam, LPARAM lParam)
{
    std::array<wchar_t, 32> name{};
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && GetClassNameW(window, name.data(), 32) && name.data() == std::wstring(WC_TREEVIEWW))
        treeProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RefusingTree)));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct CFailureCase
{
    const char* Name;
    const char* Configuration;
    const char* Refused; // the text of the node that the tree refuses
    bool AskingWorks;
    std::function<void(HWND dialog)> Act;
    Codes Shown;
    Texts Roots; // what the tree keeps
};

const CFailureCase FAILURE_CASES[] = {
    {"SaveToAMissingDirectory", "All", nullptr, true, [](HWND dialog) { Click(dialog, IDC_CFG_SAVE); },
     {static_cast<HRESULT>(0x8500050B)}, {"Board", "Other", "Third"}},
    {"SaveAnEmptyTree", "Empty", nullptr, true, [](HWND dialog) { Click(dialog, IDC_CFG_SAVE); },
     {static_cast<HRESULT>(0x8500050E)}, {}},
    {"AddWithoutADevice", "Empty", nullptr, true, [](HWND dialog) { Click(dialog, IDC_CFG_REGISTER_ADD); },
     {static_cast<HRESULT>(0x85000015)}, {}},
    {"TreeRefusesARegister", "All", "A2", true, [](HWND) {}, {static_cast<HRESULT>(0x85000016)}, {"Board"}},
    {"EditorCannotAsk", "Lab", nullptr, false,
     [](HWND dialog) {
         RunEditor(dialog, IDC_CFG_CONFIGURATION_EDIT, [](HWND editor) {
             Retype(GetDlgItem(editor, IDC_CED_NAME), "Empty");
             Click(editor, IDOK);
             EXPECT_FALSE(IsOpen(editor));
         });
     },
     {E_FAIL}, {"Other", "Third"}},
};

void PrintTo(const CFailureCase& row, std::ostream* out) { *out << row.Name; }

class ConfigureFailure : public ConfigureDialog, public testing::WithParamInterface<CFailureCase>
{
};

TEST_P(ConfigureFailure, IsReportedAndTheDialogGoesOn)
{
    const CFailureCase& row = GetParam();
    m_options.SetConfiguration(row.Configuration);
    m_display->Creatable = row.AskingWorks;
    m_chosenFile = m_directory.GetFile("missing\\chosen.txt");
    refusedText = row.Refused;
    const HHOOK hook = row.Refused ? SetWindowsHookExW(WH_CBT, SubclassTrees, nullptr, GetCurrentThreadId()) : nullptr;
    Run([&row](HWND dialog, HWND tree) {
        row.Act(dialog);
        EXPECT_EQ(Children(tree, nullptr), row.Roots);
    });
    if (hook)
        UnhookWindowsHookEx(hook);
    EXPECT_EQ(m_reporter.Shown, row.Shown);
}

INSTANTIATE_TEST_SUITE_P(ConfigureDialog, ConfigureFailure, testing::ValuesIn(FAILURE_CASES),
                         [](const auto& instance) { return std::string(instance.param.Name); });

} // namespace
