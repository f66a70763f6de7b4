#include "sim/ValueConversion.h"

#include "frame/com/SafeArray.h"
#include "frame/com/Variant.h"

#include <vector>

namespace {

std::optional<std::uint32_t> ConvertElement(const VARIANT& element)
{
    if (V_VT(&element) == VT_I4)
        return static_cast<std::uint32_t>(V_I4(&element));
    CVariant wide;
    if (FAILED(VariantChangeType(wide.GetPointer(), const_cast<VARIANT*>(&element), 0, VT_I8)))
        return std::nullopt;
    const LONGLONG value = V_I8(&wide.Get());
    // JScript's 0xFFFFFFFF is a double: unsigned 32-bit values are welcome too.
    if (value < -0x80000000LL || value > 0xFFFFFFFFLL)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// One element of an array of a plain type, as a VARIANT of that type.
std::optional<std::uint32_t> ConvertPlainElement(SAFEARRAY* array, VARTYPE type, LONG index)
{
    CVariant element;
    VARIANT* raw = element.GetPointer();
    void* target = type == VT_BSTR ? static_cast<void*>(&V_BSTR(raw)) : static_cast<void*>(&V_UI1(raw));
    if (FAILED(SafeArrayGetElement(array, &index, target)))
        return std::nullopt;
    V_VT(raw) = type; // the element now belongs to the VARIANT
    return ConvertElement(element.Get());
}

bool IsPlainNumberType(VARTYPE type)
{
    switch (type)
    {
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_INT: case VT_UINT:
    case VT_I8: case VT_UI8: case VT_R4: case VT_R8: case VT_BSTR:
        return true;
    default:
        return false;
    }
}

// The argument itself, past the references a script passes for its variables.
const VARIANT& Dereference(const VARIANT& argument)
{
    const VARIANT* value = &argument;
    while (V_VT(value) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(value))
        value = V_VARIANTREF(value);
    return *value;
}

SAFEARRAY* FindArray(const VARIANT& value)
{
    if ((V_VT(&value) & VT_ARRAY) && (V_VT(&value) & VT_BYREF))
        return V_ARRAYREF(&value) ? *V_ARRAYREF(&value) : nullptr;
    return (V_VT(&value) & VT_ARRAY) ? V_ARRAY(&value) : nullptr;
}

// Bounds of a one-dimensional array.
bool GetBounds(SAFEARRAY* array, LONG& lower, LONG& upper)
{
    return SafeArrayGetDim(array) == 1 && SUCCEEDED(SafeArrayGetLBound(array, 1, &lower)) &&
           SUCCEEDED(SafeArrayGetUBound(array, 1, &upper));
}

} // namespace

std::optional<int> GetElementCount(const VARIANT& argument)
{
    SAFEARRAY* array = FindArray(Dereference(argument));
    LONG lower = 0;
    LONG upper = -1;
    if (!array || !GetBounds(array, lower, upper))
        return std::nullopt;
    return static_cast<int>(upper - lower + 1);
}

std::optional<std::wstring> ReadWords(const VARIANT& argument, int count, CWords& words)
{
    const VARIANT& value = Dereference(argument);
    SAFEARRAY* array = FindArray(value);
    if (!array)
        return L"not an array (VARIANT type " + std::to_wstring(V_VT(&value)) + L")";
    LONG lower = 0;
    LONG upper = -1;
    if (!GetBounds(array, lower, upper))
        return std::wstring(L"not a one-dimensional array");
    if (upper - lower + 1 != count)
        return std::to_wstring(upper - lower + 1) + L" elements instead of " + std::to_wstring(count);

    words = CWords();
    VARTYPE type = VT_EMPTY;
    SafeArrayGetVartype(array, &type);
    if (type == VT_I4)
    {
        // The common case, kept cheap.
        CSafeArrayData<LONG> data(array);
        if (!data.IsValid())
            return std::wstring(L"an array that cannot be read");
        for (int i = 0; i < count; ++i)
            words[i] = static_cast<std::uint32_t>(data.GetElements()[static_cast<std::size_t>(i)]);
        return std::nullopt;
    }
    if (type == VT_VARIANT)
    {
        CSafeArrayData<VARIANT> data(array);
        if (!data.IsValid())
            return std::wstring(L"an array that cannot be read");
        for (int i = 0; i < count; ++i)
        {
            const VARIANT& element = data.GetElements()[static_cast<std::size_t>(i)];
            const std::optional<std::uint32_t> word = ConvertElement(element);
            if (!word)
                return L"element " + std::to_wstring(i) + L" (VARIANT type " + std::to_wstring(V_VT(&element)) +
                       L") is not a 32-bit number";
            words[i] = *word;
        }
        return std::nullopt;
    }
    if (!IsPlainNumberType(type))
        return L"an array of element type " + std::to_wstring(type) + L", not of numbers";
    for (int i = 0; i < count; ++i)
    {
        const std::optional<std::uint32_t> word = ConvertPlainElement(array, type, lower + i);
        if (!word)
            return L"element " + std::to_wstring(i) + L" is not a 32-bit number";
        words[i] = *word;
    }
    return std::nullopt;
}

HRESULT MakeReadValue(const CWords& words, int count, VexilSimValueShape shape, VARIANT* value)
{
    VariantInit(value);
    std::vector<LONG> signedWords;
    for (int i = 0; i < count; ++i)
        signedWords.push_back(static_cast<LONG>(words[i]));
    CSafeArray array;
    switch (shape)
    {
    case VexilSimShapeEmpty:
        return S_OK;
    case VexilSimShapeScalar:
        V_VT(value) = VT_I4;
        V_I4(value) = signedWords.front();
        return S_OK;
    case VexilSimShapeI2:
    {
        std::vector<SHORT> elements;
        for (LONG word : signedWords)
            elements.push_back(static_cast<SHORT>(word));
        array = CSafeArray::MakeI2(elements);
        break;
    }
    case VexilSimShapeR8:
    {
        std::vector<double> elements;
        for (LONG word : signedWords)
            elements.push_back(static_cast<double>(word));
        array = CSafeArray::MakeR8(elements);
        break;
    }
    case VexilSimShapeBStr:
    {
        std::vector<std::wstring> elements;
        for (LONG word : signedWords)
            elements.push_back(std::to_wstring(word));
        array = CSafeArray::MakeBStr(elements);
        break;
    }
    case VexilSimShapeVariant:
    {
        std::vector<CVariant> elements;
        for (LONG word : signedWords)
            elements.emplace_back(word);
        array = CSafeArray::MakeVariant(elements);
        break;
    }
    case VexilSimShapeShort:
        array = CSafeArray::MakeI4(std::span<const LONG>(signedWords).first(signedWords.size() - 1));
        break;
    case VexilSimShapeI4:
    default:
        array = CSafeArray::MakeI4(signedWords);
        break;
    }
    return array.MoveTo(value);
}
