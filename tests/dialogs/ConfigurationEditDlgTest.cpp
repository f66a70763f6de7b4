// The Configuration Editor as a user works it: typing the name, choosing
// devices, OK with and without the overwrite question, and what ends up in
// "Vexil2.ini".
#include "data/CheckedResult.h"
#include "data/ConfigurationHandler.h"
#include "dialogs/ConfigurationEditDlg.h"
#include "frame/com/Module.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/QuestionStandIn.h"
#include "tests/support/TestDirectory.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace DialogDriver;

namespace {

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
        m_directory.WriteFile("Vexil2.ini", "[Lab]\r\nDevices=17,\r\n[Other]\r\nDevices=3,\r\n");
        m_options.SetConfiguration("Lab");
    }
    INT_PTR Run(bool editMode, const std::function<void(HWND)>& act)
    {
        CConfigurationEditDlg dialog(&m_options, &m_data, editMode);
        return Drive(L"Configuration Editor", act, [&] { return dialog.DoModal(m_parent.Get()); });
    }
    // Edit mode on "Lab": the name retyped, then OK.
    INT_PTR RenameTo(std::string_view name)
    {
        return Run(true, [this, name](HWND dialog) {
            Retype(GetDlgItem(dialog, IDC_CED_NAME), name);
            Click(dialog, IDOK);
            m_stayedOpen = IsOpen(dialog);
        });
    }

    std::string Devices(const std::string& section) const
    {
        std::string text(256, '\0');
        text.resize(GetPrivateProfileStringA(section.c_str(), "Devices", "", text.data(), 256,
                                             m_directory.GetFile("Vexil2.ini").c_str()));
        return text;
    }
    std::vector<std::string> Names() const
    {
        CConfigurationHandler handler(&m_options);
        handler.LoadNames();
        std::vector<std::string> names;
        for (std::string name = handler.GetFirst(); !name.empty(); name = handler.GetNext())
            names.push_back(name);
        return names;
    }
    static void Select(HWND dialog, int entry, bool selected)
    {
        SendMessageW(GetDlgItem(dialog, IDC_CED_DEVICES), LB_SETSEL, selected, entry);
    }

    CTestDirectory m_directory;
    COptions m_options;
    CDataContainer m_data;
    CHelpRecordingParent m_parent;
    bool m_stayedOpen = false;
};

using NameList = std::vector<std::string>;

TEST_F(ConfigurationEditor, AddModeFiltersTheNameAndSavesTheChosenDevices)
{
    const INT_PTR result = Run(false, [](HWND dialog) {
        const HWND name = GetDlgItem(dialog, IDC_CED_NAME);
        const HWND list = GetDlgItem(dialog, IDC_CED_DEVICES);
        EXPECT_FALSE(IsEnabled(dialog, IDOK));
        EXPECT_EQ(Text(name), "");
        const auto find = [list](const wchar_t* device) {
            return SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(device));
        };
        EXPECT_EQ(find(L"Zeta"), 0);
        EXPECT_EQ(find(L"Mid"), 2);
        EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 0);
        Retype(name, "  Lab 1!");
        EXPECT_EQ(Text(name), "Lab 1");
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        for (const auto* all : {"all", "ALL  "})
        {
            Retype(name, all);
            EXPECT_FALSE(IsEnabled(dialog, IDOK)) << all;
        }
        Retype(name, "Bench(2) ");
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        Select(dialog, 0, true);
        Select(dialog, 2, true);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Devices("Bench(2)"), "3,250,");
    EXPECT_EQ(m_options.GetConfiguration(), "Bench(2)");
    EXPECT_TRUE(m_display->Asked.empty());
}

TEST_F(ConfigurationEditor, EditModeShowsTheCurrentConfigurationAndRenamesIt)
{
    Run(true, [](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_CED_DEVICES);
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_CED_NAME)), "Lab");
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 1);
        EXPECT_GT(SendMessageW(list, LB_GETSEL, 1, 0), 0); // "Alpha", device 17
    });
    EXPECT_EQ(RenameTo("Lab2"), IDOK);
    EXPECT_FALSE(m_stayedOpen);
    EXPECT_EQ(Names(), (NameList{"Other", "Lab2"}));
    EXPECT_EQ(Devices("Lab2"), "17,");
    EXPECT_EQ(m_options.GetConfiguration(), "Lab2");
    EXPECT_TRUE(m_display->Asked.empty());
}

