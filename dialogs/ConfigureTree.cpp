// The register tree of the Configure dialog: filling it from the container,
// the check toggles with their propagation and aggregation, and the commit
// of the check states into the container.
#include "dialogs/ConfigureDlg.h"

#include "data/CheckedResult.h"
#include "data/ConfigurationHandler.h"
#include "data/ResultCodes.h"
#include "dialogs/WaitCursor.h"
#include "frame/NoRedraw.h"

#include <algorithm>
#include <string_view>

namespace {

// Cached path texts that no register path equals.
constexpr const char* NOT_CACHED = "notcachedyet";
constexpr const char* USER_PREFIX = "* ";

} // namespace

int CConfigureDlg::GetNodeState(HTREEITEM node) const
{
    return m_mirror.State(node);
}

void CConfigureDlg::SetNodeState(HTREEITEM node, int state)
{
    // The tree is asked to change only what changes: a device of thousands
    // of nodes is aggregated after every click.
    if (m_mirror.State(node) == state)
        return;
    m_mirror.SetState(node, state);
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    item.hItem = node;
    item.iImage = item.iSelectedImage = state;
    item.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(state));
    item.stateMask = TVIS_STATEIMAGEMASK;
    SendMessageW(m_tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

CRegisterData* CConfigureDlg::GetNodeRecord(HTREEITEM node) const
{
    return m_mirror.Record(node);
}

std::string CConfigureDlg::GetNodeText(HTREEITEM node) const
{
    // Node texts are register names or path components, far below this.
    std::string text(1024, '\0');
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = node;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    if (!SendMessageA(m_tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return {};
    text.resize(std::string_view(text.c_str()).size());
    return text;
}

void CConfigureDlg::MakeBold(HTREEITEM node)
{
    TreeView_SetItemState(m_tree, node, TVIS_BOLD, TVIS_BOLD);
}

HTREEITEM CConfigureDlg::AppendNode(HTREEITEM parent, const std::string& text, int state, CRegisterData* record,
                                     bool bold)
{
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = insert.item.iSelectedImage = state;
    insert.item.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(state)) | (bold ? TVIS_BOLD : 0);
    insert.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD;
    insert.item.lParam = reinterpret_cast<LPARAM>(record);
    const auto node = reinterpret_cast<HTREEITEM>(
        SendMessageA(m_tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (node)
        m_mirror.Append(node, parent, record, state);
    if (node && parent != TVI_ROOT)
    {
        if (const auto index = m_childIndex.find(parent); index != m_childIndex.end())
            index->second.emplace(text, node); // the first of a text stays
    }
    return node;
}

HTREEITEM CConfigureDlg::FindChildByText(HTREEITEM parent, const std::string& text)
{
    auto index = m_childIndex.find(parent);
    if (index == m_childIndex.end())
    {
        index = m_childIndex.emplace(parent, std::unordered_map<std::string, HTREEITEM>{}).first;
        for (HTREEITEM child = m_mirror.FirstChild(parent); child; child = m_mirror.Next(child))
            index->second.emplace(GetNodeText(child), child);
    }
    const auto found = index->second.find(text);
    return found == index->second.end() ? nullptr : found->second;
}

void CConfigureDlg::DeleteAllNodes()
{
    m_childIndex.clear();
    m_cachedPath = NOT_CACHED;
    m_cachedNode = nullptr;
    m_boldDevice = nullptr;
    SendMessageW(m_tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    m_mirror.Clear();
}

void CConfigureDlg::ForgetNode(HTREEITEM node)
{
    // Handles of deleted nodes may come back for new ones: nothing may keep them.
    if (m_mirror.FirstChild(node))
        m_childIndex.clear();
    else if (const HTREEITEM parent = m_mirror.Parent(node))
        m_childIndex.erase(parent);
    m_childIndex.erase(node);
    m_cachedPath = NOT_CACHED;
    m_cachedNode = nullptr;
    if (m_boldDevice == node)
        m_boldDevice = nullptr;
    std::erase(m_changedItems, node);
    if (m_expandedSet.erase(node))
        std::erase(m_expandedParents, node);
}

void CConfigureDlg::FillTree()
{
    const CNoRedraw noRedraw(m_tree);
    Guarded([this] {
        if (!m_options || !m_data)
            RaiseResult(Vx::E_INVALID_POINTER);
        SendMessageW(m_deviceCombo, CB_RESETCONTENT, 0, 0);
        CConfigurationHandler configurations(m_options);
        configurations.LoadNames();
        configurations.LoadDeviceList();
        const bool all = m_options->GetConfiguration() == COptions::ALL_CONFIGURATION;

        for (int i = 0; i < m_data->GetDeviceCount(); ++i)
        {
            const std::int32_t deviceId = m_data->GetDeviceID(i);
            m_cachedPath = NOT_CACHED;
            m_cachedNode = nullptr;
            if (!all && !configurations.IsDeviceInConfiguration(deviceId))
                continue;
            const std::string& name = m_data->GetDeviceName(deviceId);
            if (m_data->GetUserRegisterFlag(deviceId) != 0)
            {
                const auto entry = SendMessageA(m_deviceCombo, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(name.c_str()));
                SendMessageA(m_deviceCombo, CB_SETITEMDATA, static_cast<WPARAM>(entry), deviceId);
            }
            SendMessageA(m_deviceCombo, CB_SETCURSEL, 0, 0);

            const HTREEITEM deviceNode = AppendNode(TVI_ROOT, name, STATE_UNCHECKED, nullptr);
            if (!deviceNode)
                RaiseResult(Vx::E_INSERT_FAILURE);
            const int count = m_data->GetRegisterCount(deviceId);
            for (int j = 0; j < count; ++j)
                InsertRegisterNode(m_data->GetRegister(deviceId, j), deviceNode);
            RecomputeDeviceStates(deviceNode);
        }
    });
    SendMessageW(m_tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(m_mirror.FirstRoot()));
}

HTREEITEM CConfigureDlg::ResolvePath(const std::string& path, HTREEITEM deviceNode)
{
    HTREEITEM parent = deviceNode;
    std::string_view rest = path;
    for (;;)
    {
        const std::size_t slash = rest.find('/');
        const std::string component(rest.substr(0, slash));
        if (!component.empty())
        {
            HTREEITEM child = FindChildByText(parent, component);
            // Every folder is bold, and from the start: making it bold
            // afterwards costs a redraw computation per folder.
            if (!child && !(child = AppendNode(parent, component, STATE_UNCHECKED, nullptr, true)))
                RaiseResult(Vx::E_INSERT_FAILURE);
            parent = child;
        }
        if (slash == std::string_view::npos)
            break;
        rest.remove_prefix(slash + 1);
    }
    return parent;
}

HTREEITEM CConfigureDlg::InsertRegisterNode(CRegisterData& record, HTREEITEM deviceNode)
{
    if (deviceNode && deviceNode != m_boldDevice)
    {
        MakeBold(deviceNode);
        m_boldDevice = deviceNode;
    }
    const std::string& path = record.GetSecondText();
    if (!m_cachedNode || path != m_cachedPath)
    {
        m_cachedNode = ResolvePath(path, deviceNode);
        m_cachedPath = path;
    }
    const std::string text = record.GetUserAdded() ? USER_PREFIX + record.GetName() : record.GetName();
    const int state = record.State == STATE_CHECKED ? STATE_CHECKED : STATE_UNCHECKED;
    const HTREEITEM node = AppendNode(m_cachedNode, text, state, &record);
    if (!node)
        RaiseResult(Vx::E_INSERT_FAILURE);
    if (state == STATE_CHECKED && m_options && m_options->GetShowSelection())
    {
        for (HTREEITEM parent = m_mirror.Parent(node); parent; parent = m_mirror.Parent(parent))
            TreeView_Expand(m_tree, parent, TVE_EXPAND);
    }
    return node;
}

HTREEITEM CConfigureDlg::FindDeviceNode(std::int32_t deviceId) const
{
    for (HTREEITEM node = m_mirror.FirstRoot(); node; node = m_mirror.Next(node))
    {
        try
        {
            if (m_data && m_data->GetDeviceIDByName(GetNodeText(node)) == deviceId)
                return node;
        }
        catch (const CResultError&)
        {
            // A root node whose text names no device is not the one.
        }
    }
    return nullptr;
}

HTREEITEM CConfigureDlg::GetTopLevelNode(HTREEITEM node) const
{
    while (const HTREEITEM parent = m_mirror.Parent(node))
        node = parent;
    return node;
}

void CConfigureDlg::OnTreeClick()
{
    DWORD position = GetMessagePos();
    TVHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ScreenToClient(m_tree, &hit.pt);
    const auto node =
        reinterpret_cast<HTREEITEM>(SendMessageW(m_tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (node && (hit.flags & TVHT_ONITEMICON) && m_options)
        ToggleNode(node, true);
    else if (node && (hit.flags & TVHT_ONITEMLABEL))
        ShowNode(node);
    UpdateRegisterButtons();
}

void CConfigureDlg::OnTreeKeyDown(const NMTVKEYDOWN& key)
{
    if (key.wVKey != VK_SPACE || !m_options)
        return;
    if (const HTREEITEM node = TreeView_GetSelection(m_tree))
        ToggleNode(node, false);
}

void CConfigureDlg::ToggleNode(HTREEITEM node, bool byMouse)
{
    const int old = GetNodeState(node);
    const int state = old == STATE_CHECKED || old == STATE_PARTIAL ? STATE_UNCHECKED : STATE_CHECKED;
    SetNodeState(node, state);
    if (byMouse)
        TreeView_SelectItem(m_tree, node);
    m_changedItems.push_back(node);
    if (m_mirror.FirstChild(node) && (m_options->GetRecursiveSelect() || !GetNodeRecord(node)))
    {
        // Hundreds of changed nodes on screen would each invalidate themselves.
        const CUpdateFreeze freeze(m_tree);
        AddExpandedParent(node);
        PropagateState(node, state);
    }
    RecomputeDeviceStates(node);
}

void CConfigureDlg::PropagateState(HTREEITEM node, int state)
{
    for (HTREEITEM child = m_mirror.FirstChild(node); child; child = m_mirror.Next(child))
    {
        SetNodeState(child, state);
        if (m_mirror.FirstChild(child))
        {
            AddExpandedParent(child);
            PropagateState(child, state);
        }
    }
}

void CConfigureDlg::AddExpandedParent(HTREEITEM node)
{
    if (m_expandedSet.insert(node).second)
        m_expandedParents.push_back(node);
}

void CConfigureDlg::ClearExpandedParents()
{
    m_expandedParents.clear();
    m_expandedSet.clear();
}

int CConfigureDlg::Aggregate(HTREEITEM first)
{
    int bits = 0;
    for (HTREEITEM node = first; node; node = m_mirror.Next(node))
    {
        int value = STATE_UNCHECKED;
        const bool isRegister = GetNodeRecord(node) != nullptr;
        if (const HTREEITEM child = m_mirror.FirstChild(node))
        {
            value = Aggregate(child);
            if (!isRegister)
                SetNodeState(node, value);
            // A checked register with unchecked children counts as both.
            value |= GetNodeState(node);
        }
        else if (isRegister)
        {
            value = GetNodeState(node);
        }
        bits |= value;
    }
    return bits == 0 ? STATE_NONE : NodeState::Combine(bits);
}

void CConfigureDlg::RecomputeDeviceStates(HTREEITEM node)
{
    if (!node)
        return;
    const HTREEITEM device = GetTopLevelNode(node);
    const int state = Aggregate(m_mirror.FirstChild(device));
    // A device without registers keeps its empty box rather than the blank
    // image of "no state", so that it still looks like something to click.
    SetNodeState(device, state == STATE_NONE ? STATE_UNCHECKED : state);
}

void CConfigureDlg::Commit()
{
    const CWaitCursor wait;
    Guarded([this] {
        for (const HTREEITEM parent : m_expandedParents)
        {
            for (HTREEITEM child = m_mirror.FirstChild(parent); child; child = m_mirror.Next(child))
                m_changedItems.push_back(child);
        }
        ClearExpandedParents();
        std::size_t applied = 0;
        for (; applied < m_changedItems.size(); ++applied)
        {
            const HTREEITEM node = m_changedItems[applied];
            if (const CRegisterData* record = GetNodeRecord(node))
            {
                if (!m_data)
                    RaiseResult(Vx::E_INVALID_POINTER);
                const HRESULT hr = m_data->SetRegisterState(record->GetDeviceID(), record->GetId(), GetNodeState(node));
                if (FAILED(hr))
                {
                    // What is not applied stays for the next commit.
                    m_changedItems.erase(m_changedItems.begin(),
                                         m_changedItems.begin() + static_cast<std::ptrdiff_t>(applied));
                    RaiseResult(hr);
                }
            }
        }
        m_changedItems.clear();
    });
}
