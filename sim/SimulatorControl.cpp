// The simulator's control interface (state, description, faults, call
// counts, direct register access) and its error information support.
#include "sim/Simulator.h"

#include "sim/ValueConversion.h"

#include "frame/com/ErrorInfo.h"
#include "frame/com/Module.h"
#include "frame/com/SafeArray.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <variant>

namespace {

constexpr std::uintmax_t kMaxDescriptionSize = 16u << 20; // far above any real product
constexpr LONG kMaxDelay = 60000;

std::wstring ToText(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

} // namespace

HRESULT CSimulator::Initialize()
{
    const std::filesystem::path beside = std::filesystem::path(Module::GetFileName()).parent_path() / L"VexilSim.txt";
    std::error_code error;
    if (!std::filesystem::is_regular_file(beside, error))
        return S_OK; // the built-in description stays
    return LoadDescriptionFile(beside.wstring());
}

HRESULT CSimulator::LoadDescriptionFile(const std::wstring& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return RaiseControl(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), L"cannot open the description " + path);
    if (size > kMaxDescriptionSize)
        return RaiseControl(E_INVALIDARG, L"the description " + path + L" is larger than 16 MB");
    std::string text(static_cast<std::size_t>(size), '\0');
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file || !file.read(text.data(), static_cast<std::streamsize>(text.size())))
        return RaiseControl(HRESULT_FROM_WIN32(ERROR_READ_FAULT), L"cannot read the description " + path);
    std::variant<CDescription, CDescriptionError> parsed = ParseDescription(text);
    if (const CDescriptionError* problem = std::get_if<CDescriptionError>(&parsed))
        return RaiseControl(E_INVALIDARG, path + L", line " + std::to_wstring(problem->line) + L": " + problem->problem);
    m_bank = std::make_unique<CRegisterBank>(std::get<CDescription>(std::move(parsed)));
    return S_OK;
}

STDMETHODIMP CSimulator::SetServerState(LONG state)
{
    CComPtr<IVexilSimControl> keepAlive(this);
    ChangeState(state);
    return S_OK;
}

STDMETHODIMP CSimulator::LoadDescription(BSTR path)
{
    const std::wstring file = ToText(path);
    if (file.empty())
        return RaiseControl(E_INVALIDARG, L"LoadDescription: no file named");
    return LoadDescriptionFile(file);
}

STDMETHODIMP CSimulator::LoadBuiltInDescription()
{
    m_bank = std::make_unique<CRegisterBank>(MakeBuiltInDescription());
    return S_OK;
}

STDMETHODIMP CSimulator::FailCall(LONG callNumber, LONG code, BSTR description)
{
    if (callNumber < 1)
        return RaiseControl(E_INVALIDARG, L"FailCall: the call number " + std::to_wstring(callNumber) + L" is not 1 or more");
    if (SUCCEEDED(code))
        return RaiseControl(E_INVALIDARG, L"FailCall: the code is not a failure");
    m_faults.FailCall(callNumber, code, ToText(description));
    return S_OK;
}

STDMETHODIMP CSimulator::FailRegister(LONG deviceId, LONG address, LONG code, BSTR description)
{
    if (SUCCEEDED(code))
        return RaiseControl(E_INVALIDARG, L"FailRegister: the code is not a failure");
    m_faults.FailRegister(deviceId, address, code, ToText(description));
    return S_OK;
}

STDMETHODIMP CSimulator::SetCallDelay(LONG milliseconds)
{
    if (milliseconds < 0 || milliseconds > kMaxDelay)
        return RaiseControl(E_INVALIDARG, L"SetCallDelay: " + std::to_wstring(milliseconds) + L" ms is not 0 to 60000");
    m_faults.SetDelay(static_cast<DWORD>(milliseconds));
    return S_OK;
}

STDMETHODIMP CSimulator::ChangeStateAfter(LONG calls, LONG state)
{
    if (calls < 1)
        return RaiseControl(E_INVALIDARG, L"ChangeStateAfter: " + std::to_wstring(calls) + L" calls is not 1 or more");
    m_faults.ChangeStateAfter(calls, state);
    return S_OK;
}

