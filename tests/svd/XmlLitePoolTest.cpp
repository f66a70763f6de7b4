// The allocator given to XmlLite: blocks of every size keep their contents
// through Realloc, report at least their size, and freed blocks are reused
// without overlapping live ones.
#include "svd/XmlLitePool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

void Fill(void* block, std::size_t size, unsigned char seed)
{
    auto* bytes = static_cast<unsigned char*>(block);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(seed + i);
}

bool Holds(const void* block, std::size_t size, unsigned char seed)
{
    const auto* bytes = static_cast<const unsigned char*>(block);
    for (std::size_t i = 0; i < size; ++i)
        if (bytes[i] != static_cast<unsigned char>(seed + i))
            return false;
    return true;
}

TEST(XmlLitePool, ReallocKeepsTheContentsAcrossSizeClasses)
{
    const std::pair<std::size_t, std::size_t> cases[] = {{0, 8},      {17, 30},       {16, 17},   {500, 10},
                                                         {1000, 5000}, {2000, 100000}, {4096, 64}, {1024, 1025}};
    const CComPtr<IMalloc> pool = CreateXmlReaderPool();
    for (const auto& [from, to] : cases)
    {
        SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
        void* block = pool->Alloc(from);
        ASSERT_NE(block, nullptr);
        EXPECT_GE(pool->GetSize(block), from);
        Fill(block, from, 7);
        void* moved = pool->Realloc(block, to);
        ASSERT_NE(moved, nullptr);
        EXPECT_GE(pool->GetSize(moved), to);
        EXPECT_TRUE(Holds(moved, std::min(from, to), 7));
        pool->Free(moved);
    }
}

// Every other block freed in each round: the next round takes their places.
TEST(XmlLitePool, LiveBlocksNeverOverlapAcrossReuse)
{
    const CComPtr<IMalloc> pool = CreateXmlReaderPool();
    const std::size_t sizes[] = {1, 16, 24, 100, 1024, 3000};
    std::vector<std::pair<void*, std::size_t>> live;
    for (int round = 0; round < 3; ++round)
    {
        for (int i = 0; i < 200; ++i)
        {
            live.emplace_back(pool->Alloc(sizes[i % std::size(sizes)]), sizes[i % std::size(sizes)]);
            ASSERT_NE(live.back().first, nullptr);
            Fill(live.back().first, live.back().second, static_cast<unsigned char>(live.size() - 1));
        }
        std::vector<std::pair<void*, std::size_t>> kept;
        for (std::size_t i = 0; i < live.size(); ++i)
        {
            ASSERT_TRUE(Holds(live[i].first, live[i].second, static_cast<unsigned char>(i))) << "round " << round;
            if (i % 2)
                pool->Free(live[i].first);
            else
                kept.push_back(live[i]);
        }
        for (std::size_t i = 0; i < kept.size(); ++i)
            Fill(kept[i].first, kept[i].second, static_cast<unsigned char>(i));
        live = std::move(kept);
    }
    for (const auto& [block, size] : live)
        pool->Free(block);
    pool->Free(nullptr);
}

} // namespace
