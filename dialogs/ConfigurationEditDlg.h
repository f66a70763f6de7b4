#pragma once
// The Configuration Editor: creates a named configuration (add mode) or
// changes the current one (edit mode) from a name and the chosen devices,
// and writes it to the settings file at once.

#include "data/DataContainer.h"
#include "data/Options.h"
#include "dialogs/HasHelp.h"
#include "dialogs/ModalDialog.h"
#include "resources/resource.h"

#include <exception>
#include <string>

class CConfigurationEditDlg final : public CModalDialogImpl<CConfigurationEditDlg>,
                                    public CHasHelp<CConfigurationEditDlg, 14>
{
public:
    static constexpr UINT IDD = IDD_CONFIGURATION_EDIT;
    static constexpr std::size_t NAME_LIMIT = 100;

    // Neither pointer is owned.
    CConfigurationEditDlg(COptions* options, CDataContainer* data, bool editMode)
        : m_options(options), m_data(data), m_editMode(editMode)
    {
    }

    // Runs the editor: IDOK, or IDCANCEL (also for No in the overwrite
    // question). A failure while it runs (the settings file, the question,
    // missing options) closes the editor and is raised from here as a
    // CResultError once its window is gone, for the caller to report; no
    // exception ever crosses the dialog manager.
    INT_PTR DoModal(HWND parent);

    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    friend class CModalDialogImpl<CConfigurationEditDlg>;
    BOOL OnInitDialog();
    void OnNameChanged();
    void OnOk();
    void Save(const std::string& name);

    COptions* m_options;
    CDataContainer* m_data;
    const bool m_editMode;
    std::string m_startingName;
    HWND m_name = nullptr;
    HWND m_devices = nullptr;
    std::string m_acceptedName; // what a refused change puts back
    bool m_filtering = false;   // our own rewrite of the name is not typing
    std::exception_ptr m_failure;
};
