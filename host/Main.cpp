// VexilDemo.exe: the demo host of the register tool control.
//
//   VexilDemo.exe                       a window for a person
//   VexilDemo.exe /script               a scripted session that prints the list
//   /hold-until FILE                    (with /script) keep the window open until FILE exists
//   /control DLL                        take the control from DLL instead of the registry
//   --gdb HOST:PORT --svd FILE          work on a real target through its GDB server
//                                       (registers described by FILE) instead of the simulator
//   --description FILE                  the simulator on a description of one's own
#include "frame/com/Module.h"
#include "host/ConsoleErrorDisplay.h"
#include "host/DemoWindow.h"
#include "host/ScriptedSession.h"
#include "host/TargetServer.h"

#include "Vexil2UI.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

constexpr const wchar_t* CONTROL_PROGID = L"ZRP.Vaz.Vexil2UI";

struct CArguments
{
    bool script = false;
    std::wstring holdUntil;
    std::wstring controlModule;
    std::wstring gdbAddress;
    std::wstring description;
    std::wstring simulatorDescription;
};

std::optional<CArguments> ParseArguments()
{
    int count = 0;
    std::unique_ptr<LPWSTR, decltype(&LocalFree)> arguments(CommandLineToArgvW(GetCommandLineW(), &count),
                                                             &LocalFree);
    CArguments result;
    for (int index = 1; arguments && index < count; ++index)
    {
        const std::wstring argument = arguments.get()[index];
        const bool hasValue = index + 1 < count;
        if (argument == L"/script")
            result.script = true;
        else if (argument == L"/hold-until" && hasValue)
            result.holdUntil = arguments.get()[++index];
        else if (argument == L"/control" && hasValue)
            result.controlModule = arguments.get()[++index];
        else if (argument == L"--gdb" && hasValue)
            result.gdbAddress = arguments.get()[++index];
        else if (argument == L"--svd" && hasValue)
            result.description = arguments.get()[++index];
        else if (argument == L"--description" && hasValue)
            result.simulatorDescription = arguments.get()[++index];
        else
            return std::nullopt;
    }
    if (result.gdbAddress.empty() != result.description.empty())
        return std::nullopt; // a target needs both
    return result;
}

// OLE for the container, the clipboard and drag and drop of the control.
class COleApartment
{
public:
    COleApartment() : m_result(OleInitialize(nullptr)) {}
    ~COleApartment()
    {
        if (SUCCEEDED(m_result))
            OleUninitialize();
    }
    COleApartment(const COleApartment&) = delete;
    COleApartment& operator=(const COleApartment&) = delete;
    HRESULT GetResult() const { return m_result; }

private:
    HRESULT m_result;
};

// The control's class taken straight from its module, for a run before or
// without registration: the container then finds it by its CLSID.
class CModuleClassRegistration
{
public:
    HRESULT Register(const std::wstring& path)
    {
        m_module.reset(LoadLibraryW(path.c_str()));
        if (!m_module)
            return HRESULT_FROM_WIN32(GetLastError());
        using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
        const auto getClassObject = reinterpret_cast<GetClassObject>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_module.get(), "DllGetClassObject")));
        if (!getClassObject)
            return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
        CComPtr<IUnknown> factory;
        HRESULT hr = getClassObject(CLSID_Vexil2UI, IID_IClassFactory, factory.OutVoid());
        if (SUCCEEDED(hr))
            hr = CoRegisterClassObject(CLSID_Vexil2UI, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                       &m_cookie);
        return hr;
    }
    void Revoke()
    {
        if (m_cookie)
            CoRevokeClassObject(m_cookie);
        m_cookie = 0;
    }
    ~CModuleClassRegistration() { Revoke(); }

private:
    struct CLibraryRelease
    {
        void operator()(HMODULE module) const { FreeLibrary(module); }
    };
    // Declared first: the module is freed after the class is revoked.
    std::unique_ptr<std::remove_pointer_t<HMODULE>, CLibraryRelease> m_module;
    DWORD m_cookie = 0;
};

std::wstring FormatClassId(REFCLSID id)
{
    wchar_t text[40] = {};
    StringFromGUID2(id, text, 40);
    return text;
}

int RunHost(const CArguments& arguments)
{
    CModuleClassRegistration moduleClass;
    std::wstring controlName = CONTROL_PROGID;
    if (!arguments.controlModule.empty())
    {
        if (const HRESULT hr = moduleClass.Register(arguments.controlModule); FAILED(hr))
        {
            std::fprintf(stderr, "VexilDemo: the control cannot be taken from its module: 0x%08lX\n",
                         static_cast<unsigned long>(hr));
            return 1;
        }
        controlName = FormatClassId(CLSID_Vexil2UI);
    }
    std::unique_ptr<CConsoleErrorDisplayRegistration> consoleErrors;
    if (arguments.script)
        consoleErrors = std::make_unique<CConsoleErrorDisplayRegistration>();

    CDemoWindow demo;
    demo.UseSimulatorDescription(arguments.simulatorDescription);
    std::string reason;
    if (!arguments.gdbAddress.empty())
    {
        CComPtr<IVexilFN> target = TargetServer::Connect(arguments.gdbAddress, arguments.description, reason);
        if (!target)
        {
            std::fprintf(stderr, "VexilDemo: %s\n", reason.c_str());
            return 1;
        }
        demo.UseServer(target.Get());
    }
    if (!demo.Open(controlName, reason))
    {
        std::fprintf(stderr, "VexilDemo: %s\n", reason.c_str());
        return 1;
    }
    if (!arguments.script)
    {
        demo.Run();
        demo.Close();
        return 0;
    }
    const std::size_t members = demo.GetContextMemberCount();
    const int result = ScriptedSession::Run(demo, arguments.holdUntil);
    demo.Close();
    std::printf("script: host context members: %zu while running, %zu after the control was destroyed\n", members,
                demo.GetContextMemberCount());
    return result;
}

} // namespace

int main()
{
    Module::SetInstance(GetModuleHandleW(nullptr));
    const auto arguments = ParseArguments();
    if (!arguments)
    {
        std::fprintf(stderr, "usage: VexilDemo.exe [/script [/hold-until FILE]] [/control DLL]"
                             " [--gdb HOST:PORT --svd FILE | --description FILE]\n");
        return 64;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    COleApartment apartment;
    if (FAILED(apartment.GetResult()))
    {
        std::fprintf(stderr, "VexilDemo: OleInitialize failed\n");
        return 1;
    }
    const int result = RunHost(*arguments);
    std::fflush(stdout);
    return result;
}
