// What the control tells a host about itself: the interfaces it answers, its
// status flags, its type information, and the module's class object.
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

} // namespace
