#pragma once
// An owned VARIANT: cleared (strings, arrays and references released) by its
// one owner.

#include "frame/com/SafeArray.h"

#include <objbase.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

class CVariant
{
public:
    CVariant() { VariantInit(&m_value); }
    explicit CVariant(LONG value) : CVariant()
    {
        V_VT(&m_value) = VT_I4;
        V_I4(&m_value) = value;
    }
    // VT_BSTR; VT_EMPTY when memory runs out.
    explicit CVariant(std::wstring_view text) : CVariant()
    {
        if (BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
        {
            V_VT(&m_value) = VT_BSTR;
            V_BSTR(&m_value) = copy;
        }
    }
    // Takes over the array: VT_ARRAY with its element type.
    explicit CVariant(CSafeArray array) : CVariant() { array.MoveTo(&m_value); }
    // VT_EMPTY when the copy fails.
    CVariant(const CVariant& other) : CVariant() { VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value)); }
    CVariant(CVariant&& other) noexcept : m_value(other.m_value) { VariantInit(&other.m_value); }
    ~CVariant() { VariantClear(&m_value); }
    CVariant& operator=(CVariant other) noexcept
    {
        std::swap(m_value, other.m_value);
        return *this;
    }

    // Takes over the contents of a VARIANT that the caller owns and leaves
    // it VT_EMPTY.
    static CVariant Adopt(VARIANT& value)
    {
        CVariant result;
        result.m_value = value;
        VariantInit(&value);
        return result;
    }

    const VARIANT& Get() const { return m_value; }
    VARIANT* GetPointer() { return &m_value; }
    VARTYPE GetType() const { return V_VT(&m_value); }
    // For out-parameters: the old contents are released first.
    VARIANT* Out()
    {
        Clear();
        return &m_value;
    }
    void Clear() { VariantClear(&m_value); }

    // Hands the contents to an out-parameter that holds nothing to release.
    HRESULT Detach(VARIANT* out)
    {
        if (!out)
            return E_POINTER;
        *out = m_value;
        VariantInit(&m_value);
        return S_OK;
    }

private:
    VARIANT m_value;
};
