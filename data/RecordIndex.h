#pragma once
// An index of a device's registers by a key that the record itself holds
// (its identifier or its name): open addressing with linear probing over
// slots of 16 bytes. A hash node per key and register made the index most of
// a register's memory with 100,000 registers. Keys may repeat; a lookup
// answers the register that comes first in list order.

#include <cstddef>
#include <cstdint>
#include <vector>

class CRegisterData;

struct CIndexEntry
{
    std::uint64_t order; // the register's place in list order
    CRegisterData* record;
};

// KeyOf: static Key Of(const CRegisterData&); static std::size_t Hash(Key);
// static bool Equal(Key, Key).
template <class KeyOf> class CRecordIndex
{
public:
    using CEntry = CIndexEntry;

    // The entry of the key that comes first in list order; null when none.
    template <class Key> const CEntry* FindFirst(const Key& key) const
    {
        if (m_slots.empty())
            return nullptr;
        const CEntry* first = nullptr;
        for (std::size_t i = KeyOf::Hash(key) & Mask(); m_slots[i].record != nullptr; i = (i + 1) & Mask())
            if (KeyOf::Equal(KeyOf::Of(*m_slots[i].record), key) && (!first || m_slots[i].order < first->order))
                first = &m_slots[i];
        return first;
    }

    // Room for more entries, so that as many insertions cannot fail;
    // throws std::bad_alloc with the index unchanged.
    void Reserve(std::size_t more)
    {
        // At most 3 of 4 slots used, so that every probe ends at a free slot.
        if ((m_count + more) * 4 <= m_slots.size() * 3)
            return;
        std::size_t size = m_slots.empty() ? 16 : m_slots.size();
        while ((m_count + more) * 4 > size * 3)
            size *= 2;
        std::vector<CEntry> old(size, CEntry{0, nullptr});
        old.swap(m_slots);
        for (const CEntry& entry : old)
            if (entry.record != nullptr)
                Place(entry);
    }

    // Indexes the record under its current key.
    void Insert(const CEntry& entry)
    {
        Reserve(1);
        Place(entry);
        ++m_count;
    }

    // Takes the record out under its current key; nothing when it is not there.
    void Erase(const CRegisterData* record)
    {
        if (m_slots.empty())
            return;
        std::size_t hole = KeyOf::Hash(KeyOf::Of(*record)) & Mask();
        while (m_slots[hole].record != record)
        {
            if (m_slots[hole].record == nullptr)
                return;
            hole = (hole + 1) & Mask();
        }
        // Later entries of the run move back into the hole unless their own
        // home lies between the hole and them.
        for (std::size_t next = (hole + 1) & Mask(); m_slots[next].record != nullptr; next = (next + 1) & Mask())
        {
            const std::size_t home = KeyOf::Hash(KeyOf::Of(*m_slots[next].record)) & Mask();
            const bool stays = hole <= next ? hole < home && home <= next : hole < home || home <= next;
            if (!stays)
            {
                m_slots[hole] = m_slots[next];
                hole = next;
            }
        }
        m_slots[hole] = CEntry{0, nullptr};
        --m_count;
    }

private:
    std::size_t Mask() const { return m_slots.size() - 1; }

    void Place(const CEntry& entry)
    {
        std::size_t i = KeyOf::Hash(KeyOf::Of(*entry.record)) & Mask();
        while (m_slots[i].record != nullptr)
            i = (i + 1) & Mask();
        m_slots[i] = entry;
    }

    std::vector<CEntry> m_slots; // a power of two of them; record null: free
    std::size_t m_count = 0;
};
