// What a host hands a control built on the frame: a host context to join
// and a register access server whose state events reach the control.
#include "tests/frame/FrameTestSupport.h"
#include "tests/frame/TestControl.h"

#include "frame/com/Variant.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using CCalls = std::vector<std::string>;

std::wstring ToWide(const char* path)
{
    // The build's paths are Unix paths: Wine sees them on drive Z:.
    std::wstring wide = L"Z:";
    for (const char* c = path; *c; ++c)
        wide += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return wide;
}

class FrameContextMembership : public testing::Test
{
protected:
    CComPtr<IContextMember> GetMember() const
    {
        CComPtr<IContextMember> member;
        m_control->QueryInterface(IID_IContextMember, member.OutVoid());
        return member;
    }

    CComPtr<CTestControl> m_control = CTestControl::Create();
};

TEST_F(FrameContextMembership, AttachedControlJoinsTheContextAndLeavesItWhenDestroyed)
{
    const CComPtr<CFakeHostContext> context = CFakeHostContext::Create(42);
    const ULONG references = CountReferences(context->GetUnknown());

    EXPECT_EQ(GetMember()->AttachContext(context.Get()), S_OK);
    EXPECT_EQ(context->m_calls, (CCalls{"AddMember"}));
    EXPECT_EQ(context->m_member, GetMember().Get());
    EXPECT_EQ(CountReferences(context->GetUnknown()), references + 1);

    m_control.Reset();

    EXPECT_EQ(context->m_calls, (CCalls{"AddMember", "RemoveMember(42)"}));
    EXPECT_EQ(CountReferences(context->GetUnknown()), references);
}

TEST_F(FrameContextMembership, AttachingAnswersWhatTheContextAnswered)
{
    const CComPtr<CFakeHostContext> context = CFakeHostContext::Create(0, E_ACCESSDENIED);
    const ULONG references = CountReferences(context->GetUnknown());

    EXPECT_EQ(GetMember()->AttachContext(context.Get()), E_ACCESSDENIED);
    m_control.Reset();

    EXPECT_EQ(context->m_calls, (CCalls{"AddMember"}));
    EXPECT_EQ(CountReferences(context->GetUnknown()), references);
}

TEST_F(FrameContextMembership, MissingContextIsRefusedAndTheHeldOneStays)
{
    const CComPtr<CFakeHostContext> context = CFakeHostContext::Create(7);
    ASSERT_EQ(GetMember()->AttachContext(context.Get()), S_OK);
    const ULONG references = CountReferences(context->GetUnknown());

    EXPECT_EQ(GetMember()->AttachContext(nullptr), E_POINTER);
    EXPECT_EQ(GetMember()->SetContext(nullptr), E_POINTER);

    EXPECT_EQ(CountReferences(context->GetUnknown()), references);
    m_control.Reset();
    EXPECT_EQ(context->m_calls, (CCalls{"AddMember", "RemoveMember(7)"}));
}

TEST_F(FrameContextMembership, SetContextHoldsTheContextWithoutJoiningIt)
{
    const CComPtr<CFakeHostContext> context = CFakeHostContext::Create();
    const ULONG references = CountReferences(context->GetUnknown());

    EXPECT_EQ(GetMember()->SetContext(context.Get()), S_OK);
    EXPECT_EQ(CountReferences(context->GetUnknown()), references + 1);
    m_control.Reset();

    EXPECT_TRUE(context->m_calls.empty());
    EXPECT_EQ(CountReferences(context->GetUnknown()), references);
}

TEST_F(FrameContextMembership, AttachingAnotherContextLeavesTheFirst)
{
    const CComPtr<CFakeHostContext> first = CFakeHostContext::Create(1);
    const CComPtr<CFakeHostContext> second = CFakeHostContext::Create(2);
    const ULONG references = CountReferences(first->GetUnknown());
    ASSERT_EQ(GetMember()->AttachContext(first.Get()), S_OK);

    EXPECT_EQ(GetMember()->AttachContext(second.Get()), S_OK);

    EXPECT_EQ(first->m_calls, (CCalls{"AddMember", "RemoveMember(1)"}));
    EXPECT_EQ(CountReferences(first->GetUnknown()), references);
    m_control.Reset();
    EXPECT_EQ(second->m_calls, (CCalls{"AddMember", "RemoveMember(2)"}));
}

class FrameServerClient : public testing::Test
{
protected:
    HRESULT SetServer(IVexilFN* server)
    {
        CComPtr<IVexilFNClient> client;
        EXPECT_EQ(m_control->QueryInterface(IID_IVexilFNClient, client.OutVoid()), S_OK);
        return client->SetServer(server);
    }

