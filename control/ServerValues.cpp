#include "control/ServerValues.h"

#include "data/CheckedResult.h"
#include "data/ResultCodes.h"
#include "frame/com/SafeArray.h"

#include <algorithm>

namespace {

// Visits every element of a one-dimensional array as a VARIANT of the
// element type; raises the codes of ToIntegers.
template <class Visit> void ForEachElement(const VARIANT& value, Visit visit)
{
    if (V_VT(&value) == VT_EMPTY)
        return;
    if (!(V_VT(&value) & VT_ARRAY) || (V_VT(&value) & VT_BYREF))
        RaiseResult(E_FAIL);
    SAFEARRAY* array = V_ARRAY(&value);
    if (!array)
        RaiseResult(E_FAIL);
    const VARTYPE type = static_cast<VARTYPE>(V_VT(&value) & VT_TYPEMASK);
    if (type != VT_I2 && type != VT_I4 && type != VT_R8 && type != VT_BSTR && type != VT_VARIANT)
        RaiseResult(E_FAIL);
    LONG lower = 0;
    LONG upper = 0;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)))
        RaiseResult(Vx::E_SAFEARRAY_LBOUND);
    if (FAILED(SafeArrayGetUBound(array, 1, &upper)))
        RaiseResult(Vx::E_SAFEARRAY_UBOUND);
    for (LONG index = lower; index <= upper; ++index)
    {
        CVariant element;
        VARIANT* raw = element.Out();
        HRESULT hr = S_OK;
        if (type == VT_VARIANT)
            hr = SafeArrayGetElement(array, &index, raw);
        else
        {
            // SafeArrayGetElement copies the element (a string is duplicated).
            V_VT(raw) = type;
            hr = SafeArrayGetElement(array, &index, &V_I4(raw));
            if (FAILED(hr))
                V_VT(raw) = VT_EMPTY;
        }
        if (FAILED(hr))
            RaiseResult(hr);
        visit(element);
    }
}

// Plain ASCII, as register names and paths nearly always are, is the same
// in every single-byte code page; only other texts need the conversion.
std::string NarrowText(std::wstring_view text)
{
    if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; }))
        return std::string(text.begin(), text.end());
    return AnsiText::Narrow(text);
}

} // namespace

namespace ServerValues {

std::vector<std::int32_t> ToIntegers(const VARIANT& value)
{
    // An array of 4-byte integers is read in place: a copy and a conversion
    // of each element made the start-up with 100,000 registers slow.
    if (V_VT(&value) == (VT_ARRAY | VT_I4))
        if (const CSafeArrayData<LONG> data(V_ARRAY(&value)); data.IsValid())
            return {data.GetElements().begin(), data.GetElements().end()};
    std::vector<std::int32_t> numbers;
    ForEachElement(value, [&](CVariant& element) {
        CVariant converted;
        if (const HRESULT hr = VariantChangeType(converted.Out(), element.GetPointer(), 0, VT_I4); FAILED(hr))
            RaiseResult(hr);
        numbers.push_back(V_I4(&converted.Get()));
    });
    return numbers;
}

std::vector<std::string> ToStrings(const VARIANT& value)
{
    std::vector<std::string> texts;
    // An array of strings is read in place, as in ToIntegers.
    if (V_VT(&value) == (VT_ARRAY | VT_BSTR))
        if (const CSafeArrayData<BSTR> data(V_ARRAY(&value)); data.IsValid())
        {
            texts.reserve(data.GetElements().size());
            for (const BSTR text : data.GetElements())
                texts.push_back(NarrowText(std::wstring_view(text ? text : L"", text ? SysStringLen(text) : 0)));
            return texts;
        }
    ForEachElement(value, [&](CVariant& element) {
        CVariant converted;
        if (const HRESULT hr = VariantChangeType(converted.Out(), element.GetPointer(), 0, VT_BSTR); FAILED(hr))
            RaiseResult(hr);
        const BSTR text = V_BSTR(&converted.Get());
        texts.push_back(Narrow(std::wstring_view(text ? text : L"", text ? SysStringLen(text) : 0)));
    });
    return texts;
}

CVariant MakeMask(const std::vector<std::uint32_t>& words)
{
    std::vector<LONG> values(words.begin(), words.end());
    CSafeArray array = CSafeArray::MakeI4(values);
    if (!array)
        RaiseResult(Vx::E_OUT_OF_MEMORY);
    return CVariant(std::move(array));
}

CVariant MakeWriteValue(const std::vector<std::uint32_t>& words)
{
    std::vector<CVariant> values;
    values.reserve(words.size());
    for (const std::uint32_t word : words)
        values.emplace_back(static_cast<LONG>(word));
    CSafeArray array = CSafeArray::MakeVariant(values);
    if (!array)
        RaiseResult(Vx::E_OUT_OF_MEMORY);
    return CVariant(std::move(array));
}

} // namespace ServerValues
