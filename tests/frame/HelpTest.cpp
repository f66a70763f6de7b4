// Help of the control: which requests open which topic of which help file,
// with or without the host's help-path service. The help viewer itself never
// starts: the requests are caught (FrameTestSupport).
#include "frame/com/ClassFactory.h"
#include "frame/com/DispatchImpl.h"
#include "tests/frame/FrameTestSupport.h"

#include <functional>

namespace {

// The host's help-path service, answering as the test sets it up.
class CFakeHelpPathService final : public CComObjectImpl<CFakeHelpPathService, CDispatchImpl<IHelpPathService>>
{
public:
    using Interfaces = CInterfaceMap<Entry<IHelpPathService>, Entry<IDispatch, IHelpPathService>>;

    static inline HRESULT s_answer = S_OK;
    static inline const wchar_t* s_path = nullptr;
    static inline std::wstring s_asked;

    STDMETHODIMP GetLanguage(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP SetLanguage(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP GetHelpDirectory(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetHelpDirectory(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP AddSearchPath(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveSearchPath(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetSearchPathCount(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP FindHelpFile(BSTR helpFile, LONG* status, BSTR* path) override
    {
        s_asked = helpFile ? helpFile : L"";
        *status = 7;
        *path = s_path ? SysAllocString(s_path) : nullptr;
        return s_answer;
    }
};

LRESULT SendHelpRequest(HWND window, DWORD context)
{
    HELPINFO request{sizeof request, HELPINFO_WINDOW, 0, nullptr, context, {0, 0}};
    return SendMessageW(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&request));
}

// The help file that belongs to this program: its path ending in "hlp".
std::string GetProgramHelpFile()
{
    std::string path(MAX_PATH, '\0');
    path.resize(GetModuleFileNameA(nullptr, path.data(), MAX_PATH));
    return path.replace(path.size() - 3, 3, "hlp");
}

using FrameHelp = FrameTest;

// Each request opens its topic in the help file beside the module, topic zero
// none; then the host's help-path service names the file when it finds one.
TEST_F(FrameHelp, EachRequestOpensItsTopicInTheHelpFileThatTheHostsServiceOrTheModuleNames)
{
    ASSERT_NO_FATAL_FAILURE(Embed());
    const std::string own = GetProgramHelpFile();
    m_control->ShowHelpContext(m_window, 0);
    EXPECT_TRUE(GetHelpRequests().empty());
    const struct
    {
        const char* name;
        std::function<void()> ask;
        DWORD context;
        bool overActiveWindow; // else over the control's window
    } cases[] = {
        {"Help button", [this] { SendMessageW(GetDlgItem(m_window, IDC_HELP_BUTTON), BM_CLICK, 0, 0); }, 1, false},
        {"request without context", [this] { EXPECT_TRUE(SendHelpRequest(m_window, 0)); }, 1, false},
        {"request with context 14", [this] { EXPECT_TRUE(SendHelpRequest(m_window, 14)); }, 14, true},
    };
    for (const auto& row : cases)
    {
        SCOPED_TRACE(row.name);
        GetHelpRequests().clear();

        row.ask();
        m_container.PumpMessages();

        ASSERT_EQ(GetHelpRequests().size(), 1u);
        const CHelpRequest& request = GetHelpRequests()[0];
        EXPECT_EQ(request.window, row.overActiveWindow ? GetActiveWindow() : m_window);
        EXPECT_EQ(request.file, own);
        EXPECT_EQ(request.command, 1u); // HELP_CONTEXT
        EXPECT_EQ(request.context, row.context);
        // Served here: the request does not travel on to the host's windows.
        EXPECT_EQ(m_container.CountFrameMessages(WM_HELP), 0);
    }

    CComPtr<IUnknown> factory;
    CClassFactory<CFakeHelpPathService>::GetClassObject(IID_IUnknown, factory.OutVoid());
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_HelpPathService, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                    &cookie),
              S_OK);
    const struct
    {
        HRESULT answer;
        const wchar_t* path;
        std::string expected;
    } services[] = {
        {S_OK, L"C:\\host help\\found.hlp", "C:\\host help\\found.hlp"},
        {E_FAIL, L"C:\\ignored.hlp", own},
    };
    for (const auto& row : services)
    {
        SCOPED_TRACE(row.expected);
        GetHelpRequests().clear();
        CFakeHelpPathService::s_answer = row.answer;
        CFakeHelpPathService::s_path = row.path;

        SendMessageW(GetDlgItem(m_window, IDC_HELP_BUTTON), BM_CLICK, 0, 0);

        ASSERT_EQ(GetHelpRequests().size(), 1u);
        EXPECT_EQ(GetHelpRequests()[0].file, row.expected);
        EXPECT_EQ(CFakeHelpPathService::s_asked, std::wstring(own.begin(), own.end()));
    }
    CoRevokeClassObject(cookie);
}

TEST(FrameHelpFile, IsTheComponentFilesLongNameEndingInHlpWhenTheFileExists)
{
    const CTestDirectory directory;
    directory.WriteFile("ctl.dll", "");
    directory.WriteFile("LongComponentName.dll", "");
    std::string shortPath(MAX_PATH, '\0');
    shortPath.resize(GetShortPathNameA(directory.GetFile("LongComponentName.dll").c_str(), shortPath.data(), MAX_PATH));
    ASSERT_EQ(shortPath.find("LongComponentName"), std::string::npos) << "the file system gave no short name";

    EXPECT_EQ(Help::BuildHelpFilePath(directory.GetFile("ctl.dll")), directory.GetFile("ctl.hlp"));
    const std::string fromShort = Help::BuildHelpFilePath(shortPath);
    EXPECT_EQ(fromShort.substr(fromShort.find_last_of('\\') + 1), "LongComponentName.hlp");
    EXPECT_EQ(Help::BuildHelpFilePath(directory.GetFile("missing.dll")), "");
}

} // namespace
