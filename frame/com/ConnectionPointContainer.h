#pragma once
// IConnectionPointContainer over the connection points of Derived, which
// lists them in GetConnectionPoints() as a range of CConnectionPoint*.

#include "frame/com/ConnectionPoint.h"
#include "frame/com/Enumerator.h"

#include <olectl.h>

#include <memory>
#include <vector>

namespace ConnectionPointDetail {

struct CPointTraits
{
    static void Copy(const CComPtr<IConnectionPoint>& from, IConnectionPoint** to) { from.CopyTo(to); }
};

using CEnumConnectionPoints =
    CEnumeratorImpl<IEnumConnectionPoints, IConnectionPoint*, CComPtr<IConnectionPoint>, CPointTraits>;

} // namespace ConnectionPointDetail

template <class Derived> class CConnectionPointContainerImpl : public IConnectionPointContainer
{
public:
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override
    {
        using ConnectionPointDetail::CEnumConnectionPoints;
        if (!points)
            return E_POINTER;
        *points = nullptr;
        auto items = std::make_shared<CEnumConnectionPoints::Items>();
        for (CConnectionPoint* point : static_cast<Derived*>(this)->GetConnectionPoints())
            items->emplace_back(point);
        auto enumerator = CEnumConnectionPoints::Create(std::move(items));
        return enumerator ? enumerator->QueryInterface(IID_IEnumConnectionPoints, reinterpret_cast<void**>(points))
                          : E_OUTOFMEMORY;
    }

    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override
    {
        if (!point)
            return E_POINTER;
        *point = nullptr;
        for (CConnectionPoint* candidate : static_cast<Derived*>(this)->GetConnectionPoints())
            if (InlineIsEqualGUID(candidate->GetInterfaceId(), iid))
                return CComPtr<IConnectionPoint>(candidate).CopyTo(point);
        return CONNECT_E_NOCONNECTION;
    }
};
