#include "host/TargetServer.h"

#include "host/Describe.h"

#include "frame/com/AnsiText.h"
#include "frame/com/BStr.h"
#include "frame/com/ErrorInfo.h"

#include "VexilGdb.h"

namespace {


} // namespace

namespace TargetServer {

CComPtr<IVexilFN> Connect(const std::wstring& address, const std::wstring& description, std::string& reason)
{
    CLSID serverClass{};
    CComPtr<IVexilFN> server;
    HRESULT hr = CLSIDFromProgID(L"Vexil.GdbServer", &serverClass);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(serverClass, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, server.OutVoid());
    CComPtr<IVexilGdbControl> control;
    if (SUCCEEDED(hr))
        hr = server.QueryInterface(control);
    if (FAILED(hr))
    {
        reason = DescribeFailure("Creating the GDB server \"Vexil.GdbServer\"", hr);
        return {};
    }
    if (hr = control->LoadDescription(CBStr(description).Get()); FAILED(hr))
    {
        reason = DescribeFailure("Loading the description", hr);
        return {};
    }
    if (hr = control->Connect(CBStr(address).Get()); FAILED(hr))
    {
        reason = DescribeFailure("Connecting", hr);
        return {};
    }
    return server;
}

} // namespace TargetServer
