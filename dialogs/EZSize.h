#pragma once
// Keeps the child controls of a window in place when the window changes size:
// each registered control either stretches with the window or moves with its
// right and/or bottom edge. Sizes and positions are the normal-position
// rectangles of GetWindowPlacement, in pixels.

#include <windows.h>

#include <vector>

class CEZSize
{
public:
    // Layout flags of AddItem.
    static constexpr UINT SIZE = 1;       // the control changes its width and/or height
    static constexpr UINT MOVE = 2;       // the control changes its position (without SIZE)
    static constexpr UINT HORIZONTAL = 4; // width or x follows the right edge
    static constexpr UINT VERTICAL = 8;   // height or y follows the bottom edge

    CEZSize() = default;
    virtual ~CEZSize() = default;
    CEZSize(const CEZSize&) = delete;
    CEZSize& operator=(const CEZSize&) = delete;

    // Remembers the window and measures it, without the minimum.
    HRESULT Attach(HWND window);
    // -1 stands for the size just measured.
    HRESULT SetMinimumSize(int width, int height);
    // E_POINTER for an id the window lacks, E_FAIL when the control's
    // placement cannot be read, E_INVALIDARG without SIZE or MOVE; the item
    // is then not kept.
    HRESULT AddItem(int controlId, UINT flags);
    // Re-measures (with the minimum) and places every item; E_FAIL when the
    // window's placement cannot be read or an item cannot be placed (the
    // items after it are not placed).
    HRESULT Resize();

private:
    struct CItem
    {
        int id;
        UINT flags;
        int a, b, c, d;
    };

    bool Measure(bool applyMinimum);

    HWND m_window = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_minimumWidth = 0;
    int m_minimumHeight = 0;
    std::vector<CItem> m_items;
};
