// The server's state: taken at start-up, followed through its one event,
// and with the running operation and the row selection deciding which
// controls are enabled.
#include "control/Vexil2UI.h"

void CVexil2UI::OnServerStateChanged(long state)
{
    m_serverReady = state;
    if (m_operationRunning)
    {
        // A read or write in progress stops after the register in progress.
        m_operationRunning = false;
        StopRepeatTimer();
    }
    else
        UpdateControls();
}

void CVexil2UI::UpdateControls()
{
    HWND window = GetControlWindow();
    if (!window)
        return;
    const bool ready = m_serverReady != 0;
    const bool idle = !m_operationRunning;
    const bool rows = GetSelectedCount() > 0;
    EnableWindow(Item(IDC_READ), ready && rows && idle);
    EnableWindow(Item(IDC_WRITE), ready && rows && idle);
    EnableWindow(Item(IDC_ABORT), ready && !idle);
    EnableWindow(Item(IDC_USE_REPEAT), ready && idle);
    EnableWindow(Item(IDC_REGISTER_LIST), idle);
    EnableWindow(Item(IDC_CONFIGURE), idle);
    EnableWindow(Item(IDC_OPTIONS), idle);
    EnableWindow(Item(IDC_LIST_GROUP), idle);
    if (idle && m_repeatNoticeShown)
    {
        // The cycle is over: the selection's text replaces the notice once
        // the scoped texts of the last pass are gone.
        m_repeatNoticeShown = false;
        SettleSelectionLater();
    }
}

BOOL CVexil2UI::OnAbort(WPARAM, LPARAM, LRESULT&)
{
    m_operationRunning = false;
    StopRepeatTimer();
    return TRUE;
}
