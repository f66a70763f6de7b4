#pragma once
// IViewObjectEx2Impl<T>: the view object of a resizable control T. Natural
// extent negotiation follows T's size rules (CResizeActiveX_T):
// - missing extent information or output size: E_POINTER;
// - an aspect other than the content: E_FAIL;
// - DVEXTENT_CONTENT: the natural extent; DVEXTENT_INTEGRAL: the minimum for
//   each dimension proposed below it, -1 otherwise (dimensions that may not
//   change keep the current extent); any other mode: E_FAIL.

#include "frame/ResizeActiveX.h"
#include "frame/ViewObjectImpl.h"

template <class T> class IViewObjectEx2Impl : public IViewObjectExImpl<T>, public CResizeActiveX_T<T>
{
public:
    STDMETHODIMP GetNaturalExtent(DWORD aspect, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO* info,
                                  LPSIZEL size) override
    {
        if (!info || !size)
            return E_POINTER;
        if (aspect != DVASPECT_CONTENT)
            return E_FAIL;
        const T& control = static_cast<const T&>(*this);
        switch (info->dwExtentMode)
        {
        case DVEXTENT_CONTENT:
            *size = control.m_naturalExtent;
            return S_OK;
        case DVEXTENT_INTEGRAL:
            *size = this->NegotiateIntegralExtent(info->sizelProposed, control.m_extent);
            return S_OK;
        default:
            return E_FAIL;
        }
    }
};
