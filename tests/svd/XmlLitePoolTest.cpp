// The allocator given to XmlLite: blocks of every size keep their contents
// through Realloc and report at least their size. (Reuse without overlap is
// what every document read under Wine goes through.)
#include "svd/XmlLitePool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

} // namespace
