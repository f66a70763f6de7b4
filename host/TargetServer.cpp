#include "host/TargetServer.h"

#include "frame/com/AnsiText.h"
#include "frame/com/BStr.h"
#include "frame/com/ErrorInfo.h"

#include "VexilGdb.h"

namespace {

std::string Describe(const char* step, HRESULT hr)
{
    char code[16];
    wsprintfA(code, "0x%08lX", static_cast<unsigned long>(hr));
    const std::wstring description = ErrorInfo::TakeDescription();
    return std::string(step) + " failed (" + code + ")" + (description.empty() ? "" : ": " + AnsiText::Narrow(description));
}

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
        reason = Describe("Creating the GDB server \"Vexil.GdbServer\"", hr);
        return {};
    }
    if (hr = control->LoadDescription(CBStr(description).Get()); FAILED(hr))
    {
        reason = Describe("Loading the description", hr);
        return {};
    }
    if (hr = control->Connect(CBStr(address).Get()); FAILED(hr))
    {
        reason = Describe("Connecting", hr);
        return {};
    }
    return server;
}

} // namespace TargetServer
