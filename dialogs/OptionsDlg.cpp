#include "dialogs/OptionsDlg.h"

#include "dialogs/EditFilter.h"

#include <commctrl.h>

#include <array>
#include <cstdint>

namespace {

struct CColumnBox
{
    int Id;
    std::int32_t Bit;
};
constexpr std::array<CColumnBox, 7> COLUMN_BOXES{{
    {IDC_OPT_DECIMAL, 1},
    {IDC_OPT_HEXADECIMAL, 2},
    {IDC_OPT_BINARY, 4},
    {IDC_OPT_DEVICE, 8},
    {IDC_OPT_MASK, 16},
    {IDC_OPT_LENGTH, 32},
    {IDC_OPT_OPERATIONS, 64},
}};

struct CFlagBox
{
    int Id;
    std::int32_t (COptions::*Get)() const;
    void (COptions::*Set)(std::int32_t);
};
const std::array<CFlagBox, 5> FLAG_BOXES{{
    {IDC_OPT_REMEMBER_CONFIGURATION, &COptions::GetRememberConfiguration, &COptions::SetRememberConfiguration},
    {IDC_OPT_SEPARATE_COLUMNS, &COptions::GetSeparateColumns, &COptions::SetSeparateColumns},
    {IDC_OPT_AUTOMATIC_WIDTH, &COptions::GetAutomaticWidth, &COptions::SetAutomaticWidth},
    {IDC_OPT_AUTO_SCROLL, &COptions::GetAutoScroll, &COptions::SetAutoScroll},
    {IDC_OPT_SHOW_SELECTION, &COptions::GetShowSelection, &COptions::SetShowSelection},
}};

// The interval as a number; 0 for a text without digits.
std::int32_t ReadInterval(const std::string& text)
{
    return static_cast<std::int32_t>(Vx::ScanDecimal(text).value_or(0));
}

} // namespace

BOOL COptionsDlg::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (ProcessHelpMessage(message, wParam, lParam, result))
        return TRUE;
    return ProcessDialogBasics(message, wParam, result, IDC_OPT_INTERVAL, EN_UPDATE, &COptionsDlg::OnIntervalChanged);
}

BOOL COptionsDlg::OnInitDialog()
{
    if (!m_options)
    {
        End(IDCANCEL);
        return TRUE;
    }
    const std::int32_t interval = m_options->GetInterval();
    m_interval = Item(IDC_OPT_INTERVAL);
    m_upDown = Item(IDC_OPT_UPDOWN);
    SendMessageW(m_upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(m_interval), 0);
    SetWindowTextA(m_interval, std::to_string(interval).c_str());
    SendMessageW(m_upDown, UDM_SETRANGE32, MIN_INTERVAL, MAX_INTERVAL);
    SendMessageW(m_upDown, UDM_SETPOS32, 0, interval);

    const HWND window = GetWindow();
    for (const auto& box : COLUMN_BOXES)
        CheckDlgButton(window, box.Id, (m_options->GetColumns() & box.Bit) ? BST_CHECKED : BST_UNCHECKED);
    // The automatic-width box stays disabled as the template made it: it only
    // shows the stored value, which OK writes back unchanged.
    for (const auto& box : FLAG_BOXES)
        CheckDlgButton(window, box.Id, (m_options->*box.Get)() ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void COptionsDlg::OnIntervalChanged()
{
    if (m_filtering || !m_interval)
        return;
    m_filtering = true;
    struct CReset
    {
        bool& Flag;
        ~CReset() { Flag = false; }
    } reset{m_filtering};

    const auto state = EditFilter::Read(m_interval);
    if (EditFilter::IsModified(m_interval))
    {
        const auto filtered = EditFilter::Filter(state.Text, [](char character, std::string_view) {
            return (character >= '0' && character <= '9') ? character : '\0';
        });
        constexpr std::size_t MAX_DIGITS = 5;
        const bool accepted = filtered.Kept.size() <= MAX_DIGITS && ReadInterval(filtered.Kept) <= MAX_INTERVAL;
        if (accepted)
            m_acceptedInterval = filtered.Kept;
        // A refused change is undone by putting back the text from before it:
        // the edit's own undo would take back a whole run of typing, and it
        // repeats itself on a second refused key at the same place.
        SetWindowTextA(m_interval, m_acceptedInterval.c_str());
        EditFilter::RestoreSelection(m_interval, state, filtered.Removed);
    }
    else
    {
        m_acceptedInterval = state.Text;
    }
    // OK follows the text now in the edit, so a refused change leaves it as it was.
    EnableWindow(Item(IDOK), ReadInterval(m_acceptedInterval) >= MIN_INTERVAL);
}

void COptionsDlg::OnOk()
{
    // The whole interval text is read, not only its first four characters: a
    // value typed with a leading zero ("0100") keeps all its digits. The
    // filter keeps the text at most five digits and at most 1000.
    m_options->SetInterval(ReadInterval(EditFilter::GetText(m_interval, 255)));

    const HWND window = GetWindow();
    std::int32_t columns = 0;
    for (const auto& box : COLUMN_BOXES)
        if (IsDlgButtonChecked(window, box.Id) == BST_CHECKED)
            columns += box.Bit;
    m_options->SetColumns(columns);
    for (const auto& box : FLAG_BOXES)
        (m_options->*box.Set)(IsDlgButtonChecked(window, box.Id) == BST_CHECKED ? 1 : 0);
    End(IDOK);
}
