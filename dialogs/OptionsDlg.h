#pragma once
// The Options dialog: the control's option settings as check boxes and the
// repeat interval. It changes the settings object only when the user presses
// OK; saving and applying them is the control's part.

#include "data/Options.h"
#include "dialogs/HasHelp.h"
#include "dialogs/ModalDialog.h"
#include "resources/resource.h"

#include <string>

class COptionsDlg final : public CModalDialogImpl<COptionsDlg>, public CHasHelp<COptionsDlg, 2>
{
public:
    static constexpr UINT IDD = IDD_OPTIONS;

    static constexpr int MIN_INTERVAL = 5;
    static constexpr int MAX_INTERVAL = 1000;

    // The options are not owned; without them the dialog ends at once with Cancel.
    explicit COptionsDlg(COptions* options) : m_options(options) {}

    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    friend class CModalDialogImpl<COptionsDlg>;
    BOOL OnInitDialog();
    void OnIntervalChanged();
    void OnOk();

    COptions* m_options;
    HWND m_interval = nullptr;
    HWND m_upDown = nullptr;
    std::string m_acceptedInterval; // what a refused change puts back
    bool m_filtering = false;       // our own rewrite of the interval is not typing
};
