#pragma once
// IOleControl of a composite control T: a change of the container's ambient
// background colour (-701, or -1 for "several ambients") makes T take the
// new colour (`T::UpdateBackgroundFromAmbient`). Every change answers S_OK.

#include "frame/ControlBase.h"

template <class T> class IOleControlImpl : public IOleControl
{
public:
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override
    {
        if (!info)
            return E_POINTER;
        return E_NOTIMPL;
    }
    STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override
    {
        if (id == AmbientBackColorId || id == DISPID_UNKNOWN)
            static_cast<T&>(*this).UpdateBackgroundFromAmbient();
        return S_OK;
    }
    STDMETHODIMP FreezeEvents(BOOL freeze) override
    {
        ULONG& frozen = static_cast<T&>(*this).m_frozenEvents;
        if (freeze)
            ++frozen;
        else if (frozen > 0)
            --frozen;
        return S_OK;
    }
};
