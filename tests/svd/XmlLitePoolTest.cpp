// The allocator given to XmlLite: blocks of every size keep their contents
// through Realloc and report at least their size. (Reuse without overlap is
// what every document read under Wine goes through.)
#include "svd/XmlLitePool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

namespace {

TEST(XmlLitePool, ReallocKeepsTheContentsAcrossSizeClasses)
{
    const std::pair<std::size_t, std::size_t> cases[] = {{0, 8},       {16, 17},       {500, 10},
                                                         {1000, 5000}, {2000, 100000}, {4096, 64}, {1024, 1025}};
    const CComPtr<IMalloc> pool = CreateXmlReaderPool();
    for (const auto& [from, to] : cases)
    {
        SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
        std::string bytes(from, '\0');
        std::iota(bytes.begin(), bytes.end(), '\7');
        void* block = pool->Alloc(from);
        EXPECT_GE(pool->GetSize(block), from);
        std::memcpy(block, bytes.data(), from);
        void* moved = pool->Realloc(block, to);
        EXPECT_GE(pool->GetSize(moved), to);
        EXPECT_EQ(std::string(static_cast<const char*>(moved), std::min(from, to)), bytes.substr(0, to));
        pool->Free(moved);
    }
}

} // namespace
