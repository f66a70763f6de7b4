// The allocator given to XmlLite: blocks of every size keep their contents
// through Realloc, report at least their size, and freed blocks are reused
// without overlapping live ones.
#include "svd/XmlLitePool.h"

#include <gtest/gtest.h>

#include <cstring>
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
    const struct
    {
        const char* name;
        std::size_t from;
        std::size_t to;
    } cases[] = {
        {"ZeroToSmall", 0, 8},           {"WithinAClass", 17, 30},     {"SmallToSmall", 16, 17},
        {"SmallShrinks", 500, 10},       {"SmallToLarge", 1000, 5000}, {"LargeToLarger", 2000, 100000},
        {"LargeShrinksToSmall", 4096, 64}, {"LastSmallClass", 1024, 1025},
    };
    const CComPtr<IMalloc> pool = CreateXmlReaderPool();
    for (const auto& row : cases)
    {
        void* block = pool->Alloc(row.from);
        ASSERT_NE(block, nullptr) << row.name;
        EXPECT_GE(pool->GetSize(block), row.from) << row.name;
        Fill(block, row.from, 7);
        void* moved = pool->Realloc(block, row.to);
        ASSERT_NE(moved, nullptr) << row.name;
        EXPECT_GE(pool->GetSize(moved), row.to) << row.name;
        EXPECT_TRUE(Holds(moved, row.from < row.to ? row.from : row.to, 7)) << row.name;
        pool->Free(moved);
    }
}

TEST(XmlLitePool, LiveBlocksNeverOverlapAcrossReuse)
{
    const CComPtr<IMalloc> pool = CreateXmlReaderPool();
    const std::size_t sizes[] = {1, 16, 24, 100, 1024, 3000};
    std::vector<std::pair<void*, std::size_t>> live;
    for (int round = 0; round < 3; ++round)
    {
        for (int i = 0; i < 200; ++i)
        {
            const std::size_t size = sizes[i % std::size(sizes)];
            void* block = pool->Alloc(size);
            ASSERT_NE(block, nullptr);
            Fill(block, size, static_cast<unsigned char>(live.size()));
            live.emplace_back(block, size);
        }
        for (std::size_t i = 0; i < live.size(); ++i)
            ASSERT_TRUE(Holds(live[i].first, live[i].second, static_cast<unsigned char>(i))) << "round " << round;
        // Free every other block; the next round takes their places.
        std::vector<std::pair<void*, std::size_t>> kept;
        for (std::size_t i = 0; i < live.size(); ++i)
            if (i % 2)
                pool->Free(live[i].first);
            else
            {
                Fill(live[i].first, live[i].second, static_cast<unsigned char>(kept.size()));
                kept.push_back(live[i]);
            }
        live = std::move(kept);
    }
    for (const auto& [block, size] : live)
        pool->Free(block);
    pool->Free(nullptr);
}

} // namespace
