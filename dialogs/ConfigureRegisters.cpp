// The "Add Registers" group of the Configure dialog: the device, name,
// address and size of a register of the user's own, and adding, editing and
// deleting such registers.
#include "dialogs/ConfigureDlg.h"

#include "data/CheckedResult.h"
#include "data/ResultCodes.h"
#include "dialogs/EditFilter.h"

#include <cctype>
#include <cstdio>

namespace {

constexpr std::size_t NAME_LIMIT = 100;
constexpr std::size_t ADDRESS_LIMIT = 8;
constexpr std::size_t SIZE_DIGITS_LIMIT = 4;
constexpr std::uint32_t LARGEST_SIZE = 128;
constexpr std::uint32_t CHANGE_ADDRESS = 1;
constexpr std::uint32_t CHANGE_LENGTH = 4;
constexpr const char* NOT_PATH_CACHE = "notpathcache";

bool IsNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}

// The number at the start of a text in base 16 or 10, as "%X" and "%u" read
// it: leading blanks skipped, digits up to the first other character; 0
// without a digit. Values beyond 32 bits keep their low bits.
std::uint32_t ScanNumber(const std::string& text, unsigned base)
{
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    std::uint32_t value = 0;
    for (; at < text.size(); ++at)
    {
        const auto c = static_cast<unsigned char>(text[at]);
        unsigned digit = 0;
        if (std::isdigit(c))
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && std::isxdigit(c))
            digit = static_cast<unsigned>(std::toupper(c) - 'A' + 10);
        else
            break;
        value = value * base + digit;
    }
    return value;
}

std::string FormatNumber(const char* format, std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(value));
    return text;
}

} // namespace

