#pragma once
// The memory of a device's register records, taken in blocks: one heap
// allocation per record was most of the start-up's own time with 100,000
// registers. The pool owns the blocks; each record is owned by the handle
// that Create returns, whose deleter gives the slot back for a later record.
// The pool must outlive every handle it gave out.

#include "data/RegisterData.h"

#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

class CRegisterPool
{
public:
    class CDeleter
    {
    public:
        explicit CDeleter(CRegisterPool* pool = nullptr) : m_pool(pool) {}
        void operator()(CRegisterData* record) const noexcept { m_pool->Destroy(record); }

    private:
        CRegisterPool* m_pool;
    };
    using CRecord = std::unique_ptr<CRegisterData, CDeleter>;

    CRegisterPool() = default;
    CRegisterPool(const CRegisterPool&) = delete;
    CRegisterPool& operator=(const CRegisterPool&) = delete;

    // Room for that many more records in one block, so that creating them
    // allocates nothing more; throws std::bad_alloc with the pool unchanged.
    void Reserve(std::size_t more);

    // A record made in a free slot, or in a new block when there is none;
    // throws std::bad_alloc, or what the record's constructor throws, with
    // the slot still free.
    template <class... Args> CRecord Create(Args&&... args)
    {
        if (m_free == nullptr && m_fresh == m_freshEnd)
            Reserve(GROWTH);
        const bool reused = m_free != nullptr;
        CSlot* slot = reused ? m_free : m_fresh;
        CSlot* next = reused ? m_free->Next : nullptr; // the record overwrites the link
        CRegisterData* record = nullptr;
        try
        {
            record = ::new (static_cast<void*>(slot)) CRegisterData(std::forward<Args>(args)...);
        }
        catch (...)
        {
            if (reused)
                ::new (static_cast<void*>(slot)) CSlot{next};
            throw;
        }
        if (reused)
            m_free = next;
        else
            ++m_fresh;
        return CRecord(record, CDeleter(this));
    }

private:
    static constexpr std::size_t GROWTH = 16; // records at a time when none was reserved

    // A slot as a record or, once given back, a link of the free list.
    union CSlot
    {
        CSlot* Next;
        alignas(CRegisterData) std::byte Record[sizeof(CRegisterData)];
    };

    void Destroy(CRegisterData* record) noexcept
    {
        record->~CRegisterData();
        m_free = ::new (static_cast<void*>(record)) CSlot{m_free};
    }

    std::vector<std::unique_ptr<CSlot[]>> m_blocks;
    CSlot* m_fresh = nullptr; // the unused rest of the newest block
    CSlot* m_freshEnd = nullptr;
    CSlot* m_free = nullptr; // slots given back
};
