// Help of a control built on the frame: which requests open which topic of
// which help file, with or without the host's help-path service. The help
// viewer itself never starts: the requests are caught (FrameTestSupport).
#include "frame/com/ClassFactory.h"
#include "tests/frame/FrameTestSupport.h"
#include "tests/frame/TestControl.h"
#include "tests/support/TestContainer.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT HelpContextCommand = 1; // HELP_CONTEXT

// The help file that belongs to this program: its path ending in "hlp".
std::string GetProgramHelpFile()
{
    std::string path(MAX_PATH, '\0');
    path.resize(GetModuleFileNameA(nullptr, path.data(), MAX_PATH));
    path.replace(path.size() - 3, 3, "hlp");
    return path;
}

HELPINFO MakeHelpRequest(DWORD context)
{
    HELPINFO request{};
    request.cbSize = sizeof request;
    request.iContextType = HELPINFO_WINDOW;
    request.dwContextId = context;
    return request;
}

// The host's help-path service, answering as the test sets it up.
class CFakeHelpPathService final : public CComObjectImpl<CFakeHelpPathService, IHelpPathService>
{
public:
    using Interfaces = CInterfaceMap<Entry<IHelpPathService>, Entry<IDispatch, IHelpPathService>>;

    static inline HRESULT s_answer = S_OK;
    static inline const wchar_t* s_path = nullptr;
    static inline std::wstring s_asked;

    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
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

// The service is creatable by its class identifier while this lives.
class CRegisteredHelpPathService
{
public:
    CRegisteredHelpPathService(HRESULT answer, const wchar_t* path)
    {
        CFakeHelpPathService::s_answer = answer;
        CFakeHelpPathService::s_path = path;
        CFakeHelpPathService::s_asked.clear();
        CComPtr<IUnknown> factory;
        CClassFactory<CFakeHelpPathService>::GetClassObject(IID_IUnknown, factory.OutVoid());
        EXPECT_EQ(CoRegisterClassObject(CLSID_HelpPathService, factory.Get(), CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &m_cookie),
                  S_OK);
    }
    ~CRegisteredHelpPathService() { CoRevokeClassObject(m_cookie); }
    CRegisteredHelpPathService(const CRegisteredHelpPathService&) = delete;
    CRegisteredHelpPathService& operator=(const CRegisteredHelpPathService&) = delete;

private:
    DWORD m_cookie = 0;
};

class FrameHelp : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_container.Embed(m_control->GetUnknown()), S_OK);
        m_window = m_container.GetControlWindow();
    }

    CComPtr<CTestControl> m_control = CTestControl::Create();
    CTestContainer m_container;
    HWND m_window = nullptr;
};

TEST_F(FrameHelp, HelpButtonOpensTheControlsTopicInTheHelpFileBesideTheModule)
{
    SendMessageW(GetDlgItem(m_window, IDC_TEST_HELP), BM_CLICK, 0, 0);
    m_container.PumpMessages();

    ASSERT_EQ(GetHelpRequests().size(), 1u);
    const CHelpRequest& request = GetHelpRequests()[0];
    EXPECT_EQ(request.window, m_window);
    EXPECT_EQ(request.file, GetProgramHelpFile());
    EXPECT_EQ(request.command, HelpContextCommand);
    EXPECT_EQ(request.context, 1u);
}

TEST_F(FrameHelp, RequestWithoutContextOpensTopicOne)
{
    HELPINFO request = MakeHelpRequest(0);

    EXPECT_TRUE(SendMessageW(m_window, WM_HELP, 0, reinterpret_cast<LPARAM>(&request)));

    ASSERT_EQ(GetHelpRequests().size(), 1u);
    EXPECT_EQ(GetHelpRequests()[0].context, 1u);
    EXPECT_EQ(GetHelpRequests()[0].window, m_window);
}

