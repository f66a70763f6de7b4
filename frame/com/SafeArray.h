#pragma once
// An owned SAFEARRAY, and typed access to the elements of a one-dimensional
// array while it is locked. Arrays made here are one-dimensional with lower
// bound 0, the shape every register value and list of the server has.

#include <objbase.h>
#include <oleauto.h>

#include <cstddef>
#include <span>
#include <string>
#include <utility>

class CVariant;

class CSafeArray
{
public:
    CSafeArray() = default;
    CSafeArray(const CSafeArray&) = delete;
    CSafeArray& operator=(const CSafeArray&) = delete;
    CSafeArray(CSafeArray&& other) noexcept : m_array(std::exchange(other.m_array, nullptr)) {}
    CSafeArray& operator=(CSafeArray&& other) noexcept
    {
        CSafeArray(std::move(other)).Swap(*this);
        return *this;
    }
    ~CSafeArray() { Reset(); }

    static CSafeArray Adopt(SAFEARRAY* array)
    {
        CSafeArray result;
        result.m_array = array;
        return result;
    }

    // A zeroed vector of count elements; null when memory runs out.
    static CSafeArray CreateVector(VARTYPE type, ULONG count);
    // Vectors holding copies of the values; null when memory runs out.
    static CSafeArray MakeI4(std::span<const LONG> values);
    static CSafeArray MakeI2(std::span<const SHORT> values);
    static CSafeArray MakeR8(std::span<const double> values);
    static CSafeArray MakeBStr(std::span<const std::wstring> values);
    static CSafeArray MakeVariant(std::span<const CVariant> values);

    SAFEARRAY* Get() const { return m_array; }
    SAFEARRAY* Detach() { return std::exchange(m_array, nullptr); }
    void Reset()
    {
        if (SAFEARRAY* array = std::exchange(m_array, nullptr))
            SafeArrayDestroy(array);
    }
    void Swap(CSafeArray& other) noexcept { std::swap(m_array, other.m_array); }
    explicit operator bool() const { return m_array != nullptr; }

    // Hands the array to a VARIANT that holds nothing to release, typed
    // VT_ARRAY with the element type. E_OUTOFMEMORY for a null array.
    HRESULT MoveTo(VARIANT* out);

private:
    SAFEARRAY* m_array = nullptr;
};

// The element type an array must have for CSafeArrayData<T>.
template <class T> constexpr VARTYPE kSafeArrayType = VT_EMPTY;
template <> inline constexpr VARTYPE kSafeArrayType<LONG> = VT_I4;
template <> inline constexpr VARTYPE kSafeArrayType<SHORT> = VT_I2;
template <> inline constexpr VARTYPE kSafeArrayType<double> = VT_R8;
template <> inline constexpr VARTYPE kSafeArrayType<BSTR> = VT_BSTR;
template <> inline constexpr VARTYPE kSafeArrayType<VARIANT> = VT_VARIANT;

// The elements of a one-dimensional array of T, locked for as long as this
// lives. Invalid (IsValid false, no elements) when the array is null, has
// another element type or more dimensions, or cannot be locked.
template <class T> class CSafeArrayData
{
    static_assert(kSafeArrayType<T> != VT_EMPTY, "no array element type for T");

public:
    explicit CSafeArrayData(SAFEARRAY* array)
    {
        VARTYPE type = VT_EMPTY;
        LONG lower = 0;
        LONG upper = -1;
        if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetVartype(array, &type)) ||
            type != kSafeArrayType<T> || SafeArrayGetElemsize(array) != sizeof(T) ||
            FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper)))
            return;
        void* data = nullptr;
        if (FAILED(SafeArrayAccessData(array, &data)))
            return;
        m_array = array;
        m_elements = std::span<T>(static_cast<T*>(data), static_cast<std::size_t>(upper - lower + 1));
    }
    ~CSafeArrayData()
    {
        if (m_array)
            SafeArrayUnaccessData(m_array);
    }
    CSafeArrayData(const CSafeArrayData&) = delete;
    CSafeArrayData& operator=(const CSafeArrayData&) = delete;

    bool IsValid() const { return m_array != nullptr; }
    std::span<T> GetElements() const { return m_elements; }

private:
    SAFEARRAY* m_array = nullptr;
    std::span<T> m_elements;
};
