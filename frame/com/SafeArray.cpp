#include "frame/com/SafeArray.h"

#include "frame/com/Variant.h"

namespace {

template <class T, class Source, class Copy> CSafeArray MakeVector(std::span<const Source> values, Copy copy)
{
    CSafeArray array = CSafeArray::CreateVector(kSafeArrayType<T>, static_cast<ULONG>(values.size()));
    if (!array)
        return array;
    CSafeArrayData<T> data(array.Get());
    if (!data.IsValid())
        return {};
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!copy(values[i], data.GetElements()[i]))
            return {}; // the elements copied so far are released with the array
    return array;
}

} // namespace

CSafeArray CSafeArray::CreateVector(VARTYPE type, ULONG count)
{
    return Adopt(SafeArrayCreateVector(type, 0, count));
}

CSafeArray CSafeArray::MakeI4(std::span<const LONG> values)
{
    return MakeVector<LONG>(values, [](LONG value, LONG& element) {
        element = value;
        return true;
    });
}

CSafeArray CSafeArray::MakeI2(std::span<const SHORT> values)
{
    return MakeVector<SHORT>(values, [](SHORT value, SHORT& element) {
        element = value;
        return true;
    });
}

CSafeArray CSafeArray::MakeR8(std::span<const double> values)
{
    return MakeVector<double>(values, [](double value, double& element) {
        element = value;
        return true;
    });
}

CSafeArray CSafeArray::MakeBStr(std::span<const std::wstring> values)
{
    return MakeVector<BSTR>(values, [](const std::wstring& value, BSTR& element) {
        element = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return element != nullptr;
    });
}

CSafeArray CSafeArray::MakeVariant(std::span<const CVariant> values)
{
    return MakeVector<VARIANT>(values, [](const CVariant& value, VARIANT& element) {
        return SUCCEEDED(VariantCopy(&element, const_cast<VARIANT*>(&value.Get())));
    });
}

HRESULT CSafeArray::MoveTo(VARIANT* out)
{
    if (!out)
        return E_POINTER;
    VariantInit(out);
    VARTYPE type = VT_EMPTY;
    if (!m_array || FAILED(SafeArrayGetVartype(m_array, &type)))
        return E_OUTOFMEMORY;
    V_VT(out) = static_cast<VARTYPE>(VT_ARRAY | type);
    V_ARRAY(out) = Detach();
    return S_OK;
}
