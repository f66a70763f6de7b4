#include "frame/Help.h"

#include "frame/com/BStr.h"
#include "frame/com/ComPtr.h"

#include "HostFramework.h"

#include <utility>

namespace {

Help::CWinHelp& GetReplacement()
{
    static Help::CWinHelp replacement;
    return replacement;
}

BOOL CallWinHelp(HWND window, const char* file, UINT command, ULONG_PTR data)
{
    const Help::CWinHelp& replacement = GetReplacement();
    return replacement ? replacement(window, file, command, data) : WinHelpA(window, file, command, data);
}

class CFindHandle
{
public:
    explicit CFindHandle(HANDLE handle) : m_handle(handle) {}
    ~CFindHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            FindClose(m_handle);
    }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;
    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

// The module's file path; empty when it cannot be had in full within 260 characters.
std::string GetModulePath(HMODULE module)
{
    std::string path(MAX_PATH, '\0');
    const DWORD length = GetModuleFileNameA(module, path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    path.resize(length);
    return path;
}

std::wstring ConvertToWide(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string ConvertToNarrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

// The help file that the host's help-path service names for ours; empty
// when there is no service or it names none.
std::string FindHelpFileByService(const std::string& helpFile)
{
    CComPtr<IHelpPathService> service;
    if (FAILED(CoCreateInstance(CLSID_HelpPathService, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IHelpPathService, service.OutVoid())) ||
        !service)
        return {};
    const CBStr file(ConvertToWide(helpFile));
    long status = 0; // the service's search status: not needed
    CBStr found;
    if (FAILED(service->FindHelpFile(file.Get(), &status, found.Out())) || !found)
        return {};
    return ConvertToNarrow(found.ToString());
}

} // namespace

namespace Help {

std::string BuildHelpFilePath(const std::string& modulePath)
{
    WIN32_FIND_DATAA found{};
    const CFindHandle search(FindFirstFileA(modulePath.c_str(), &found));
    if (!search.IsValid())
        return {};
    const std::size_t separator = modulePath.find_last_of("\\/");
    std::string path = separator == std::string::npos ? std::string() : modulePath.substr(0, separator + 1);
    path += found.cFileName;
    if (path.size() > 3)
        path.replace(path.size() - 3, 3, "hlp");
    return path;
}

void ShowHelpContext(HMODULE module, HWND window, DWORD contextId)
{
    if (contextId == 0)
        return;
    const std::string modulePath = GetModulePath(module);
    if (modulePath.empty())
        return;
    const std::string helpFile = BuildHelpFilePath(modulePath);
    if (helpFile.empty())
        return;
    const std::string serviceFile = FindHelpFileByService(helpFile);
    CallWinHelp(window, serviceFile.empty() ? helpFile.c_str() : serviceFile.c_str(), CommandContext, contextId);
}

CWinHelp ReplaceWinHelp(CWinHelp call) { return std::exchange(GetReplacement(), std::move(call)); }

} // namespace Help