void CConfigureDlg::FocusItem(int id)
{
    SendMessageW(GetWindow(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void CConfigureDlg::UpdateRegisterButtons()
{
    const std::string size = EditFilter::GetText(m_size);
    const bool complete = !EditFilter::GetText(m_name).empty() && !EditFilter::GetText(m_address).empty() &&
                          !size.empty() && ScanNumber(size, 10) != 0;
    EnableWindow(Item(IDC_CFG_REGISTER_EDIT), (m_registerButtons & EDIT_ALLOWED) && m_userRegisterChosen);
    EnableWindow(Item(IDC_CFG_REGISTER_ADD), (m_registerButtons & NAME_FREE) && complete);
    EnableWindow(Item(IDC_CFG_REGISTER_DELETE), (m_registerButtons & DELETE_ALLOWED) != 0);
}

std::int32_t CConfigureDlg::GetChosenDeviceId() const
{
    const auto entry = SendMessageW(m_deviceCombo, CB_GETCURSEL, 0, 0);
    if (entry == CB_ERR)
        RaiseResult(Vx::E_INVALID_INDEX);
    return static_cast<std::int32_t>(SendMessageW(m_deviceCombo, CB_GETITEMDATA, static_cast<WPARAM>(entry), 0));
}

void CConfigureDlg::CheckName(const std::string& name)
{
    if (!m_data)
        RaiseResult(Vx::E_INVALID_POINTER);
    if (m_data->FindRegisterByName(GetChosenDeviceId(), name))
        m_registerButtons &= ~NAME_FREE;
    else
        m_registerButtons |= NAME_FREE;
}

void CConfigureDlg::ChooseDevice(std::int32_t deviceId)
{
    const auto count = SendMessageW(m_deviceCombo, CB_GETCOUNT, 0, 0);
    for (LRESULT entry = 0; entry < count; ++entry)
    {
        if (static_cast<std::int32_t>(SendMessageW(m_deviceCombo, CB_GETITEMDATA, static_cast<WPARAM>(entry), 0)) ==
            deviceId)
        {
            SendMessageW(m_deviceCombo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
            OnDeviceChanged();
            return;
        }
    }
}

void CConfigureDlg::OnDeviceChanged()
{
    m_userRegisterChosen = false;
    m_editMode = false;
    Guarded([this] { CheckName(EditFilter::GetText(m_name, 255)); });
    UpdateRegisterButtons();
}

void CConfigureDlg::OnNameChanged()
{
    m_userRegisterChosen = false;
    m_editMode = false;
    const EditFilter::CEditState state = EditFilter::Read(m_name);
    const auto filtered =
        EditFilter::Filter(state.Text, [](char c, std::string_view) { return IsNameCharacter(c) ? c : '\0'; });
    Guarded([&] {
        if (filtered.Kept.size() <= NAME_LIMIT)
        {
            m_acceptedName.Accept(filtered.Kept);
            if (filtered.Removed > 0)
                SetWindowTextA(m_name, filtered.Kept.c_str());
            CheckName(filtered.Kept);
        }
        else
        {
            m_acceptedName.Refuse(m_name);
        }
        EditFilter::RestoreSelection(m_name, state, filtered.Removed);
    });
    UpdateRegisterButtons();
}

void CConfigureDlg::FilterNumberField(HWND edit, EditFilter::CAcceptedText& accepted, char (*keep)(char),
                                      const std::function<bool(const std::string&)>& fits,
                                      const std::function<void(const CRegisterData&, const std::string&)>& apply)
{
    if (!EditFilter::IsModified(edit))
    {
        // The program set the text: that is what a refused change goes back to.
        accepted.Accept(EditFilter::GetText(edit, 255));
        UpdateRegisterButtons();
        return;
    }
    const EditFilter::CEditState state = EditFilter::Read(edit);
    const auto filtered = EditFilter::Filter(state.Text, [keep](char c, std::string_view) { return keep(c); });
    Guarded([&] {
        if (fits(filtered.Kept))
        {
            accepted.Accept(filtered.Kept);
            SetWindowTextA(edit, filtered.Kept.c_str());
            if (const CRegisterData* record = m_editMode ? GetNodeRecord(TreeView_GetSelection(m_tree)) : nullptr)
                apply(*record, filtered.Kept);
        }
        else
        {
            accepted.Refuse(edit);
        }
        EditFilter::RestoreSelection(edit, state, filtered.Removed);
    });
    UpdateRegisterButtons();
}

void CConfigureDlg::OnAddressChanged()
{
    FilterNumberField(
        m_address, m_acceptedAddress,
        [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) ? static_cast<char>(std::toupper(c)) : '\0'; },
        [](const std::string& text) { return text.size() <= ADDRESS_LIMIT; },
        [this](const CRegisterData& record, const std::string& text) {
            m_data->ModifyRegister(record.GetDeviceID(), record.GetId(), ScanNumber(text, 16), {}, 0, CHANGE_ADDRESS);
        });
}

void CConfigureDlg::OnSizeChanged()
{
    FilterNumberField(
        m_size, m_acceptedSize, [](char c) { return std::isdigit(static_cast<unsigned char>(c)) ? c : '\0'; },
        [](const std::string& text) { return text.size() <= SIZE_DIGITS_LIMIT && ScanNumber(text, 10) <= LARGEST_SIZE; },
        [this](const CRegisterData& record, const std::string& text) {
            const std::uint32_t value = ScanNumber(text, 10);
            m_data->ModifyRegister(record.GetDeviceID(), record.GetId(), 0, {},
                                   static_cast<std::int32_t>(value == 0 ? 1 : value), CHANGE_LENGTH);
        });
}

void CConfigureDlg::ShowNode(HTREEITEM node)
{
    m_registerButtons = 0;
    Guarded([&] {
        if (const CRegisterData* record = GetNodeRecord(node))
        {
            ChooseDevice(record->GetDeviceID());
            SetWindowTextA(m_name, record->GetName().c_str());
            SetWindowTextA(m_address, FormatNumber("%X", record->GetAddress()).c_str());
            SetWindowTextA(m_size, FormatNumber("%u", static_cast<std::uint32_t>(record->GetLength())).c_str());
            m_userRegisterChosen = record->GetUserAdded() != 0;
            if (m_userRegisterChosen)
                m_registerButtons |= EDIT_ALLOWED | DELETE_ALLOWED;
        }
        else
        {
            if (!m_data)
                RaiseResult(Vx::E_INVALID_POINTER);
            ChooseDevice(m_data->GetDeviceIDByName(GetNodeText(GetTopLevelNode(node))));
        }
    });
    UpdateRegisterButtons();
}

void CConfigureDlg::OnStartEditMode()
{
    if (const HTREEITEM node = TreeView_GetSelection(m_tree))
    {
        ShowNode(node);
        m_editMode = true;
        m_registerButtons &= ~EDIT_ALLOWED;
        FocusItem(IDC_CFG_REGISTER_EDIT);
    }
    UpdateRegisterButtons();
}

void CConfigureDlg::OnAddRegister()
{
    Guarded([this] {
        if (!m_data)
            RaiseResult(Vx::E_INVALID_POINTER);
        const std::string name = EditFilter::GetText(m_name);
        const std::uint32_t address = ScanNumber(EditFilter::GetText(m_address), 16);
        const std::uint32_t length = ScanNumber(EditFilter::GetText(m_size), 10);
        const std::int32_t deviceId = GetChosenDeviceId();
        CRegisterData& record = m_data->AddRegister(deviceId, address, name, {},
                                                    static_cast<std::int32_t>(length == 0 ? 1 : length), 1,
                                                    CRegisterData::USER_OPERATIONS, GUID_NULL);
        m_cachedPath = NOT_PATH_CACHE;
        m_cachedNode = nullptr;
        if (const HTREEITEM deviceNode = FindDeviceNode(deviceId))
        {
            if (const HTREEITEM node = InsertRegisterNode(record, deviceNode))
            {
                TreeView_SelectItem(m_tree, node);
                TreeView_Expand(m_tree, node, TVE_EXPAND);
                SetFocus(m_tree);
                RecomputeDeviceStates(node);
            }
        }
    });
    FocusItem(IDC_CFG_REGISTER_ADD);
}

void CConfigureDlg::OnDeleteRegister()
{
    Guarded([this] {
        const HTREEITEM node = TreeView_GetSelection(m_tree);
        const CRegisterData* record = GetNodeRecord(node);
        if (!record)
            return;
        if (record->GetUserAdded())
        {
            m_data->RemoveRegister(record->GetDeviceID(), record->GetId());
            if (!m_mirror.Next(node))
            {
                if (const HTREEITEM previous = m_mirror.Previous(node))
                    TreeView_SelectItem(m_tree, previous);
            }
            ForgetNode(node);
            TreeView_DeleteItem(m_tree, node);
            m_mirror.Remove(node);
        }
        RecomputeDeviceStates(TreeView_GetSelection(m_tree));
        FocusItem(IDC_CFG_REGISTER_DELETE);
    });
}
