// The tree's mirror keeps order, parents and states as nodes come and go.
#include "dialogs/TreeMirror.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

HTREEITEM Handle(int n) { return reinterpret_cast<HTREEITEM>(static_cast<INT_PTR>(n * 16)); }

std::vector<HTREEITEM> Children(const CTreeMirror& mirror, HTREEITEM parent)
{
    std::vector<HTREEITEM> nodes;
    for (HTREEITEM node = parent ? mirror.FirstChild(parent) : mirror.FirstRoot(); node; node = mirror.Next(node))
        nodes.push_back(node);
    return nodes;
}

TEST(TreeMirror, KeepsTheOrderOfAppendsAndCloseGapsOnRemoval)
{
    CTreeMirror mirror;
    mirror.Append(Handle(1), TVI_ROOT, nullptr, NodeState::UNCHECKED);
    mirror.Append(Handle(2), TVI_ROOT, nullptr, NodeState::UNCHECKED);
    for (int n = 3; n <= 5; ++n)
        mirror.Append(Handle(n), Handle(1), nullptr, NodeState::CHECKED);
    mirror.Append(Handle(6), Handle(4), nullptr, NodeState::UNCHECKED);
    EXPECT_EQ(Children(mirror, nullptr), (std::vector{Handle(1), Handle(2)}));
    EXPECT_EQ(Children(mirror, Handle(1)), (std::vector{Handle(3), Handle(4), Handle(5)}));
    EXPECT_EQ(mirror.Parent(Handle(6)), Handle(4));
    EXPECT_EQ(mirror.Parent(Handle(1)), nullptr);

    mirror.Remove(Handle(4)); // a middle child with its own child
    EXPECT_EQ(Children(mirror, Handle(1)), (std::vector{Handle(3), Handle(5)}));
    EXPECT_EQ(mirror.Previous(Handle(5)), Handle(3));
    EXPECT_EQ(mirror.State(Handle(6)), NodeState::NONE);
    mirror.Remove(Handle(5)); // the last child: the next append follows the one before
    mirror.Append(Handle(7), Handle(1), nullptr, NodeState::PARTIAL);
    EXPECT_EQ(Children(mirror, Handle(1)), (std::vector{Handle(3), Handle(7)}));
    mirror.Remove(Handle(1));
    EXPECT_EQ(Children(mirror, nullptr), std::vector{Handle(2)});
    EXPECT_EQ(mirror.Record(Handle(3)), nullptr);
    EXPECT_EQ(mirror.FirstChild(Handle(1)), nullptr);
}

} // namespace
