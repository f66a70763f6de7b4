// What the control tells a host about itself: the interfaces it answers, its
// status flags, its type information, and the module's class object; and what
// a host hands the control: a host context to join.
#include "frame/com/ModuleEntry.h"
#include "tests/frame/FrameTestSupport.h"

namespace {

using FrameIdentity = FrameTest;

TEST_F(FrameIdentity, AnswersEveryInterfaceWithOneIdentityAndTellsItsStatusAndTypeInformation)
{
    const IID interfaces[] = {IID_IVexil2UI, IID_IDispatch, IID_IViewObjectEx, IID_IViewObject2, IID_IViewObject,
                              IID_IOleInPlaceObjectWindowless, IID_IOleInPlaceObject, IID_IOleWindow,
                              IID_IOleInPlaceActiveObject, IID_IOleControl, IID_IOleObject, IID_IPersistStreamInit,
                              IID_IPersist, IID_ISpecifyPropertyPages, IID_IQuickActivate, IID_IPersistStorage,
                              IID_IDataObject, IID_IProvideClassInfo, IID_IProvideClassInfo2, IID_IContextMember,
                              IID_IGoClient, IID_IVexilFNClient};
    const CComPtr<IUnknown> identity = Query<IUnknown>();
    for (const IID& iid : interfaces)
    {
        CComPtr<IUnknown> answer;
        ASSERT_EQ(m_control->QueryInterface(iid, answer.OutVoid()), S_OK);
        CComPtr<IUnknown> back;
        ASSERT_EQ(answer->QueryInterface(IID_IUnknown, back.OutVoid()), S_OK);
        EXPECT_EQ(back.Get(), identity.Get());
    }
    EXPECT_EQ(Query<IOleCache>().Get(), nullptr);

    DWORD status = 0;
    EXPECT_EQ(Query<IOleObject>()->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
    CComPtr<ITypeInfo> info;
    ASSERT_EQ(Query<IProvideClassInfo2>()->GetClassInfo(info.Out()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, CLSID_Vexil2UI));
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    info->ReleaseTypeAttr(attributes);
}

TEST(FrameModuleClassObject, MakesTheControlForItsClassOnlyAndKeepsTheModuleWhileItLives)
{
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(GetModuleClassObject<CVexil2UI>(CLSID_Vexil2UI, IID_IClassFactory, factory.OutVoid()), S_OK);
    CComPtr<IUnknown> other;
    EXPECT_EQ(GetModuleClassObject<CVexil2UI>(CLSID_StdFont, IID_IClassFactory, other.OutVoid()),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(other.Get(), nullptr);

    const CTestDirectory directory; // the control saves its files when it goes
    CComPtr<IOleObject> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, object.OutVoid()), S_OK);
    factory.Reset();
    EXPECT_EQ(CanUnloadModule(), S_FALSE);
    object.Reset();
    EXPECT_EQ(CanUnloadModule(), S_OK);
}

using CCalls = std::vector<std::string>;

// References that others hold on an object.
ULONG CountReferences(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

// The host's context: hands out its cookie, answers as told and records the calls.
class CFakeHostContext final : public CComObjectImpl<CFakeHostContext, IHostContext>
{
public:
    using Interfaces = CInterfaceMap<Entry<IHostContext>>;

    explicit CFakeHostContext(DWORD cookie = 42, HRESULT answer = S_OK) : m_cookie(cookie), m_answer(answer) {}

    STDMETHODIMP AddMember(IContextMember* member, DWORD* cookie) override
    {
        m_calls.push_back("AddMember");
        m_member = member;
        *cookie = m_cookie;
        return m_answer;
    }
    STDMETHODIMP RemoveMember(DWORD cookie) override
    {
        m_calls.push_back("RemoveMember(" + std::to_string(cookie) + ")");
        m_member = nullptr;
        return S_OK;
    }

    CCalls m_calls;
    IContextMember* m_member = nullptr; // not held: the member holds the context

private:
    DWORD m_cookie;
    HRESULT m_answer;
};

using FrameContextMembership = FrameTest;

// Attach joins and leaves when another comes or the control goes; a context
// that refuses, or one only set, is let go without being left.
TEST_F(FrameContextMembership, ControlJoinsAnAttachedContextAndLeavesItWhenDestroyedOrGivenAnother)
{
    const CComPtr<CFakeHostContext> refusing = CFakeHostContext::Create(0, E_ACCESSDENIED);
    const CComPtr<CFakeHostContext> set = CFakeHostContext::Create();
    const CComPtr<CFakeHostContext> first = CFakeHostContext::Create(7);
    const CComPtr<CFakeHostContext> second = CFakeHostContext::Create(42);
    const ULONG references = CountReferences(first->GetUnknown());

    EXPECT_EQ(Query<IContextMember>()->AttachContext(refusing.Get()), E_ACCESSDENIED);
    EXPECT_EQ(Query<IContextMember>()->SetContext(set.Get()), S_OK);
    EXPECT_EQ(CountReferences(refusing->GetUnknown()), references);
    EXPECT_EQ(refusing->m_calls, (CCalls{"AddMember"}));
    EXPECT_EQ(CountReferences(set->GetUnknown()), references + 1);

    EXPECT_EQ(Query<IContextMember>()->AttachContext(first.Get()), S_OK);
    EXPECT_EQ(first->m_member, Query<IContextMember>().Get());
    EXPECT_TRUE(set->m_calls.empty());
    EXPECT_EQ(CountReferences(set->GetUnknown()), references);
    // A missing context is refused and the held one stays.
    EXPECT_EQ(Query<IContextMember>()->AttachContext(nullptr), E_POINTER);
    EXPECT_EQ(Query<IContextMember>()->SetContext(nullptr), E_POINTER);
    EXPECT_EQ(first->m_calls, (CCalls{"AddMember"}));
    EXPECT_EQ(CountReferences(first->GetUnknown()), references + 1);

    EXPECT_EQ(Query<IContextMember>()->AttachContext(second.Get()), S_OK);
    EXPECT_EQ(first->m_calls, (CCalls{"AddMember", "RemoveMember(7)"}));
    EXPECT_EQ(CountReferences(first->GetUnknown()), references);

    m_control.Reset();
    EXPECT_EQ(second->m_calls, (CCalls{"AddMember", "RemoveMember(42)"}));
    EXPECT_EQ(CountReferences(second->GetUnknown()), references);
}

} // namespace
