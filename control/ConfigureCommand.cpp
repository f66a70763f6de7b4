// The Configure command: the Configure dialog works on the live options and
// container, so the command first keeps a backup of the user's registers,
// the selections and "Vexil2.ini" in temporary files, and puts it back
// unless the dialog ends with OK.
#include "control/Vexil2UI.h"

#include "control/TempPath.h"
#include "data/CheckedResult.h"
#include "data/ResultCodes.h"
#include "dialogs/ConfigureDlg.h"
#include "platform/Platform.h"

#include <array>
#include <cstring>

namespace {

// Paths are kept to 255 characters, the temporary directory asked for with
// room for that many.
constexpr std::size_t PATH_LIMIT = 255;
constexpr const char* TEMPORARY_PREFIX = "reg";

std::string GetTemporaryDirectory()
{
    std::array<char, PATH_LIMIT + 1> buffer{};
    const DWORD length = TempPath::Get(static_cast<DWORD>(PATH_LIMIT), buffer.data());
    if (length == 0 || length > PATH_LIMIT)
        RaiseResult(Vx::E_TEMP_PATH);
    return std::string(buffer.data(), length);
}

// An empty file with a name that the system chose.
std::string CreateTemporaryFile(const std::string& directory)
{
    // The system writes up to MAX_PATH characters; a longer name than we keep is refused.
    std::array<char, MAX_PATH + 1> buffer{};
    if (!GetTempFileNameA(directory.c_str(), TEMPORARY_PREFIX, 0, buffer.data()))
        RaiseResult(Vx::E_TEMP_FILE_NAME);
    const std::string name(buffer.data());
    if (name.size() > PATH_LIMIT)
    {
        DeleteFileA(name.c_str());
        RaiseResult(Vx::E_TEMP_FILE_NAME);
    }
    return name;
}

// Copies over the destination; a failure is not reported: the destination
// then keeps what it has, byte for byte (a plain copy cuts it on a full disk).
void CopyOver(const std::string& source, const std::string& destination)
{
    if (const auto bytes = Platform::ReadFileBytes(CDataContainer::GetFullPath(source)))
        Platform::ReplaceFileContent(CDataContainer::GetFullPath(destination), *bytes);
}

// Saving and loading the options end the command when they fail.
void RaiseOnFailure(HRESULT code)
{
    if (FAILED(code))
        RaiseResult(code);
}

} // namespace

BOOL CVexil2UI::OnConfigure(WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    try
    {
        RunConfigure();
    }
    catch (const CResultError& error)
    {
        ShowError(error.GetCode());
    }
    return TRUE;
}

void CVexil2UI::RunFileStep(const std::function<void()>& step)
{
    // A failing file step is reported at once; the command goes on.
    try
    {
        step();
    }
    catch (const CResultError& error)
    {
        ShowErrorWithNote(error.GetCode(), error.GetDetail());
    }
}

void CVexil2UI::RunConfigure()
{
    {
        const CStatus status(m_statusBar, "Saving options");
        RaiseOnFailure(m_options.Save(OPTIONS_FILE));
    }
    RememberSelection();
    CConfigureDlg dialog(&m_options, &m_data, this);

    const std::string directory = GetTemporaryDirectory();
    const std::string registers = CreateTemporaryFile(directory);
    const std::string selections = CreateTemporaryFile(directory);
    const std::string settings = CreateTemporaryFile(directory);
    RunFileStep([&] { m_data.SaveUserRegisters(registers); });
    RunFileStep([&] { m_data.SaveSelections(selections); });
    CopyOver(OPTIONS_FILE, settings);

    // The list asks for its texts when it paints, and the dialog may remove
    // registers that rows point at: no row points anywhere while it is open.
    m_rows.clear();
    ListView_SetItemCountEx(m_list, 0, LVSICF_NOSCROLL);

    INT_PTR answer = IDCANCEL;
    {
        const CStatus status(m_statusBar, "Configuring register list");
        answer = dialog.DoModal(GetControlWindow());
    }
    // The dialog may have removed registers that rows point at: however the
    // command ends from here on, the list is built anew.
    try
    {
        FinishConfigure(answer == IDOK, registers, selections, settings);
    }
    catch (const CResultError&)
    {
        FillList();
        UpdateControls();
        throw;
    }
}

void CVexil2UI::FinishConfigure(bool accepted, const std::string& registers, const std::string& selections,
                                const std::string& settings)
{
    if (accepted)
    {
        ShowStatus(Vx::MSG_READY);
        {
            // The dialog's changes are live already: a failed save is reported,
            // and the list and the user's registers still follow them.
            const CStatus status(m_statusBar, "Saving options");
            if (const HRESULT hr = m_options.Save(OPTIONS_FILE); FAILED(hr))
                ShowError(hr);
        }
        {
            const CStatus status(m_statusBar, "Adding registers to the list");
            FillList();
            UpdateControls();
        }
        const CStatus status(m_statusBar, "Saving user added registers");
        RunFileStep([&] { m_data.SaveUserRegisters(CDataContainer::USER_REGISTER_FILE); });
    }
    else
    {
        RestoreBackup(registers, selections, settings);
    }
    DeleteFileA(registers.c_str());
    DeleteFileA(selections.c_str());
    DeleteFileA(settings.c_str());
}

void CVexil2UI::RestoreBackup(const std::string& registers, const std::string& selections,
                              const std::string& settings)
{
    {
        const CStatus status(m_statusBar, "Loading options from ini file");
        RaiseOnFailure(m_options.Load(OPTIONS_FILE));
    }
    RunFileStep([&] { m_data.RemoveUserRegisters(); });
    RunFileStep([&] { m_data.ClearStates(); });
    RunFileStep([&] { m_data.LoadUserRegisters(registers); });
    RunFileStep([&] { m_data.LoadSelections(selections); });
    CopyOver(settings, OPTIONS_FILE);
    FillList();
    RestoreSelection();
}
