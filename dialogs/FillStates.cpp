#include "dialogs/FillStates.h"

void CFillStates::Start(HTREEITEM device)
{
    Clear();
    m_nodes.push_back({device, 0, false, NodeState::UNCHECKED});
    m_index.emplace(device, 0);
}

void CFillStates::Add(HTREEITEM node, HTREEITEM parent, bool registerNode, int state)
{
    const auto found = m_index.find(parent);
    if (found == m_index.end())
        return; // not below the device being filled
    m_nodes.push_back({node, found->second, registerNode, state});
    m_index.emplace(node, m_nodes.size() - 1);
}

void CFillStates::Finish(const std::function<void(HTREEITEM node, int state)>& set)
{
    // Backwards, every child is done before its parent.
    for (std::size_t i = m_nodes.size(); i-- > 1;)
    {
        CNode& node = m_nodes[i];
        int value = node.Register ? node.State : NodeState::UNCHECKED;
        if (node.ChildBits != 0)
        {
            const int combined = NodeState::Combine(node.ChildBits);
            if (!node.Register && combined != node.State)
                set(node.Node, combined);
            // A checked register with unchecked children counts as both.
            value = node.Register ? combined | node.State : combined;
        }
        m_nodes[node.Parent].ChildBits |= value;
    }
    if (!m_nodes.empty() && m_nodes[0].ChildBits != 0)
    {
        const int device = NodeState::Combine(m_nodes[0].ChildBits);
        if (device != m_nodes[0].State)
            set(m_nodes[0].Node, device);
    }
    Clear();
}

void CFillStates::Clear()
{
    m_nodes.clear();
    m_index.clear();
}
