#include "svd/XmlLitePool.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t kGrain = 16;
constexpr std::size_t kClasses = 64; // blocks of 16 to 1024 bytes
constexpr std::size_t kLarge = kClasses;
constexpr std::size_t kChunkSize = 256 * 1024;

// Before each block: its size class and its size; 16 bytes on 32 and 64
// bits, so blocks keep the alignment of malloc and of the chunks.
struct CBlockHeader
{
    std::uint64_t sizeClass;
    std::uint64_t size;
};
static_assert(sizeof(CBlockHeader) == kGrain);

struct CFreeBlock
{
    CFreeBlock* next;
};

class CXmlReaderPool final : public IMalloc
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IMalloc)
        {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IMalloc*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    void* STDMETHODCALLTYPE Alloc(SIZE_T size) override
    {
        const std::size_t sizeClass = size == 0 ? 1 : (size + kGrain - 1) / kGrain;
        if (sizeClass >= kLarge)
        {
            auto* header = static_cast<CBlockHeader*>(std::malloc(sizeof(CBlockHeader) + size));
            if (!header)
                return nullptr;
            *header = {kLarge, size};
            return header + 1;
        }
        if (CFreeBlock* block = m_free[sizeClass])
        {
            m_free[sizeClass] = block->next;
            return block;
        }
        const std::size_t needed = sizeof(CBlockHeader) + sizeClass * kGrain;
        if (m_chunkLeft < needed)
        {
            m_chunks.push_back(std::make_unique<std::byte[]>(kChunkSize));
            m_chunkNext = m_chunks.back().get();
            m_chunkLeft = kChunkSize;
        }
        auto* header = reinterpret_cast<CBlockHeader*>(m_chunkNext);
        m_chunkNext += needed;
        m_chunkLeft -= needed;
        *header = {sizeClass, sizeClass * kGrain};
        return header + 1;
    }

    void* STDMETHODCALLTYPE Realloc(void* block, SIZE_T size) override
    {
        if (!block)
            return Alloc(size);
        if (size == 0)
        {
            Free(block);
            return nullptr;
        }
        const auto capacity = static_cast<std::size_t>(HeaderOf(block)->size);
        if (HeaderOf(block)->sizeClass != kLarge && size <= capacity)
            return block;
        void* moved = Alloc(size);
        if (!moved)
            return nullptr; // the old block stays, as IMalloc::Realloc promises
        std::memcpy(moved, block, capacity < size ? capacity : size);
        Free(block);
        return moved;
    }

    void STDMETHODCALLTYPE Free(void* block) override
    {
        if (!block)
            return;
        CBlockHeader* header = HeaderOf(block);
        if (header->sizeClass == kLarge)
        {
            std::free(header);
            return;
        }
        auto* freed = static_cast<CFreeBlock*>(block);
        const auto sizeClass = static_cast<std::size_t>(header->sizeClass);
        freed->next = m_free[sizeClass];
        m_free[sizeClass] = freed;
    }

    SIZE_T STDMETHODCALLTYPE GetSize(void* block) override
    {
        return block ? static_cast<SIZE_T>(HeaderOf(block)->size) : static_cast<SIZE_T>(-1);
    }
    int STDMETHODCALLTYPE DidAlloc(void*) override { return -1; }
    void STDMETHODCALLTYPE HeapMinimize() override {}

private:
    ~CXmlReaderPool() = default;

    static CBlockHeader* HeaderOf(void* block) { return static_cast<CBlockHeader*>(block) - 1; }

    ULONG m_references = 1;
    CFreeBlock* m_free[kClasses] = {};
    std::vector<std::unique_ptr<std::byte[]>> m_chunks;
    std::byte* m_chunkNext = nullptr;
    std::size_t m_chunkLeft = 0;
};

} // namespace

CComPtr<IMalloc> CreateXmlReaderPool()
{
    return CComPtr<IMalloc>::Adopt(new CXmlReaderPool);
}
