// The register access server interface over the GDB connection.
#include "gdbaccess/GdbRegisterServer.h"
#include "sim/RegisterLists.h"

#include "sim/ResultCodes.h"
#include "sim/ValueConversion.h"

#include "frame/com/AnsiText.h"
#include "frame/com/ErrorInfo.h"
#include "frame/com/SafeArray.h"

#include <cstdint>
#include <vector>

namespace {

constexpr wchar_t kSource[] = L"Vexil.GdbServer";
// How the control names a failed exchange (its message table knows these).
constexpr HRESULT kTimeout = static_cast<HRESULT>(0x80042007u);
constexpr HRESULT kWrongResponse = static_cast<HRESULT>(0x80042006u);
constexpr HRESULT kWriteFailure = static_cast<HRESULT>(0x85000006u);
constexpr HRESULT kReadFailure = static_cast<HRESULT>(0x85000007u);
constexpr long kOperationWrite = 0x2;

std::wstring FormatHex(std::uint32_t value)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}

void ClearOut(std::initializer_list<VARIANT*> values)
{
    for (VARIANT* value : values)
        if (value)
            VariantInit(value);
}

// The register at the address that the access fits, or else the first there.
// Alternate registers share an address (a read-only status and a write-only
// clear register, say): the access picks the one it suits.
const CRegisterInfo* FindRegister(const CDeviceInfo& device, long address, long length, long operation)
{
    const CRegisterInfo* first = nullptr;
    for (const CRegisterInfo& info : device.registers)
        if (info.address == address)
        {
            if (info.length == length && (info.operations & operation))
                return &info;
            if (!first)
                first = &info;
        }
    return first;
}

} // namespace

const wchar_t* CGdbRegisterServer::GetErrorSource() { return kSource; }

CGdbRegisterServer::CGdbRegisterServer()
    : m_events(*static_cast<IConnectionPointContainer*>(this), DIID__IVexilFNEvents), m_points{&m_events}
{
}

CGdbRegisterServer::~CGdbRegisterServer() = default;

HRESULT CGdbRegisterServer::RaiseServer(HRESULT code, const std::wstring& problem)
{
    return ErrorInfo::Raise(code, IID_IVexilFN, kSource, problem);
}

HRESULT CGdbRegisterServer::RaiseControl(HRESULT code, const std::wstring& problem)
{
    return ErrorInfo::Raise(code, IID_IVexilGdbControl, kSource, problem);
}

HRESULT CGdbRegisterServer::RaiseAccess(const CTarget& target, HRESULT code, const std::wstring& problem)
{
    std::wstring name = L"device " + std::to_wstring(target.device);
    if (const CDeviceInfo* device = m_description.FindDevice(target.device))
        name = device->name;
    if (target.info)
        name += L"." + (target.info->path.empty() ? L"" : target.info->path + L"/") + target.info->name;
    return RaiseServer(code, name + L" at " + FormatHex(static_cast<std::uint32_t>(target.address)) + L": " +
                                 problem);
}

void CGdbRegisterServer::ChangeState(long state)
{
    if (state == m_state)
        return;
    m_state = state;
    // The sinks' own calls must not replace the error object of a failing call.
    CComPtr<IErrorInfo> error;
    GetErrorInfo(0, error.Out());
    VARIANT argument;
    V_VT(&argument) = VT_I4;
    V_I4(&argument) = state;
    m_events.FireEvent(1, std::span<const VARIANT>(&argument, 1));
    if (error)
        SetErrorInfo(0, error.Get());
}

ByteOrder CGdbRegisterServer::GetByteOrder() const
{
    return m_description.byteOrder == ByteOrder::Unspecified ? m_defaultOrder : m_description.byteOrder;
}

HRESULT CGdbRegisterServer::FindTarget(LONG deviceId, LONG address, LONG length, LONG flags, long operation,
                                       CTarget& target)
{
    target = CTarget{deviceId, address, nullptr};
    const CDeviceInfo* device = m_description.FindDevice(deviceId);
    if (!device)
        return RaiseAccess(target, kDeviceNotSupported, L"the device is not described");
    target.info = FindRegister(*device, address, length, operation);
    if (!m_session || !m_session->IsOpen())
        return RaiseAccess(target, kNoConnection, L"no connection to a GDB server");
    if (flags != 0)
        return RaiseAccess(target, kIllegalParameter, L"the last argument is " + std::to_wstring(flags) + L", not 0");
    if (!IsValidLength(length))
        return RaiseAccess(target, kInvalidAccessLength, std::to_wstring(length) + L" bits is not 1 to 128");
    if (target.info && target.info->length != length)
        return RaiseAccess(target, kInvalidAccessLength,
                           L"the register has " + std::to_wstring(target.info->length) + L" bits, not " +
                               std::to_wstring(length));
    if (target.info && !(target.info->operations & operation))
        return RaiseAccess(target, kIllegalAccessType,
                           operation == kOperationRead ? L"the register cannot be read" : L"the register cannot be written");
    return S_OK;
}

HRESULT CGdbRegisterServer::RaiseExchange(const CTarget& target, const CRspFailure& failure, bool writing)
{
    HRESULT code = kWrongResponse;
    switch (failure.GetKind())
    {
    case CRspFailure::Kind::ErrorReply: code = writing ? kWriteFailure : kReadFailure; break;
    case CRspFailure::Kind::Timeout: code = kTimeout; break;
    case CRspFailure::Kind::Malformed: code = kWrongResponse; break;
    case CRspFailure::Kind::Lost: code = kNoConnection; break;
    }
    const HRESULT raised = RaiseAccess(target, code, AnsiText::Widen(failure.what()));
    if (failure.GetKind() == CRspFailure::Kind::Lost)
    {
        CComPtr<IVexilFN> keepAlive(this); // a sink may release the last reference
        m_session.reset();
        ChangeState(0);
    }
    return raised;
}

