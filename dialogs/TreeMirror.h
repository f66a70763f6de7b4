#pragma once
// The Configure tree's shape, records and check states, kept beside the tree
// view as nodes are appended, changed and deleted. Walking the tree and
// reading states go here instead of to the tree view: on some systems every
// question to a tree view costs time in proportion to its number of nodes,
// which makes a click on a device of thousands of registers take seconds.

#include <windows.h>

#include <commctrl.h>

#include <unordered_map>

class CRegisterData;

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

class CTreeMirror
{
public:
    // A node appended as the last child of `parent` (TVI_ROOT: a top-level node).
    void Append(HTREEITEM node, HTREEITEM parent, CRegisterData* record, int state);
    // Forgets the node and everything below it.
    void Remove(HTREEITEM node);
    void Clear();

    // Null (or state 0) for a null or unknown node.
    HTREEITEM FirstRoot() const { return m_firstRoot; }
    HTREEITEM Parent(HTREEITEM node) const { return Get(node, &CLinks::Parent); }
    HTREEITEM FirstChild(HTREEITEM node) const { return Get(node, &CLinks::FirstChild); }
    HTREEITEM Next(HTREEITEM node) const { return Get(node, &CLinks::Next); }
    HTREEITEM Previous(HTREEITEM node) const { return Get(node, &CLinks::Previous); }
    CRegisterData* Record(HTREEITEM node) const { return Get(node, &CLinks::Record); }
    int State(HTREEITEM node) const { return Get(node, &CLinks::State); }
    void SetState(HTREEITEM node, int state);

private:
    struct CLinks
    {
        HTREEITEM Parent = nullptr;
        HTREEITEM FirstChild = nullptr;
        HTREEITEM LastChild = nullptr;
        HTREEITEM Next = nullptr;
        HTREEITEM Previous = nullptr;
        CRegisterData* Record = nullptr;
        int State = NodeState::NONE;
    };
    // The node's field, or an empty one for a null or unknown node.
    template <class Field> Field Get(HTREEITEM node, Field CLinks::*field) const
    {
        const auto found = node ? m_links.find(node) : m_links.end();
        return found == m_links.end() ? Field{} : found->second.*field;
    }

    std::unordered_map<HTREEITEM, CLinks> m_links;
    HTREEITEM m_firstRoot = nullptr;
    HTREEITEM m_lastRoot = nullptr;
};
