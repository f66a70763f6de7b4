#pragma once
// Owners of GDI resources: each releases what it holds when it goes.

#include <windows.h>

#include <utility>

// A GDI object (brush, font, pen, region) that this holder deletes.
template <class Handle> class CGdiObject
{
public:
    CGdiObject() = default;
    explicit CGdiObject(Handle handle) : m_handle(handle) {}
    CGdiObject(CGdiObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        CGdiObject(std::move(other)).Swap(*this);
        return *this;
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject()
    {
        if (m_handle)
            DeleteObject(m_handle);
    }

    Handle Get() const { return m_handle; }
    // Gives the object up, e.g. to a call that takes ownership on success.
    Handle Detach() { return std::exchange(m_handle, nullptr); }
    explicit operator bool() const { return m_handle != nullptr; }
    void Swap(CGdiObject& other) noexcept { std::swap(m_handle, other.m_handle); }

private:
    Handle m_handle = nullptr;
};

// A window's (or the screen's) device context, released at the end.
class CWindowDC
{
public:
    explicit CWindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~CWindowDC()
    {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a device context and puts the previous one back.
class CSelection
{
public:
    CSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~CSelection()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            SelectObject(m_dc, m_previous);
    }
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
