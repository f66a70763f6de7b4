#pragma once
// CResizeActiveX_T<T>: the size rules that a resizable control T gives its
// container in extent negotiation: a minimum size and which dimensions may
// change. It sets the control's recompose-on-resize flag when constructed.

#include "frame/ControlBase.h"
#include "frame/HiMetric.h"

// Which dimensions of the control the container may change.
enum class CResizeMode : LONG
{
    Fixed = 0,
    WidthOnly = 1,
    HeightOnly = 2,
    Both = 3,
};

template <class T> class CResizeActiveX_T
{
public:
    // The smallest size the control accepts, given in pixels, kept in HIMETRIC.
    void SetMinimumSize(SIZE pixels) { m_minimumSize = ConvertPixelsToHiMetric(pixels); }
    SIZEL GetMinimumSize() const { return m_minimumSize; }
    void SetResizeMode(CResizeMode mode) { m_resizeMode = mode; }
    CResizeMode GetResizeMode() const { return m_resizeMode; }

protected:
    // T's control base comes first among its bases and is built by now.
    CResizeActiveX_T() { static_cast<T*>(this)->m_recomposeOnResize = true; }
    ~CResizeActiveX_T() = default;

    // Integral extent negotiation: the minimum for a dimension proposed below
    // it, -1 (any size) otherwise; dimensions that may not change keep the
    // current extent.
    SIZEL NegotiateIntegralExtent(SIZEL proposed, SIZEL current) const
    {
        SIZEL size{proposed.cx < m_minimumSize.cx ? m_minimumSize.cx : -1,
                   proposed.cy < m_minimumSize.cy ? m_minimumSize.cy : -1};
        if (m_resizeMode == CResizeMode::Fixed || m_resizeMode == CResizeMode::WidthOnly)
            size.cy = current.cy;
        if (m_resizeMode == CResizeMode::Fixed || m_resizeMode == CResizeMode::HeightOnly)
            size.cx = current.cx;
        return size;
    }

private:
    SIZEL m_minimumSize{0, 0};
    CResizeMode m_resizeMode = CResizeMode::Both;
};
