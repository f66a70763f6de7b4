#pragma once
// IViewObjectEx (with IViewObject2 and IViewObject) of an embedded control T:
// drawing for the container while the control has no window, the view
// advise sink, the extent, hit tests.

#include "frame/ControlBase.h"
#include "frame/ViewDrawing.h"

template <class T> class IViewObjectExImpl : public IViewObjectEx
{
public:
    STDMETHODIMP Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                      BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override
    {
        if (!dc || !bounds)
            return E_INVALIDARG;
        // When in-place active the window paints itself.
        if (!GetControl().m_inPlaceActive)
            DrawInactiveControl(dc, RECT{bounds->left, bounds->top, bounds->right, bounds->bottom});
        return S_OK;
    }
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) override
    {
        if (colors)
            *colors = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override
    {
        T& control = GetControl();
        control.m_viewSink = sink;
        control.m_viewAspects = aspects;
        control.m_viewAdviseFlags = flags;
        return S_OK;
    }
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override
    {
        T& control = GetControl();
        if (aspects)
            *aspects = control.m_viewAspects;
        if (flags)
            *flags = control.m_viewAdviseFlags;
        return sink ? control.m_viewSink.CopyTo(sink) : S_OK;
    }

    // The current extent, for any aspect.
    STDMETHODIMP GetExtent(DWORD, LONG, DVTARGETDEVICE*, LPSIZEL size) override
    {
        if (!size)
            return E_POINTER;
        *size = GetControl().m_extent;
        return S_OK;
    }

    STDMETHODIMP GetRect(DWORD, LPRECTL) override { return E_NOTIMPL; }
    STDMETHODIMP GetViewStatus(DWORD* status) override
    {
        if (!status)
            return E_POINTER;
        *status = VIEWSTATUS_SOLIDBKGND | VIEWSTATUS_OPAQUE;
        return S_OK;
    }
    STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG, DWORD* result) override
    {
        if (!bounds || !result)
            return E_POINTER;
        if (aspect != DVASPECT_CONTENT)
            return E_FAIL;
        *result = PtInRect(bounds, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    }
    STDMETHODIMP QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG, DWORD* result) override
    {
        if (!bounds || !location || !result)
            return E_POINTER;
        if (aspect != DVASPECT_CONTENT)
            return E_FAIL;
        RECT overlap{};
        *result = IntersectRect(&overlap, bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    }
    STDMETHODIMP GetNaturalExtent(DWORD aspect, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO* info,
                                  LPSIZEL size) override
    {
        if (!info || !size)
            return E_POINTER;
        if (aspect != DVASPECT_CONTENT)
            return E_FAIL;
        if (info->dwExtentMode != DVEXTENT_CONTENT)
            return E_FAIL;
        *size = GetControl().m_naturalExtent;
        return S_OK;
    }

private:
    T& GetControl() { return static_cast<T&>(*this); }
};
