// The configuration choice of the Configure dialog: the combo of named
// configurations and its Edit, Add and Delete buttons. Each change of the
// configuration commits the check marks before the tree is rebuilt, so the
// container always holds what the user saw.
#include "dialogs/ConfigureDlg.h"

#include "data/CheckedResult.h"
#include "data/ConfigurationHandler.h"
#include "data/ResultCodes.h"
#include "data/Texts.h"
#include "dialogs/ConfigurationEditDlg.h"
#include "dialogs/Question.h"
#include "dialogs/WaitCursor.h"

namespace {

constexpr int DELETE_QUESTION = 157;
constexpr int DELETE_CAPTION = 158;

void InsertEntry(HWND combo, WPARAM position, const std::string& text)
{
    const auto entry = SendMessageA(combo, CB_INSERTSTRING, position, reinterpret_cast<LPARAM>(text.c_str()));
    if (entry == CB_ERR || entry == CB_ERRSPACE)
        RaiseResult(Vx::E_COMBO_OPERATION);
}

} // namespace

void CConfigureDlg::FillConfigurationCombo()
{
    if (!m_options)
        RaiseResult(Vx::E_INVALID_POINTER);
    SendMessageW(m_configurationCombo, CB_RESETCONTENT, 0, 0);
    InsertEntry(m_configurationCombo, 0, COptions::ALL_CONFIGURATION);
    CConfigurationHandler configurations(m_options);
    configurations.LoadNames();
    for (std::string name = configurations.GetFirst(); !name.empty(); name = configurations.GetNext())
        InsertEntry(m_configurationCombo, static_cast<WPARAM>(-1), name);
    const int entry = FindConfigurationEntry();
    ChooseConfiguration(entry == CB_ERR ? 0 : entry);
}

int CConfigureDlg::FindConfigurationEntry() const
{
    // The search starts after entry 0 and wraps round, ignoring case.
    const std::string& name = m_options->GetConfiguration();
    return static_cast<int>(
        SendMessageA(m_configurationCombo, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(name.c_str())));
}

std::string CConfigureDlg::GetComboText(int entry) const
{
    const auto length = SendMessageA(m_configurationCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(entry), 0);
    if (length == CB_ERR)
        RaiseResult(Vx::E_COMBO_OPERATION);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const auto copied = SendMessageA(m_configurationCombo, CB_GETLBTEXT, static_cast<WPARAM>(entry),
                                     reinterpret_cast<LPARAM>(text.data()));
    if (copied == CB_ERR)
        RaiseResult(Vx::E_COMBO_OPERATION);
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

void CConfigureDlg::ChooseConfiguration(int entry)
{
    SendMessageW(m_configurationCombo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    EnableWindow(Item(IDC_CFG_CONFIGURATION_DELETE), entry != 0);
    EnableWindow(Item(IDC_CFG_CONFIGURATION_EDIT), entry != 0);
    const auto selected = SendMessageW(m_configurationCombo, CB_GETCURSEL, 0, 0);
    m_options->SetConfiguration(GetComboText(static_cast<int>(selected)));
}

void CConfigureDlg::RebuildTree()
{
    Commit();
    DeleteAllNodes();
    FillConfigurationCombo();
    FillTree();
}

void CConfigureDlg::OnConfigurationChosen()
{
    const CWaitCursor wait;
    Guarded([this] {
        ChooseConfiguration(static_cast<int>(SendMessageW(m_configurationCombo, CB_GETCURSEL, 0, 0)));
        RebuildTree();
    });
}

void CConfigureDlg::OnAddConfiguration()
{
    RunConfigurationEditor(false, IDC_CFG_CONFIGURATION_ADD);
}

void CConfigureDlg::OnEditConfiguration()
{
    RunConfigurationEditor(true, IDC_CFG_CONFIGURATION_EDIT);
}

void CConfigureDlg::RunConfigurationEditor(bool editMode, int buttonId)
{
    Guarded([&] {
        CConfigurationEditDlg editor(m_options, m_data, editMode);
        if (editor.DoModal(GetWindow()) != IDOK)
            return;
        Commit();
        DeleteAllNodes();
        FillConfigurationCombo();
        if (const int entry = FindConfigurationEntry(); entry != CB_ERR)
            ChooseConfiguration(entry);
        FillTree();
    });
    FocusItem(buttonId);
}

void CConfigureDlg::OnDeleteConfiguration()
{
    Guarded([this] {
        const int entry = static_cast<int>(SendMessageW(m_configurationCombo, CB_GETCURSEL, 0, 0));
        const std::string name = GetComboText(entry);
        const long answer = Question::Ask(Question::Format(DELETE_QUESTION, name), Texts::GetString(DELETE_CAPTION),
                                          MB_YESNO | MB_ICONEXCLAMATION);
        if (answer != IDYES)
            return;
        if (SendMessageW(m_configurationCombo, CB_DELETESTRING, static_cast<WPARAM>(entry), 0) == CB_ERR)
            RaiseResult(Vx::E_COMBO_OPERATION);
        if (!CConfigurationHandler(m_options).DeleteConfiguration(name))
        {
            InsertEntry(m_configurationCombo, static_cast<WPARAM>(entry), name);
            ChooseConfiguration(entry);
            RaiseResult(Vx::E_REMOVE_CONFIGURATION);
        }
        ChooseConfiguration(entry - 1);
        RebuildTree();
    });
    FocusItem(IDC_CFG_CONFIGURATION_DELETE);
}
