// The repeat cycle's text in the status line and its timer.
#include "control/Vexil2UI.h"

#include "control/Clock.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

constexpr UINT_PTR REPEAT_TIMER_ID = 5;

} // namespace

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

UINT_PTR CVexil2UI::StartRepeatTimer(UINT delay)
{
    m_repeatTimer = SetTimer(GetControlWindow(), REPEAT_TIMER_ID, delay, nullptr);
    UpdateControls();
    return m_repeatTimer;
}

BOOL CVexil2UI::OnTimer(WPARAM wParam, LPARAM, LRESULT&)
{
    if (m_repeatTimer == 0 || wParam != m_repeatTimer)
        return FALSE; // not ours
    if (!m_operationRunning)
        return TRUE;
    const DWORD start = Clock::GetTicks();
    // No timer while a pass runs: the dispatch inside the pass must not start another.
    StopRepeatTimer();
    RunOperation(m_repeatKind);
    const DWORD elapsed = Clock::GetTicks() - start; // unsigned: survives the count wrapping
    if (!m_operationRunning || !GetControlWindow()) // aborted, or the host closed the control
        return TRUE;
    // The next pass starts one period after this one started. A hand-edited
    // interval can make the period too long for 32 bits and for the timer:
    // it is capped rather than wrapped into a few milliseconds.
    const std::uint64_t period =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(std::max(m_options.GetInterval(), 0)) * 100u,
                                USER_TIMER_MAXIMUM);
    StartRepeatTimer(elapsed > period ? 1u : static_cast<UINT>(period - elapsed));
    return TRUE;
}
