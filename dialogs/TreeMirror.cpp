#include "dialogs/TreeMirror.h"

#include <vector>

void CTreeMirror::Append(HTREEITEM node, HTREEITEM parent, CRegisterData* record, int state)
{
    CLinks links;
    links.Record = record;
    links.State = state;
    const auto owner = parent == TVI_ROOT ? m_links.end() : m_links.find(parent);
    HTREEITEM& first = owner == m_links.end() ? m_firstRoot : owner->second.FirstChild;
    HTREEITEM& last = owner == m_links.end() ? m_lastRoot : owner->second.LastChild;
    links.Parent = owner == m_links.end() ? nullptr : parent;
    links.Previous = last;
    if (last)
        m_links[last].Next = node;
    else
        first = node;
    last = node;
    m_links[node] = links;
}

void CTreeMirror::Remove(HTREEITEM node)
{
    const auto found = m_links.find(node);
    if (found == m_links.end())
        return;
    const CLinks links = found->second;
    const auto owner = links.Parent ? m_links.find(links.Parent) : m_links.end();
    HTREEITEM& first = owner == m_links.end() ? m_firstRoot : owner->second.FirstChild;
    HTREEITEM& last = owner == m_links.end() ? m_lastRoot : owner->second.LastChild;
    (links.Previous ? m_links[links.Previous].Next : first) = links.Next;
    (links.Next ? m_links[links.Next].Previous : last) = links.Previous;

    std::vector<HTREEITEM> pending{node};
    while (!pending.empty())
    {
        const HTREEITEM current = pending.back();
        pending.pop_back();
        for (HTREEITEM child = FirstChild(current); child; child = Next(child))
            pending.push_back(child);
        m_links.erase(current);
    }
}

void CTreeMirror::Clear()
{
    m_links.clear();
    m_firstRoot = m_lastRoot = nullptr;
}

void CTreeMirror::SetState(HTREEITEM node, int state)
{
    if (const auto found = m_links.find(node); found != m_links.end())
        found->second.State = state;
}
