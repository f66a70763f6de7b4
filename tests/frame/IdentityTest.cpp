// What a control built on the frame tells a host about itself: the
// interfaces it answers, its status flags and class, its type information,
// and the module's class object.
#include "frame/com/ModuleEntry.h"
#include "tests/frame/FrameTestSupport.h"
#include "tests/frame/TestControl.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameIdentity, AnswersEveryStandardInterfaceWithOneIdentity)
{
    const CComPtr<CTestControl> control = CTestControl::Create();
    const IID interfaces[] = {IID_IFrameTestControl,
                              IID_IDispatch,
                              IID_IViewObjectEx,
                              IID_IViewObject2,
                              IID_IViewObject,
                              IID_IOleInPlaceObjectWindowless,
                              IID_IOleInPlaceObject,
                              IID_IOleWindow,
                              IID_IOleInPlaceActiveObject,
                              IID_IOleControl,
                              IID_IOleObject,
                              IID_IPersistStreamInit,
                              IID_IPersist,
                              IID_ISpecifyPropertyPages,
                              IID_IQuickActivate,
                              IID_IPersistStorage,
                              IID_IDataObject,
                              IID_IProvideClassInfo,
                              IID_IProvideClassInfo2,
                              IID_IContextMember,
                              IID_IVexilFNClient};
    CComPtr<IUnknown> identity;
    ASSERT_EQ(control->QueryInterface(IID_IUnknown, identity.OutVoid()), S_OK);
    for (const IID& iid : interfaces)
    {
        CComPtr<IUnknown> answer;
        ASSERT_EQ(control->QueryInterface(iid, answer.OutVoid()), S_OK);
        CComPtr<IUnknown> back;
        ASSERT_EQ(answer->QueryInterface(IID_IUnknown, back.OutVoid()), S_OK);
        EXPECT_EQ(back.Get(), identity.Get());
    }
    CComPtr<IUnknown> none;
    EXPECT_EQ(control->QueryInterface(IID_IOleCache, none.OutVoid()), E_NOINTERFACE);
}

TEST(FrameIdentity, TellsItsClassAndStatus)
{
    const CComPtr<CTestControl> control = CTestControl::Create();
    CComPtr<IOleObject> object;
    ASSERT_EQ(control->QueryInterface(IID_IOleObject, object.OutVoid()), S_OK);
    DWORD status = 0;
    CLSID id{};

    EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
    EXPECT_EQ(object->GetUserClassID(&id), S_OK);
    EXPECT_TRUE(IsEqualCLSID(id, CLSID_FrameTestControl));
    CComPtr<IPersistStorage> storage;
    ASSERT_EQ(control->QueryInterface(IID_IPersistStorage, storage.OutVoid()), S_OK);
    id = CLSID_NULL;
    EXPECT_EQ(storage->GetClassID(&id), S_OK);
    EXPECT_TRUE(IsEqualCLSID(id, CLSID_FrameTestControl));
    CComPtr<IPersist> persist;
    ASSERT_EQ(control->QueryInterface(IID_IPersist, persist.OutVoid()), S_OK);
    id = CLSID_NULL;
    EXPECT_EQ(persist->GetClassID(&id), S_OK);
    EXPECT_TRUE(IsEqualCLSID(id, CLSID_FrameTestControl));
    CAUUID pages{5, nullptr};
    CComPtr<ISpecifyPropertyPages> pageSource;
    ASSERT_EQ(control->QueryInterface(IID_ISpecifyPropertyPages, pageSource.OutVoid()), S_OK);
    EXPECT_EQ(pageSource->GetPages(&pages), S_OK);
    EXPECT_EQ(pages.cElems, 0u);
}

TEST(FrameIdentity, DescribesItsClassFromTheModuleTypeLibrary)
{
    const CComPtr<CTestControl> control = CTestControl::Create();
    CComPtr<IProvideClassInfo2> provider;
    ASSERT_EQ(control->QueryInterface(IID_IProvideClassInfo2, provider.OutVoid()), S_OK);
    CComPtr<ITypeInfo> info;

    ASSERT_EQ(provider->GetClassInfo(info.Out()), S_OK);

    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, CLSID_FrameTestControl));
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    info->ReleaseTypeAttr(attributes);
    GUID source{};
    EXPECT_EQ(provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), E_FAIL);
}

TEST(FrameModuleClassObject, MakesTheControlForItsClassOnly)
{
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(GetModuleClassObject<CTestControl>(CLSID_FrameTestControl, IID_IClassFactory, factory.OutVoid()),
              S_OK);
    CComPtr<IUnknown> other;
    EXPECT_EQ(GetModuleClassObject<CTestControl>(CLSID_StdFont, IID_IClassFactory, other.OutVoid()),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(other.Get(), nullptr);

    CComPtr<IOleObject> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, object.OutVoid()), S_OK);
    factory.Reset();
    EXPECT_EQ(CanUnloadModule(), S_FALSE);
    object.Reset();
    EXPECT_EQ(CanUnloadModule(), S_OK);
}

} // namespace
