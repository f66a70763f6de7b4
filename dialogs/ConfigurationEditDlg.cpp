#include "dialogs/ConfigurationEditDlg.h"

#include "data/CheckedResult.h"
#include "data/ConfigurationHandler.h"
#include "data/ResultCodes.h"
#include "data/Texts.h"
#include "dialogs/EditFilter.h"
#include "dialogs/Question.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <utility>

namespace {

constexpr int OVERWRITE_QUESTION = 161;
constexpr int WARNING_CAPTION = 160;

bool IsNameCharacter(char character)
{
    const auto c = static_cast<unsigned char>(character);
    return std::isalnum(c) != 0 || character == '_' || character == '.' || character == '(' || character == ')' ||
           character == '-';
}

std::string TrimTrailingSpaces(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

bool EqualsIgnoringCase(const std::string& left, const std::string& right)
{
    return std::equal(left.begin(), left.end(), right.begin(), right.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

INT_PTR CConfigurationEditDlg::DoModal(HWND parent)
{
    m_failure = nullptr;
    const INT_PTR result = CModalDialogImpl::DoModal(parent);
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
    return result;
}

BOOL CConfigurationEditDlg::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                                 LRESULT& result)
{
    if (ProcessHelpMessage(message, wParam, lParam, result))
        return TRUE;
    // A failure ends the editor as Cancel would; DoModal raises it afterwards.
    try
    {
        return ProcessDialogBasics(message, wParam, result, IDC_CED_NAME, EN_UPDATE,
                                   &CConfigurationEditDlg::OnNameChanged);
    }
    catch (const CResultError&)
    {
        m_failure = std::current_exception();
    }
    catch (const std::bad_alloc&)
    {
        m_failure = std::make_exception_ptr(CResultError(E_OUTOFMEMORY));
    }
    End(IDCANCEL);
    result = TRUE;
    return TRUE;
}

BOOL CConfigurationEditDlg::OnInitDialog()
{
    m_devices = Item(IDC_CED_DEVICES);
    m_name = Item(IDC_CED_NAME);
    if (!m_options || !m_data)
        RaiseResult(Vx::E_INVALID_POINTER);
    SendMessageA(m_name, EM_LIMITTEXT, NAME_LIMIT, 0);

    CConfigurationHandler configurations(m_options);
    configurations.LoadNames();
    configurations.LoadDeviceList();
    if (m_editMode)
        SetWindowTextA(m_name, m_options->GetConfiguration().c_str());

    // Inserted by position: the list's sort style must not reorder the devices.
    for (int index = 0; index < m_data->GetDeviceCount(); ++index)
    {
        const std::int32_t id = m_data->GetDeviceID(index);
        const auto at = static_cast<WPARAM>(index);
        SendMessageA(m_devices, LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(m_data->GetDeviceName(id).c_str()));
        SendMessageA(m_devices, LB_SETITEMDATA, at, static_cast<LPARAM>(static_cast<std::uint32_t>(id)));
        if (m_editMode && configurations.IsDeviceInConfiguration(id))
            SendMessageA(m_devices, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
    }
    m_startingName = m_editMode ? m_options->GetConfiguration() : std::string();
    EnableWindow(Item(IDOK), m_editMode);
    return TRUE;
}

void CConfigurationEditDlg::OnNameChanged()
{
    if (m_filtering || !m_name)
        return;
    m_filtering = true;
    struct CReset
    {
        bool& Flag;
        ~CReset() { Flag = false; }
    } reset{m_filtering};

    const auto state = EditFilter::Read(m_name);
    if (!EditFilter::IsModified(m_name))
    {
        m_acceptedName = state.Text;
        return;
    }
    // Spaces count only after the first other character: leading ones go.
    const auto filtered = EditFilter::Filter(state.Text, [](char character, std::string_view kept) {
        if (IsNameCharacter(character))
            return character;
        return character == ' ' && kept.find_first_not_of(' ') != std::string_view::npos ? character : '\0';
    });
    if (filtered.Kept.size() > NAME_LIMIT)
    {
        // Refused: the text from before the change comes back (the edit's own
        // undo repeats itself on a second refusal at the same place).
        SetWindowTextA(m_name, m_acceptedName.c_str());
    }
    else if (EqualsIgnoringCase(TrimTrailingSpaces(filtered.Kept), "all"))
    {
        // "All" admits every device and is never stored.
        EnableWindow(Item(IDOK), FALSE);
        m_acceptedName = state.Text;
    }
    else
    {
        m_acceptedName = filtered.Kept;
        SetWindowTextA(m_name, m_acceptedName.c_str());
        EnableWindow(Item(IDOK), !m_acceptedName.empty());
    }
    EditFilter::RestoreSelection(m_name, state, filtered.Removed);
}

void CConfigurationEditDlg::OnOk()
{
    const std::string name = TrimTrailingSpaces(EditFilter::GetText(m_name, CConfigurationHandler::MAX_NAME_LENGTH));
    if (name.empty())
        return;
    CConfigurationHandler configurations(m_options);
    const bool renamed = m_editMode && !EqualsIgnoringCase(name, m_startingName);
    const bool exists = (!m_editMode || renamed) && configurations.ConfigurationExists(name);
    if (exists)
    {
        const long button = Question::Ask(Question::Format(OVERWRITE_QUESTION, name),
                                          Texts::GetString(WARNING_CAPTION), MB_YESNOCANCEL | MB_ICONEXCLAMATION);
        if (button == IDNO)
        {
            End(IDCANCEL);
            return;
        }
        if (button != IDYES)
            return;
    }
    if (renamed)
        configurations.DeleteConfiguration(m_startingName);
    Save(name);
    End(IDOK);
}

void CConfigurationEditDlg::Save(const std::string& name)
{
    const CConfigurationHandler configurations(m_options);
    std::string devices;
    const auto count = SendMessageA(m_devices, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index)
    {
        if (SendMessageA(m_devices, LB_GETSEL, static_cast<WPARAM>(index), 0) <= 0)
            continue;
        const LRESULT data = SendMessageA(m_devices, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
        devices += std::to_string(static_cast<std::uint32_t>(data)) + ',';
    }
    // No device chosen: the configuration of that name goes, and the current
    // configuration stays what it was.
    if (devices.empty())
    {
        configurations.DeleteConfiguration(name);
        return;
    }
    configurations.SaveConfiguration(name, devices);
    m_options->SetConfiguration(name);
}
