// The Options command: the Options dialog over the control's option settings.
#include "control/Status.h"
#include "control/Vexil2UI.h"
#include "data/CheckedResult.h"
#include "dialogs/OptionsDlg.h"

BOOL CVexil2UI::OnOptions(WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    try
    {
        RememberSelection();
        CStatus status(m_statusBar, "Changing options");
        COptionsDlg dialog(&m_options);
        if (dialog.DoModal(GetControlWindow()) == IDOK)
            ApplyOptions();
    }
    catch (const CResultError& error)
    {
        ShowError(error.GetCode());
    }
    return TRUE;
}
