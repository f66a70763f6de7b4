#include "tests/frame/FrameTestSupport.h"

#include "frame/com/Module.h"

#include <ole2.h>

namespace {

// OLE for the whole program, and the program as the module that holds the
// test control's template, type library and manifest.
class COleEnvironment final : public testing::Environment
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        Module::SetInstance(GetModuleHandleW(nullptr));
    }
    void TearDown() override { OleUninitialize(); }
};

// Every help request is recorded; none starts the help viewer.
class CHelpCatcher final : public testing::EmptyTestEventListener
{
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        GetHelpRequests().clear();
        Help::ReplaceWinHelp([](HWND window, const char* file, UINT command, ULONG_PTR context) {
            GetHelpRequests().push_back({window, file ? file : "", command, context});
            return TRUE;
        });
    }
};

const bool registered = [] {
    testing::AddGlobalTestEnvironment(new COleEnvironment);
    testing::UnitTest::GetInstance()->listeners().Append(new CHelpCatcher);
    return true;
}();

} // namespace

std::vector<CHelpRequest>& GetHelpRequests()
{
    static std::vector<CHelpRequest> requests;
    return requests;
}

ULONG CountReferences(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

STDMETHODIMP CFakeHostContext::AddMember(IContextMember* member, DWORD* cookie)
{
    if (!cookie)
        return E_POINTER;
    m_calls.push_back("AddMember");
    m_member = member;
    *cookie = m_cookie;
    return m_answer;
}

STDMETHODIMP CFakeHostContext::RemoveMember(DWORD cookie)
{
    m_calls.push_back("RemoveMember(" + std::to_string(cookie) + ")");
    m_member = nullptr;
    return S_OK;
}

void CFakeServer::FireStateChanged(const VARIANT& state) { m_events.FireEvent(1, std::span<const VARIANT>(&state, 1)); }

void CFakeServer::FireStateChanged(long state)
{
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_I4;
    V_I4(&value) = state;
    FireStateChanged(value);
}

STDMETHODIMP CFakeServer::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CFakeServer::GetServerState(LONG* state)
{
    if (!state)
        return E_POINTER;
    *state = 1;
    return S_OK;
}