STDMETHODIMP CGdbRegisterServer::ReadRegister(LONG deviceId, LONG address, LONG length, VARIANT* value, VARIANT mask,
                                              LONG flags)
{
    ClearOut({value});
    CTarget target{};
    if (const HRESULT refused = FindTarget(deviceId, address, length, flags, kOperationRead, target); FAILED(refused))
        return refused;
    if (!value)
        return RaiseAccess(target, E_POINTER, L"no place for the value");
    CWords maskWords;
    if (std::optional<std::wstring> problem = ReadWords(mask, GetWordCount(length), maskWords))
        return RaiseAccess(target, kIllegalMask, L"illegal mask: " + *problem);
    try
    {
        const std::vector<std::uint8_t> bytes =
            m_session->ReadMemory(static_cast<std::uint32_t>(address), Rsp::GetByteCount(length));
        const CWords words = (Rsp::AssembleWords(bytes, GetByteOrder()) & maskWords).CutTo(length);
        return MakeReadValue(words, GetWordCount(length), VexilSimShapeI4, value);
    }
    catch (const CRspFailure& failure)
    {
        return RaiseExchange(target, failure, false);
    }
}

STDMETHODIMP CGdbRegisterServer::WriteRegister(LONG deviceId, LONG address, LONG length, VARIANT value, VARIANT mask,
                                               LONG flags)
{
    CTarget target{};
    if (const HRESULT refused = FindTarget(deviceId, address, length, flags, kOperationWrite | 0xC, target);
        FAILED(refused))
        return refused;
    CWords valueWords;
    if (std::optional<std::wstring> problem = ReadWords(value, GetWordCount(length), valueWords))
        return RaiseAccess(target, kIllegalParameter, L"the value is " + *problem);
    CWords maskWords;
    if (std::optional<std::wstring> problem = ReadWords(mask, GetWordCount(length), maskWords))
        return RaiseAccess(target, kIllegalMask, L"illegal mask: " + *problem);
    const std::uint32_t at = static_cast<std::uint32_t>(address);
    const std::size_t size = Rsp::GetByteCount(length);
    const CWords all = CWords::MakeAllOnes(length);
    try
    {
        CWords words = valueWords & maskWords;
        // Bits outside the mask keep their value: read them first (one more access).
        if ((maskWords & all) != all)
            words = words | (Rsp::AssembleWords(m_session->ReadMemory(at, size), GetByteOrder()) & ~maskWords);
        m_session->WriteMemory(at, Rsp::SplitWords(words.CutTo(length), size, GetByteOrder()));
        return S_OK;
    }
    catch (const CRspFailure& failure)
    {
        return RaiseExchange(target, failure, true);
    }
}

STDMETHODIMP CGdbRegisterServer::Reserved1() { return RaiseServer(E_NOTIMPL, L"Reserved1 is not implemented"); }

STDMETHODIMP CGdbRegisterServer::Reserved2() { return RaiseServer(E_NOTIMPL, L"Reserved2 is not implemented"); }

STDMETHODIMP CGdbRegisterServer::GetDevices(VARIANT* names, VARIANT* ids)
{
    ClearOut({names, ids});
    if (!names || !ids)
        return RaiseServer(E_POINTER, L"GetDevices: no place for the names or the ids");
    std::vector<std::wstring> deviceNames;
    std::vector<LONG> deviceIds;
    for (const CDeviceInfo& device : m_description.devices)
    {
        deviceNames.push_back(device.name);
        deviceIds.push_back(device.id);
    }
    if (FAILED(CSafeArray::MakeBStr(deviceNames).MoveTo(names)) || FAILED(CSafeArray::MakeI4(deviceIds).MoveTo(ids)))
    {
        VariantClear(names);
        VariantClear(ids);
        return RaiseServer(E_OUTOFMEMORY, L"GetDevices: out of memory");
    }
    return S_OK;
}

STDMETHODIMP CGdbRegisterServer::GetRegisters(LONG deviceId, VARIANT* names, VARIANT* addresses, VARIANT* lengths,
                                              VARIANT* operations, VARIANT* secondTexts, VARIANT* numbers,
                                              VARIANT* extras, LONG* userRegisterFlag)
{
    const std::initializer_list<VARIANT*> outputs = {names, addresses, lengths, operations, secondTexts, numbers, extras};
    ClearOut(outputs);
    if (userRegisterFlag)
        *userRegisterFlag = 0;
    const std::wstring label = L"device " + std::to_wstring(deviceId) + L": ";
    for (VARIANT* output : outputs)
        if (!output)
            return RaiseServer(E_POINTER, label + L"GetRegisters: a list has no place");
    if (!userRegisterFlag)
        return RaiseServer(E_POINTER, label + L"GetRegisters: the flag has no place");
    const CDeviceInfo* device = m_description.FindDevice(deviceId);
    if (!device)
        return RaiseServer(kDeviceNotSupported, label + L"the device is not described");

    // The control ignores the last two lists: indexes and the registers' descriptions.
    if (!MakeRegisterLists(*device, [](const CRegisterInfo& info) { return info.description; }, names, addresses,
                           lengths, operations, secondTexts, numbers, extras))
        return RaiseServer(E_OUTOFMEMORY, label + L"GetRegisters: out of memory");
    // Any address of a target can be read: the user may add registers to every device.
    *userRegisterFlag = 1;
    return S_OK;
}

STDMETHODIMP CGdbRegisterServer::GetServerState(LONG* state)
{
    if (!state)
        return RaiseServer(E_POINTER, L"GetServerState: no place for the state");
    *state = m_state;
    return S_OK;
}