TEST_F(FrameHelp, RequestWithContextOpensThatTopicOverTheActiveWindow)
{
    HELPINFO request = MakeHelpRequest(14);

    EXPECT_TRUE(SendMessageW(m_window, WM_HELP, 0, reinterpret_cast<LPARAM>(&request)));

    ASSERT_EQ(GetHelpRequests().size(), 1u);
    EXPECT_EQ(GetHelpRequests()[0].context, 14u);
    EXPECT_EQ(GetHelpRequests()[0].window, GetActiveWindow());
    EXPECT_EQ(GetHelpRequests()[0].file, GetProgramHelpFile());
}

TEST_F(FrameHelp, HelpRequestsAreNotPassedOnToTheControl)
{
    HELPINFO request = MakeHelpRequest(0);
    SendMessageW(m_window, WM_HELP, 0, reinterpret_cast<LPARAM>(&request));
    SendMessageW(GetDlgItem(m_window, IDC_TEST_HELP), BM_CLICK, 0, 0);
    m_container.PumpMessages();

    EXPECT_EQ(m_control->CountMessages(WM_HELP), 0);
    EXPECT_EQ(GetHelpRequests().size(), 2u);
}

TEST_F(FrameHelp, TopicZeroOpensNothing)
{
    m_control->ShowHelpContext(m_window, 0);

    EXPECT_TRUE(GetHelpRequests().empty());
}

TEST_F(FrameHelp, HostsHelpPathServiceNamesTheFileToOpen)
{
    const CRegisteredHelpPathService service(S_OK, L"C:\\host help\\found.hlp");

    m_control->ShowHelp();

    ASSERT_EQ(GetHelpRequests().size(), 1u);
    EXPECT_EQ(GetHelpRequests()[0].file, "C:\\host help\\found.hlp");
    EXPECT_EQ(GetHelpRequests()[0].context, 1u);
    const std::string expected = GetProgramHelpFile();
    EXPECT_EQ(CFakeHelpPathService::s_asked, std::wstring(expected.begin(), expected.end()));
}

TEST_F(FrameHelp, ServiceThatFindsNoFileLeavesTheModulesHelpFile)
{
    {
        const CRegisteredHelpPathService failing(E_FAIL, L"C:\\ignored.hlp");
        m_control->ShowHelp();
    }
    {
        const CRegisteredHelpPathService empty(S_OK, nullptr);
        m_control->ShowHelp();
    }

    ASSERT_EQ(GetHelpRequests().size(), 2u);
    EXPECT_EQ(GetHelpRequests()[0].file, GetProgramHelpFile());
    EXPECT_EQ(GetHelpRequests()[1].file, GetProgramHelpFile());
}

TEST(FrameHelpFile, ComponentFileCtlDllLooksForCtlHlpInItsDirectory)
{
    const CTestDirectory directory;
    directory.WriteFile("ctl.dll", "");

    EXPECT_EQ(Help::BuildHelpFilePath(directory.GetFile("ctl.dll")), directory.GetFile("ctl.hlp"));
}

TEST(FrameHelpFile, ShortFileNameIsTakenInItsLongForm)
{
    const CTestDirectory directory;
    directory.WriteFile("LongComponentName.dll", "");
    const std::string longPath = directory.GetFile("LongComponentName.dll");
    std::string shortPath(MAX_PATH, '\0');
    shortPath.resize(GetShortPathNameA(longPath.c_str(), shortPath.data(), MAX_PATH));
    ASSERT_FALSE(shortPath.empty());
    ASSERT_NE(shortPath, longPath) << "the file system gave no short name";

    const std::string helpFile = Help::BuildHelpFilePath(shortPath);

    EXPECT_EQ(helpFile.substr(helpFile.find_last_of('\\') + 1), "LongComponentName.hlp");
}

TEST(FrameHelpFile, MissingComponentFileHasNoHelpFile)
{
    const CTestDirectory directory;

    EXPECT_EQ(Help::BuildHelpFilePath(directory.GetFile("missing.dll")), "");
}

} // namespace
