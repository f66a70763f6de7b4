// The register access server interface of the simulator.
#include "sim/Simulator.h"
#include "sim/RegisterLists.h"

#include "sim/ResultCodes.h"
#include "sim/ValueConversion.h"

#include "frame/com/ErrorInfo.h"
#include "frame/com/SafeArray.h"

#include <cstdint>
#include <vector>

namespace {

constexpr wchar_t kSource[] = L"Vexil.Simulator";

std::wstring FormatHex(std::uint32_t value)
{
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    do
    {
        text.insert(text.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return L"0x" + text;
}

std::wstring FormatTarget(long device, long address)
{
    return L"device " + std::to_wstring(device) + L", address " + FormatHex(static_cast<std::uint32_t>(address));
}

// Out-parameters hold nothing until a call fills them.
void ClearOut(std::initializer_list<VARIANT*> values)
{
    for (VARIANT* value : values)
        if (value)
            VariantInit(value);
}

} // namespace

const wchar_t* CSimulator::GetErrorSource() { return kSource; }

CSimulator::CSimulator()
    : m_events(*static_cast<IConnectionPointContainer*>(this), DIID__IVexilFNEvents), m_points{&m_events},
      m_bank(std::make_unique<CRegisterBank>(MakeBuiltInDescription()))
{
}

template <class Body> HRESULT CSimulator::Serve(VexilSimCallKind kind, CTarget target, Body body)
{
    // A sink may release the last reference during the state event.
    CComPtr<IVexilFN> keepAlive(this);
    ++m_callCounts[VexilSimCallsAll];
    if (kind != VexilSimCallsAll)
        ++m_callCounts[kind];
    if (const DWORD delay = m_faults.GetDelay())
        Sleep(delay);

    HRESULT hr = S_OK;
    if (std::optional<CInjectedFailure> failure = m_faults.StartCall(target))
        hr = RaiseServer(target, failure->code, failure->description);
    else
        hr = body();

    if (const std::optional<long> state = m_faults.EndCall())
    {
        // The sinks' own calls must not replace this call's error object.
        CComPtr<IErrorInfo> error;
        if (FAILED(hr))
            GetErrorInfo(0, error.Out());
        ChangeState(*state);
        if (error)
            SetErrorInfo(0, error.Get());
    }
    return hr;
}

HRESULT CSimulator::RaiseServer(CTarget target, HRESULT code, const std::wstring& problem) const
{
    const std::wstring description = target ? FormatTarget(target->first, target->second) + L": " + problem : problem;
    return ErrorInfo::Raise(code, IID_IVexilFN, kSource, description);
}

HRESULT CSimulator::RaiseControl(HRESULT code, const std::wstring& problem)
{
    return ErrorInfo::Raise(code, IID_IVexilSimControl, kSource, problem);
}

void CSimulator::ChangeState(long state)
{
    m_state = state;
    VARIANT argument;
    V_VT(&argument) = VT_I4;
    V_I4(&argument) = state;
    m_events.FireEvent(1, std::span<const VARIANT>(&argument, 1));
}

// What every register access needs: a ready server, the last argument 0
// and a length of 1 to 128 bits. S_OK or the failure that was raised.
HRESULT CSimulator::CheckAccess(const CTarget& target, LONG length, LONG flags)
{
    if (m_state == 0)
        return RaiseServer(target, kNoConnection, L"no connection: the server state is 0");
    if (flags != 0)
        return RaiseServer(target, kIllegalParameter,
                           L"illegal parameter: the last argument is " + std::to_wstring(flags) + L", not 0");
    if (!IsValidLength(length))
        return RaiseServer(target, kInvalidAccessLength,
                           L"invalid access length: " + std::to_wstring(length) + L" bits is not 1 to 128");
    return S_OK;
}

STDMETHODIMP CSimulator::ReadRegister(LONG deviceId, LONG address, LONG length, VARIANT* value, VARIANT mask,
                                      LONG flags)
{
    ClearOut({value});
    const CTarget target = std::pair{deviceId, address};
    return Serve(VexilSimCallsRead, target, [&]() -> HRESULT {
        if (!value)
            return RaiseServer(target, E_POINTER, L"no place for the value");
        if (const HRESULT refused = CheckAccess(target, length, flags); FAILED(refused))
            return refused;
        CWords maskWords;
        if (std::optional<std::wstring> problem = ReadWords(mask, GetWordCount(length), maskWords))
            return RaiseServer(target, kIllegalMask, L"illegal mask: " + *problem);
        CWords words;
        if (std::optional<CAccessFailure> failure = m_bank->Read(deviceId, address, length, maskWords, words))
            return RaiseServer(target, failure->code, failure->problem);
        const HRESULT hr = MakeReadValue(words, GetWordCount(length), m_faults.GetValueShape(), value);
        return FAILED(hr) ? RaiseServer(target, hr, L"the value cannot be made") : hr;
    });
}

STDMETHODIMP CSimulator::WriteRegister(LONG deviceId, LONG address, LONG length, VARIANT value, VARIANT mask,
                                       LONG flags)
{
    const CTarget target = std::pair{deviceId, address};
    return Serve(VexilSimCallsWrite, target, [&]() -> HRESULT {
        if (const HRESULT refused = CheckAccess(target, length, flags); FAILED(refused))
            return refused;
        CWords valueWords;
        if (std::optional<std::wstring> problem = ReadWords(value, GetWordCount(length), valueWords))
            return RaiseServer(target, kIllegalParameter, L"illegal parameter: the value is " + *problem);
        CWords maskWords;
        if (std::optional<std::wstring> problem = ReadWords(mask, GetWordCount(length), maskWords))
            return RaiseServer(target, kIllegalMask, L"illegal mask: " + *problem);
        if (std::optional<CAccessFailure> failure = m_bank->Write(deviceId, address, length, valueWords, maskWords))
            return RaiseServer(target, failure->code, failure->problem);
        return S_OK;
    });
}

STDMETHODIMP CSimulator::Reserved1()
{
    return Serve(VexilSimCallsAll, std::nullopt,
                 [&] { return RaiseServer(std::nullopt, E_NOTIMPL, L"Reserved1 is not implemented"); });
}

STDMETHODIMP CSimulator::Reserved2()
{
    return Serve(VexilSimCallsAll, std::nullopt,
                 [&] { return RaiseServer(std::nullopt, E_NOTIMPL, L"Reserved2 is not implemented"); });
}

STDMETHODIMP CSimulator::GetDevices(VARIANT* names, VARIANT* ids)
{
    ClearOut({names, ids});
    return Serve(VexilSimCallsAll, std::nullopt, [&]() -> HRESULT {
        if (!names || !ids)
            return RaiseServer(std::nullopt, E_POINTER, L"GetDevices: no place for the names or the ids");
        std::vector<std::wstring> deviceNames;
        std::vector<LONG> deviceIds;
        for (const CDeviceInfo& device : m_bank->GetDescription().devices)
        {
            deviceNames.push_back(device.name);
            deviceIds.push_back(device.id);
        }
        if (FAILED(CSafeArray::MakeBStr(deviceNames).MoveTo(names)) ||
            FAILED(CSafeArray::MakeI4(deviceIds).MoveTo(ids)))
        {
            VariantClear(names);
            VariantClear(ids);
            return RaiseServer(std::nullopt, E_OUTOFMEMORY, L"GetDevices: out of memory");
        }
        return S_OK;
    });
}

STDMETHODIMP CSimulator::GetRegisters(LONG deviceId, VARIANT* names, VARIANT* addresses, VARIANT* lengths,
                                      VARIANT* operations, VARIANT* secondTexts, VARIANT* numbers, VARIANT* extras,
                                      LONG* userRegisterFlag)
{
    const std::initializer_list<VARIANT*> outputs = {names, addresses, lengths, operations, secondTexts, numbers, extras};
    ClearOut(outputs);
    if (userRegisterFlag)
        *userRegisterFlag = 0;
    return Serve(VexilSimCallsAll, std::nullopt, [&]() -> HRESULT {
        const std::wstring label = L"device " + std::to_wstring(deviceId) + L": ";
        for (VARIANT* output : outputs)
            if (!output)
                return RaiseServer(std::nullopt, E_POINTER, label + L"GetRegisters: a list has no place");
        if (!userRegisterFlag)
            return RaiseServer(std::nullopt, E_POINTER, label + L"GetRegisters: the flag has no place");
        const CDeviceInfo* device = m_bank->GetDescription().FindDevice(deviceId);
        if (!device)
            return RaiseServer(std::nullopt, kDeviceNotSupported, label + L"the device is not supported by the product");

        // The control ignores the last two lists: indexes and behaviour names.
        if (!MakeRegisterLists(*device, [](const CRegisterInfo& info) { return GetBehaviourName(info.behaviour); },
                               names, addresses, lengths, operations, secondTexts, numbers, extras))
            return RaiseServer(std::nullopt, E_OUTOFMEMORY, label + L"GetRegisters: out of memory");
        *userRegisterFlag = device->userRegisterFlag;
        return S_OK;
    });
}

STDMETHODIMP CSimulator::GetServerState(LONG* state)
{
    return Serve(VexilSimCallsAll, std::nullopt, [&]() -> HRESULT {
        if (!state)
            return RaiseServer(std::nullopt, E_POINTER, L"GetServerState: no place for the state");
        *state = m_state;
        return S_OK;
    });
}
