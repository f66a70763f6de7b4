#pragma once
// IVexilFNDetailsImpl<T>: the details interface of a register access server
// over its description. T provides
//   const CDescription& GetDetailsDescription() const;
//   static const wchar_t* GetErrorSource();

#include "sim/RegisterDetails.h"

#include "frame/com/ErrorInfo.h"
#include "frame/com/SafeArray.h"

#include "VexilFN.h"

#include <initializer_list>
#include <string>
#include <vector>

template <class T> class IVexilFNDetailsImpl : public IVexilFNDetails
{
public:
    STDMETHODIMP GetFields(LONG deviceId, BSTR registerName, VARIANT* names, VARIANT* lowBits, VARIANT* widths,
                           VARIANT* accesses, VARIANT* descriptions) override
    {
        const std::initializer_list<VARIANT*> outputs = {names, lowBits, widths, accesses, descriptions};
        const CRegisterInfo* info = nullptr;
        if (const HRESULT hr = Begin(outputs, deviceId, registerName, info); FAILED(hr))
            return hr;
        std::vector<std::wstring> fieldNames, fieldAccesses, fieldDescriptions;
        std::vector<LONG> fieldLowBits, fieldWidths;
        for (const CFieldInfo& field : info->fields)
        {
            fieldNames.push_back(field.name);
            fieldLowBits.push_back(field.lsb);
            fieldWidths.push_back(field.width);
            fieldAccesses.push_back(field.access);
            fieldDescriptions.push_back(field.description);
        }
        return Finish(outputs, SUCCEEDED(CSafeArray::MakeBStr(fieldNames).MoveTo(names)) &&
                                   SUCCEEDED(CSafeArray::MakeI4(fieldLowBits).MoveTo(lowBits)) &&
                                   SUCCEEDED(CSafeArray::MakeI4(fieldWidths).MoveTo(widths)) &&
                                   SUCCEEDED(CSafeArray::MakeBStr(fieldAccesses).MoveTo(accesses)) &&
                                   SUCCEEDED(CSafeArray::MakeBStr(fieldDescriptions).MoveTo(descriptions)));
    }

    STDMETHODIMP GetFieldValues(LONG deviceId, BSTR registerName, LONG field, VARIANT* values, VARIANT* masks,
                                VARIANT* names, VARIANT* descriptions) override
    {
        const std::initializer_list<VARIANT*> outputs = {values, masks, names, descriptions};
        const CRegisterInfo* info = nullptr;
        if (const HRESULT hr = Begin(outputs, deviceId, registerName, info); FAILED(hr))
            return hr;
        if (field < 0 || static_cast<std::size_t>(field) >= info->fields.size())
            return Raise(E_INVALIDARG, L"the register " + std::wstring(registerName) + L" has no field " +
                                           std::to_wstring(field));
        const CFieldInfo& source = info->fields[static_cast<std::size_t>(field)];
        std::vector<std::wstring> valueTexts, maskTexts, valueNames, valueDescriptions;
        for (const CEnumeratedValue& value : source.values)
        {
            // A value the description cannot express is left out, not guessed.
            const auto parsed = RegisterDetails::ParseEnumeratedValue(value.value, source.width);
            if (!parsed)
                continue;
            valueTexts.push_back(RegisterDetails::FormatHex(parsed->value));
            maskTexts.push_back(RegisterDetails::FormatHex(parsed->mask));
            valueNames.push_back(value.name);
            valueDescriptions.push_back(value.description);
        }
        return Finish(outputs, SUCCEEDED(CSafeArray::MakeBStr(valueTexts).MoveTo(values)) &&
                                   SUCCEEDED(CSafeArray::MakeBStr(maskTexts).MoveTo(masks)) &&
                                   SUCCEEDED(CSafeArray::MakeBStr(valueNames).MoveTo(names)) &&
                                   SUCCEEDED(CSafeArray::MakeBStr(valueDescriptions).MoveTo(descriptions)));
    }

    STDMETHODIMP GetReadEffects(LONG deviceId, VARIANT* registerNames, VARIANT* effects) override
    {
        const std::initializer_list<VARIANT*> outputs = {registerNames, effects};
        for (VARIANT* output : outputs)
            if (!output)
                return Raise(E_POINTER, L"GetReadEffects: a list has no place");
            else
                VariantInit(output);
        const CDeviceInfo* device = static_cast<const T*>(this)->GetDetailsDescription().FindDevice(deviceId);
        if (!device)
            return Raise(E_INVALIDARG, L"device " + std::to_wstring(deviceId) + L" is unknown");
        std::vector<std::wstring> names, texts;
        for (const CRegisterInfo& info : device->registers)
            if (std::wstring effect = RegisterDetails::DescribeReadEffect(info); !effect.empty())
            {
                names.push_back(info.name);
                texts.push_back(std::move(effect));
            }
        return Finish(outputs, SUCCEEDED(CSafeArray::MakeBStr(names).MoveTo(registerNames)) &&
                                   SUCCEEDED(CSafeArray::MakeBStr(texts).MoveTo(effects)));
    }

private:
    HRESULT Begin(std::initializer_list<VARIANT*> outputs, LONG deviceId, BSTR registerName,
                  const CRegisterInfo*& info) const
    {
        for (VARIANT* output : outputs)
            if (!output)
                return Raise(E_POINTER, L"a list has no place");
            else
                VariantInit(output);
        const std::wstring name = registerName ? registerName : L"";
        info = RegisterDetails::FindRegister(static_cast<const T*>(this)->GetDetailsDescription(), deviceId, name);
        if (!info)
            return Raise(E_INVALIDARG,
                         L"device " + std::to_wstring(deviceId) + L" has no register named \"" + name + L"\"");
        return S_OK;
    }

    static HRESULT Finish(std::initializer_list<VARIANT*> outputs, bool made)
    {
        if (made)
            return S_OK;
        for (VARIANT* output : outputs)
            VariantClear(output);
        return Raise(E_OUTOFMEMORY, L"out of memory");
    }

    static HRESULT Raise(HRESULT code, const std::wstring& problem)
    {
        return ErrorInfo::Raise(code, IID_IVexilFNDetails, T::GetErrorSource(), problem);
    }
};
