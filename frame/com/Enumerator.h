#pragma once
// A snapshot enumerator (IEnumConnections, IEnumConnectionPoints, ...). It
// holds its own references to the items it hands out, so a change of the
// source after it was made does not show, and its clones share the snapshot.
//
// Traits::Copy(const Holder&, Item*) fills one out-element with a new reference.

#include "frame/com/ComObject.h"

#include <memory>
#include <vector>

template <class IEnum, class Item, class Holder, class Traits>
class CEnumeratorImpl final : public CComObjectImpl<CEnumeratorImpl<IEnum, Item, Holder, Traits>, IEnum>
{
public:
    using Interfaces = CInterfaceMap<Entry<IEnum>>;
    using Items = std::vector<Holder>;

    explicit CEnumeratorImpl(std::shared_ptr<const Items> items, std::size_t position = 0)
        : m_items(std::move(items)), m_position(position)
    {
    }

    STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override
    {
        if (!out || (!fetched && count != 1))
            return E_POINTER;
        ULONG done = 0;
        for (; done < count && m_position < m_items->size(); ++done, ++m_position)
            Traits::Copy((*m_items)[m_position], &out[done]);
        if (fetched)
            *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        const std::size_t left = m_items->size() - m_position;
        if (count > left)
        {
            m_position = m_items->size();
            return S_FALSE;
        }
        m_position += count;
        return S_OK;
    }
    STDMETHODIMP Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnum** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        auto clone = CEnumeratorImpl::Create(m_items, m_position);
        return clone ? clone->QueryInterface(__uuidof(IEnum), reinterpret_cast<void**>(out)) : E_OUTOFMEMORY;
    }

private:
    std::shared_ptr<const Items> m_items;
    std::size_t m_position;
};