TEST_F(ConfigurationEditor, RenamingOntoAnotherConfigurationAsksAndYesOverwritesIt)
{
    EXPECT_EQ(RenameTo("other"), IDOK);
    ASSERT_EQ(m_display->Asked.size(), 1u);
    EXPECT_EQ(m_display->Asked[0].Message,
              L"Configuration other already exists, do you want to overwrite the existing configuration?");
    EXPECT_EQ(m_display->Asked[0].Caption, L"Warning");
    EXPECT_EQ(m_display->Asked[0].Style, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(Names(), (NameList{"Other"}));
    EXPECT_EQ(Devices("Other"), "17,");
    EXPECT_EQ(m_options.GetConfiguration(), "other");
}

TEST_F(ConfigurationEditor, NoInTheQuestionEndsWithCancelAndCancelKeepsEditing)
{
    m_display->Answer = IDNO;
    EXPECT_EQ(RenameTo("Other"), IDCANCEL);
    m_display->Answer = IDCANCEL;
    EXPECT_EQ(RenameTo("Other"), IDCANCEL);
    EXPECT_TRUE(m_stayedOpen);
    EXPECT_EQ(m_display->Asked.size(), 2u);
    EXPECT_EQ(Names(), (NameList{"Lab", "Other"}));
    EXPECT_EQ(Devices("Other"), "3,");
    EXPECT_EQ(m_options.GetConfiguration(), "Lab");
}

TEST_F(ConfigurationEditor, OwnNameInAnotherCaseSavesWithoutAsking)
{
    EXPECT_EQ(RenameTo("LAB  "), IDOK);
    EXPECT_TRUE(m_display->Asked.empty());
    EXPECT_EQ(Names(), (NameList{"Lab", "Other"}));
    EXPECT_EQ(m_options.GetConfiguration(), "LAB");
}

TEST_F(ConfigurationEditor, OkWithoutDevicesRemovesTheConfigurationAndKeepsTheCurrentName)
{
    m_options.SetConfiguration("Other");
    const INT_PTR result = Run(true, [](HWND dialog) {
        Select(dialog, 0, false);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Names(), (NameList{"Lab"}));
    EXPECT_EQ(m_options.GetConfiguration(), "Other");
}

TEST_F(ConfigurationEditor, BlankNameKeepsTheEditorOpenAndHelpAsksForContext14)
{
    Run(true, [](HWND dialog) {
        SetWindowTextA(GetDlgItem(dialog, IDC_CED_NAME), "   ");
        Click(dialog, IDOK);
        EXPECT_TRUE(IsOpen(dialog));
        PressF1(GetDlgItem(dialog, IDC_CED_NAME));
        Click(dialog, IDC_HELP_BUTTON);
    });
    EXPECT_EQ(m_parent.Contexts, (std::vector<DWORD>{14, 14}));
    EXPECT_EQ(Names(), (NameList{"Lab", "Other"}));
}

TEST_F(ConfigurationEditor, FailuresCloseTheEditorAndReachTheCaller)
{
    const auto failure = [](const std::function<INT_PTR()>& run) {
        try
        {
            run();
            return S_OK;
        }
        catch (const CResultError& error)
        {
            return error.GetCode();
        }
    };
    CConfigurationEditDlg withoutOptions(nullptr, &m_data, true);
    EXPECT_EQ(failure([&] { return withoutOptions.DoModal(m_parent.Get()); }), static_cast<HRESULT>(0x8500000D));
    m_display->Creatable = false; // the question cannot be asked
    EXPECT_EQ(failure([this] { return RenameTo("Other"); }), E_FAIL);
    EXPECT_FALSE(m_stayedOpen);
    EXPECT_EQ(Names(), (NameList{"Lab", "Other"}));
}

} // namespace