STDMETHODIMP CSimulator::SetValueShape(VexilSimValueShape shape)
{
    if (shape < VexilSimShapeI4 || shape > VexilSimShapeShort)
        return RaiseControl(E_INVALIDARG, L"SetValueShape: unknown shape " + std::to_wstring(shape));
    m_faults.SetValueShape(shape);
    return S_OK;
}

STDMETHODIMP CSimulator::ClearFaults()
{
    m_faults.Clear();
    return S_OK;
}

STDMETHODIMP CSimulator::GetCallCount(VexilSimCallKind kind, LONG* count)
{
    if (!count)
        return RaiseControl(E_POINTER, L"GetCallCount: no place for the count");
    *count = 0;
    if (kind < VexilSimCallsAll || kind > VexilSimCallsWrite)
        return RaiseControl(E_INVALIDARG, L"GetCallCount: unknown kind " + std::to_wstring(kind));
    *count = m_callCounts[kind];
    return S_OK;
}

STDMETHODIMP CSimulator::ResetCallCount()
{
    m_callCounts = {};
    return S_OK;
}

STDMETHODIMP CSimulator::PeekRegister(LONG deviceId, LONG address, VARIANT* value)
{
    if (!value)
        return RaiseControl(E_POINTER, L"PeekRegister: no place for the value");
    VariantInit(value);
    CWords words;
    int length = 0;
    if (!m_bank->Peek(deviceId, address, words, length))
        return S_OK;
    return MakeReadValue(words, GetWordCount(length), VexilSimShapeI4, value);
}

STDMETHODIMP CSimulator::PokeRegister(LONG deviceId, LONG address, VARIANT value)
{
    if (!m_bank->GetDescription().FindDevice(deviceId))
        return RaiseControl(E_INVALIDARG, L"PokeRegister: device " + std::to_wstring(deviceId) + L" is not described");
    CWords words;
    int length = 0;
    const bool known = m_bank->Peek(deviceId, address, words, length);
    const std::optional<int> elements = GetElementCount(value);
    if (!known)
    {
        if (!elements || *elements < 1 || *elements > kMaxWordCount)
            return RaiseControl(E_INVALIDARG, L"PokeRegister: the value is not an array of 1 to 4 words");
        length = 32 * *elements;
    }
    if (std::optional<std::wstring> problem = ReadWords(value, GetWordCount(length), words))
        return RaiseControl(E_INVALIDARG, L"PokeRegister: the value is " + *problem);
    m_bank->Poke(deviceId, address, words, length);
    return S_OK;
}

STDMETHODIMP CSimulator::InterfaceSupportsErrorInfo(REFIID iid)
{
    return InlineIsEqualGUID(iid, IID_IVexilFN) || InlineIsEqualGUID(iid, IID_IVexilSimControl) ||
                   InlineIsEqualGUID(iid, IID_IVexilFNDetails)
               ? S_OK
               : S_FALSE;
}

// Script engines see one IDispatch per object. The control interface's
// dispatch ids (assigned by the type library) never collide with the server
// interface's explicit ids 1 to 7, so one IDispatch serves both.
STDMETHODIMP CSimulator::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids)
{
    const HRESULT hr = CDispatchImpl<IVexilFN>::GetIDsOfNames(iid, names, count, locale, ids);
    CComPtr<ITypeInfo> control;
    if (hr != DISP_E_UNKNOWNNAME || FAILED(Module::GetTypeInfo(IID_IVexilSimControl, control.Out())))
        return hr;
    return control->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP CSimulator::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                VARIANT* result, EXCEPINFO* exception, UINT* argumentError)
{
    CComPtr<ITypeInfo> control;
    CComPtr<ITypeInfo2> lookup;
    UINT index = 0;
    if (InlineIsEqualGUID(iid, IID_NULL) && SUCCEEDED(Module::GetTypeInfo(IID_IVexilSimControl, control.Out())) &&
        SUCCEEDED(control.QueryInterface(lookup)) && SUCCEEDED(lookup->GetFuncIndexOfMemId(id, INVOKE_FUNC, &index)))
        return control->Invoke(static_cast<IVexilSimControl*>(this), id, flags, parameters, result, exception,
                               argumentError);
    return CDispatchImpl<IVexilFN>::Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
}
