// The host's control interface of the GDB register access server, and its
// error information support.
#include "gdbaccess/GdbRegisterServer.h"

#include "gdbaccess/DescriptionFile.h"
#include "sim/ResultCodes.h"

#include "frame/com/AnsiText.h"
#include "frame/com/ErrorInfo.h"

namespace {

constexpr LONG kMaxTimeout = 600000;

std::wstring ToText(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

} // namespace

STDMETHODIMP CGdbRegisterServer::Connect(BSTR hostAndPort)
{
    CComPtr<IVexilGdbControl> keepAlive(this);
    const std::wstring text = ToText(hostAndPort);
    std::string host;
    std::uint16_t port = 0;
    if (!SplitHostPort(AnsiText::Narrow(text), host, port))
        return RaiseControl(E_INVALIDARG, L"Connect: \"" + text + L"\" is not HOST:PORT");
    m_session.reset();
    try
    {
        m_session = std::make_unique<CRspSession>(host, port, m_timeout);
    }
    catch (const std::exception& failure)
    {
        ChangeState(0);
        return RaiseControl(kNoConnection, L"cannot connect to the GDB server at " + text + L": " + AnsiText::Widen(failure.what()));
    }
    ChangeState(1);
    return S_OK;
}

STDMETHODIMP CGdbRegisterServer::Disconnect()
{
    CComPtr<IVexilGdbControl> keepAlive(this);
    m_session.reset();
    ChangeState(0);
    return S_OK;
}

STDMETHODIMP CGdbRegisterServer::LoadDescription(BSTR path)
{
    const std::wstring file = ToText(path);
    if (file.empty())
        return RaiseControl(E_INVALIDARG, L"LoadDescription: no file named");
    std::variant<CDescription, std::wstring> loaded = LoadDescriptionFile(file);
    if (const std::wstring* problem = std::get_if<std::wstring>(&loaded))
        return RaiseControl(E_INVALIDARG, *problem);
    m_description = std::get<CDescription>(std::move(loaded));
    return S_OK;
}

STDMETHODIMP CGdbRegisterServer::SetTimeout(LONG milliseconds)
{
    if (milliseconds < 1 || milliseconds > kMaxTimeout)
        return RaiseControl(E_INVALIDARG, L"SetTimeout: " + std::to_wstring(milliseconds) + L" ms is not 1 to 600000");
    m_timeout = CMilliseconds(milliseconds);
    if (m_session)
        m_session->SetTimeout(m_timeout);
    return S_OK;
}

STDMETHODIMP CGdbRegisterServer::SetByteOrder(VexilGdbByteOrder order)
{
    if (order != VexilGdbLittleEndian && order != VexilGdbBigEndian)
        return RaiseControl(E_INVALIDARG, L"SetByteOrder: unknown order " + std::to_wstring(order));
    m_defaultOrder = order == VexilGdbBigEndian ? ByteOrder::Big : ByteOrder::Little;
    return S_OK;
}

STDMETHODIMP CGdbRegisterServer::GetDescriptionSize(LONG* devices, LONG* registers)
{
    if (!devices || !registers)
        return RaiseControl(E_POINTER, L"GetDescriptionSize: no place for the counts");
    *devices = static_cast<LONG>(m_description.devices.size());
    LONG count = 0;
    for (const CDeviceInfo& device : m_description.devices)
        count += static_cast<LONG>(device.registers.size());
    *registers = count;
    return S_OK;
}

STDMETHODIMP CGdbRegisterServer::InterfaceSupportsErrorInfo(REFIID iid)
{
    return InlineIsEqualGUID(iid, IID_IVexilFN) || InlineIsEqualGUID(iid, IID_IVexilGdbControl) ||
                   InlineIsEqualGUID(iid, IID_IVexilFNDetails)
               ? S_OK
               : S_FALSE;
}