    CComPtr<CTestControl> m_control = CTestControl::Create();
    CComPtr<CFakeServer> m_server = CFakeServer::Create();
};

TEST_F(FrameServerClient, HandedOverServerIsHeldAndItsEventsReachTheControl)
{
    ASSERT_EQ(SetServer(m_server.Get()), S_OK);

    EXPECT_EQ(m_control->GetServer(), m_server.Get());
    EXPECT_EQ(m_server->CountSinks(), 1u);
    m_server->FireStateChanged(5);
    m_server->FireStateChanged(0);
    EXPECT_EQ(m_control->m_serverStates, (std::vector<long>{5, 0}));
}

TEST_F(FrameServerClient, StateOfAnotherTypeIsConvertedToANumber)
{
    ASSERT_EQ(SetServer(m_server.Get()), S_OK);

    m_server->FireStateChanged(CVariant(std::wstring_view(L"3")).Get());
    VARIANT shortState;
    VariantInit(&shortState);
    V_VT(&shortState) = VT_I2;
    V_I2(&shortState) = 9;
    m_server->FireStateChanged(shortState);

    EXPECT_EQ(m_control->m_serverStates, (std::vector<long>{3, 9}));
}

TEST_F(FrameServerClient, SameServerAgainChangesNothing)
{
    ASSERT_EQ(SetServer(m_server.Get()), S_OK);

    ASSERT_EQ(SetServer(m_server.Get()), S_OK);

    EXPECT_EQ(m_server->CountSinks(), 1u);
    m_server->FireStateChanged(1);
    EXPECT_EQ(m_control->m_serverStates, (std::vector<long>{1}));
}

TEST_F(FrameServerClient, NewServerTakesOverTheEvents)
{
    const CComPtr<CFakeServer> next = CFakeServer::Create();
    ASSERT_EQ(SetServer(m_server.Get()), S_OK);

    ASSERT_EQ(SetServer(next.Get()), S_OK);

    EXPECT_EQ(m_server->CountSinks(), 0u);
    EXPECT_EQ(next->CountSinks(), 1u);
    m_server->FireStateChanged(1);
    next->FireStateChanged(2);
    EXPECT_EQ(m_control->m_serverStates, (std::vector<long>{2}));
    EXPECT_EQ(m_control->GetServer(), next.Get());
}

TEST_F(FrameServerClient, NoServerDisconnectsAndReleasesTheOldOne)
{
    const ULONG references = CountReferences(m_server->GetUnknown());
    ASSERT_EQ(SetServer(m_server.Get()), S_OK);

    ASSERT_EQ(SetServer(nullptr), S_OK);

    EXPECT_EQ(m_server->CountSinks(), 0u);
    EXPECT_EQ(m_control->GetServer(), nullptr);
    EXPECT_EQ(CountReferences(m_server->GetUnknown()), references);
}

TEST_F(FrameServerClient, DestroyedControlLeavesTheServerAsItFoundIt)
{
    const ULONG references = CountReferences(m_server->GetUnknown());
    ASSERT_EQ(SetServer(m_server.Get()), S_OK);

    m_control.Reset();

    EXPECT_EQ(m_server->CountSinks(), 0u);
    EXPECT_EQ(CountReferences(m_server->GetUnknown()), references);
}

TEST(FrameServerEventArgument, IsUnpackedByTheServersTypeDescriptionOrDirectly)
{
    CComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(ToWide(VEXIL_FN_TLB).c_str(), REGKIND_NONE, library.Out()), S_OK);
    CComPtr<ITypeInfo> events;
    ASSERT_EQ(library->GetTypeInfoOfGuid(DIID__IVexilFNEvents, events.Out()), S_OK);
    CVariant text(std::wstring_view(L"12"));
    DISPPARAMS parameters{text.GetPointer(), nullptr, 1, 0};
    long state = 0;

    EXPECT_EQ(UnpackServerState(events.Get(), &parameters, &state), S_OK);
    EXPECT_EQ(state, 12);
    state = 0;
    EXPECT_EQ(UnpackServerState(nullptr, &parameters, &state), S_OK);
    EXPECT_EQ(state, 12);

    CVariant word(std::wstring_view(L"ready"));
    DISPPARAMS unreadable{word.GetPointer(), nullptr, 1, 0};
    EXPECT_EQ(UnpackServerState(events.Get(), &unreadable, &state), DISP_E_TYPEMISMATCH);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(UnpackServerState(events.Get(), &none, &state), DISP_E_BADPARAMCOUNT);
}

} // namespace
