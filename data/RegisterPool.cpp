#include "data/RegisterPool.h"

void CRegisterPool::Reserve(std::size_t more)
{
    if (static_cast<std::size_t>(m_freshEnd - m_fresh) >= more)
        return;
    m_blocks.reserve(m_blocks.size() + 1);
    // Left uninitialised: a slot becomes a record or a link when it is used.
    std::unique_ptr<CSlot[]> block(new CSlot[more]);
    // What is left of the previous block goes to the free list.
    for (; m_fresh != m_freshEnd; ++m_fresh)
        m_free = ::new (static_cast<void*>(m_fresh)) CSlot{m_free};
    m_fresh = block.get();
    m_freshEnd = m_fresh + more;
    m_blocks.push_back(std::move(block));
}
