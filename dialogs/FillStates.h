#pragma once
// The check states of a tree node and how a parent's state follows from its
// children's; and, while the Configure tree is filled, the states of folders
// and devices worked out from the nodes as they are appended. Asking the tree
// instead costs, on some systems, time in proportion to its size per question.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <unordered_map>
#include <vector>

namespace NodeState {

constexpr int NONE = 0;
constexpr int UNCHECKED = 1;
constexpr int CHECKED = 2;
constexpr int PARTIAL = 4;

// The state of a parent whose children's values, OR-ed, give `bits`
// (never 0 for a parent with children).
constexpr int Combine(int bits)
{
    if ((bits & (CHECKED | PARTIAL)) == 0)
        return UNCHECKED;
    if ((bits & (UNCHECKED | PARTIAL)) == 0)
        return CHECKED;
    return PARTIAL;
}

} // namespace NodeState

class CFillStates
{
public:
    // A device node, appended unchecked; its earlier nodes are forgotten.
    void Start(HTREEITEM device);
    bool IsActive() const { return !m_nodes.empty(); }
    // A node appended below `parent` with the state it was given.
    void Add(HTREEITEM node, HTREEITEM parent, bool registerNode, int state);
    // Calls `set` for each folder and for the device whose state is not the
    // unchecked one it was appended with, then forgets the nodes. A register
    // keeps its own state; a device without registers stays unchecked.
    void Finish(const std::function<void(HTREEITEM node, int state)>& set);
    // Forgets the nodes of a fill that did not finish.
    void Clear();

private:
    struct CNode
    {
        HTREEITEM Node;
        std::size_t Parent;
        bool Register;
        int State;
        int ChildBits = 0; // the children's values, OR-ed
    };
    std::vector<CNode> m_nodes; // in the order appended: parents before their children
    std::unordered_map<HTREEITEM, std::size_t> m_index;
};
