// The Configuration Editor as a user works it: typing the name, choosing
// devices, OK with and without the overwrite question, and what ends up in
// "Vexil2.ini".
#include "dialogs/ConfigurationEditDlg.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/QuestionStandIn.h"
#include "tests/support/TestDirectory.h"

using namespace DialogDriver;

namespace {

const std::string START = "[Lab]\r\nDevices=17,\r\n[Other]\r\nDevices=3,\r\n";

class ConfigurationEditor : public CDialogTest
{
protected:
    void SetUp() override
    {
        CDialogTest::SetUp();
        // Not in alphabetical order: the list keeps the container's order.
        m_data.AddDevice(3, "Zeta", 0);
        m_data.AddDevice(17, "Alpha", 0);
        m_data.AddDevice(250, "Mid", 0);
        m_directory.WriteFile("Vexil2.ini", START);
        m_options.SetConfiguration("Lab");
    }
    INT_PTR Run(bool editMode, const std::function<void(HWND)>& act)
    {
        CConfigurationEditDlg dialog(&m_options, &m_data, editMode);
        return Drive(L"Configuration Editor", act, [&] { return dialog.DoModal(m_parent.Get()); });
    }
    CTestDirectory m_directory;
    COptions m_options;
    CDataContainer m_data;
    CHelpRecordingParent m_parent;
};

TEST_F(ConfigurationEditor, AddModeFiltersTheNameAndSavesTheChosenDevices)
{
    const INT_PTR result = Run(false, [](HWND dialog) {
        const HWND name = GetDlgItem(dialog, IDC_CED_NAME);
        const HWND list = GetDlgItem(dialog, IDC_CED_DEVICES);
        EXPECT_FALSE(IsEnabled(dialog, IDOK));
        EXPECT_EQ(Text(name), "");
        for (const auto& [device, entry] : {std::pair{L"Zeta", 0}, std::pair{L"Mid", 2}})
            EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(device)), entry);
        EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 0);
        Retype(name, "  Lab 1!");
        EXPECT_EQ(Text(name), "Lab 1");
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        Retype(name, "ALL  "); // in any case, with trailing blanks
        EXPECT_FALSE(IsEnabled(dialog, IDOK));
        Retype(name, "Bench(2) ");
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        SendMessageW(list, LB_SETSEL, TRUE, 0);
        SendMessageW(list, LB_SETSEL, TRUE, 2);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_directory.ReadFile("Vexil2.ini"), START + "[Bench(2)]\r\nDevices=3,250,\r\n");
    EXPECT_EQ(m_options.GetConfiguration(), "Bench(2)");
    EXPECT_TRUE(m_display->Asked.empty());
}

// Edit mode on "Lab" (devices "17,"): shown, the name retyped, OK, and the
// answer to the overwrite question when there is one.
struct CRenameCase
{
    const char* Name;
    const char* Typed;
    long Answer;
    INT_PTR Result;
    bool StaysOpen;
    const char* Current; // the current configuration name afterwards
    std::string File;
};

const CRenameCase RENAME_CASES[] = {
    {"NewNameRenames", "Lab2", 0, IDOK, false, "Lab2", "[Other]\r\nDevices=3,\r\n[Lab2]\r\nDevices=17,\r\n"},
    {"OwnNameInAnotherCaseDoesNotAsk", "LAB  ", 0, IDOK, false, "LAB", START},
    {"YesOverwritesAnother", "other", IDYES, IDOK, false, "other", "[Other]\r\nDevices=17,\r\n"},
    {"NoEndsWithCancel", "Other", IDNO, IDCANCEL, false, "Lab", START},
    {"CancelKeepsEditing", "Other", IDCANCEL, IDCANCEL, true, "Lab", START},
    {"BlankNameKeepsEditing", "   ", 0, IDCANCEL, true, "Lab", START},
};

void PrintTo(const CRenameCase& row, std::ostream* out) { *out << row.Name; }

class Rename : public ConfigurationEditor, public testing::WithParamInterface<CRenameCase>
{
};

TEST_P(Rename, AsksOnlyBeforeOverwritingAnotherConfiguration)
{
    const CRenameCase& row = GetParam();
    m_display->Answer = row.Answer;
    const INT_PTR result = Run(true, [&row](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_CED_DEVICES);
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 1);
        EXPECT_GT(SendMessageW(list, LB_GETSEL, 1, 0), 0); // "Alpha", device 17
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_CED_NAME)), "Lab");
        Retype(GetDlgItem(dialog, IDC_CED_NAME), row.Typed);
        Click(dialog, IDOK);
        EXPECT_EQ(IsOpen(dialog), row.StaysOpen);
    });
    EXPECT_EQ(result, row.Result);
    const std::string_view typed = row.Typed;
    const std::vector<CQuestion> question{{L"Configuration " + std::wstring(typed.begin(), typed.end()) +
                                               L" already exists, do you want to overwrite the existing configuration?",
                                           L"Warning", MB_YESNOCANCEL | MB_ICONEXCLAMATION}};
    EXPECT_EQ(m_display->Asked, row.Answer ? question : std::vector<CQuestion>{});
    EXPECT_EQ(m_options.GetConfiguration(), row.Current);
    EXPECT_EQ(m_directory.ReadFile("Vexil2.ini"), row.File);
}

INSTANTIATE_TEST_SUITE_P(ConfigurationEditor, Rename, testing::ValuesIn(RENAME_CASES),
                         [](const auto& instance) { return std::string(instance.param.Name); });

} // namespace
