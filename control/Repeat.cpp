// The repeat cycle's text in the status line and its timer.
#include "control/Vexil2UI.h"

#include <cstdio>

void CVexil2UI::UpdateRepeatText()
{
    std::string text = "Repeat off";
    if (m_options.GetRepeat())
    {
        const int interval = m_options.GetInterval();
        char buffer[64];
        if (interval < 10)
            std::snprintf(buffer, sizeof buffer, "Repeat interval: %i ms", interval * 100);
        else
            std::snprintf(buffer, sizeof buffer, "Repeat interval: %.2f s", interval / 10.0);
        text = buffer;
    }
    StatusLine::SetText(m_statusBar, 1, text);
}

BOOL CVexil2UI::OnUseRepeat(WPARAM, LPARAM, LRESULT&)
{
    m_options.SetRepeat(IsDlgButtonChecked(GetControlWindow(), IDC_USE_REPEAT) == BST_CHECKED ? 1 : 0);
    UpdateRepeatText();
    return TRUE;
}

void CVexil2UI::StopRepeatTimer()
{
    if (m_repeatTimer != 0)
    {
        KillTimer(GetControlWindow(), m_repeatTimer);
        m_repeatTimer = 0;
    }
    UpdateControls();
}
