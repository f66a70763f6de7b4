// The register access server's interfaces as a server or a script sees them
// through the type library: slots in their order, the event's dispatch id.
#include "VexilFN.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <string>
#include <vector>

namespace {

template <class T> struct CRelease
{
    T* p = nullptr;
    ~CRelease()
    {
        if (p)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

std::wstring ToWide(const char* path)
{
    // The type library path is a Unix path: Wine sees it on drive Z:.
    std::wstring wide = L"Z:";
    for (const char* c = path; *c; ++c)
        wide += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return wide;
}

class ServerTypeLibrary : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(LoadTypeLibEx(ToWide(VEXIL_FN_TLB).c_str(), REGKIND_NONE, &m_library), S_OK); }

    // Names of the functions an interface declares itself, in slot order.
    static std::vector<std::wstring> FunctionNames(ITypeInfo* info)
    {
        TYPEATTR* attributes = nullptr;
        EXPECT_EQ(info->GetTypeAttr(&attributes), S_OK);
        std::vector<std::wstring> names;
        for (UINT i = 0; i < attributes->cFuncs; ++i)
        {
            FUNCDESC* function = nullptr;
            EXPECT_EQ(info->GetFuncDesc(i, &function), S_OK);
            BSTR name = nullptr;
            UINT count = 0;
            info->GetNames(function->memid, &name, 1, &count);
            names.emplace_back(name ? name : L"");
            SysFreeString(name);
            info->ReleaseFuncDesc(function);
        }
        info->ReleaseTypeAttr(attributes);
        return names;
    }

    CRelease<ITypeLib> m_library;
};

TEST_F(ServerTypeLibrary, IsVersionOneZero)
{
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(m_library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    m_library->ReleaseTLibAttr(attributes);
}

TEST_F(ServerTypeLibrary, RegisterAccessServerSlotsAreInTheirOrder)
{
    // The dual interface's vtable half: seven slots after IDispatch's seven.
    CRelease<ITypeInfo> dispatchInfo;
    ASSERT_EQ(m_library->GetTypeInfoOfGuid(IID_IVexilFN, &dispatchInfo), S_OK);
    HREFTYPE vtableRef = 0;
    ASSERT_EQ(dispatchInfo->GetRefTypeOfImplType(-1, &vtableRef), S_OK);
    CRelease<ITypeInfo> vtableInfo;
    ASSERT_EQ(dispatchInfo->GetRefTypeInfo(vtableRef, &vtableInfo), S_OK);

    const std::vector<std::wstring> expected = {L"ReadRegister", L"WriteRegister", L"Reserved1", L"Reserved2",
                                                L"GetDevices",   L"GetRegisters",  L"GetServerState"};
    EXPECT_EQ(FunctionNames(vtableInfo.p), expected);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(vtableInfo->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
    EXPECT_EQ(attributes->cbSizeVft, 14 * sizeof(void*));
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    vtableInfo->ReleaseTypeAttr(attributes);
    FUNCDESC* read = nullptr;
    ASSERT_EQ(vtableInfo->GetFuncDesc(0, &read), S_OK);
    EXPECT_EQ(read->oVft, 7 * static_cast<SHORT>(sizeof(void*)));
    EXPECT_EQ(read->cParams, 6);
    vtableInfo->ReleaseFuncDesc(read);
}

TEST_F(ServerTypeLibrary, StateEventIsDispatchIdOneWithOneLong)
{
    CRelease<ITypeInfo> info;
    ASSERT_EQ(m_library->GetTypeInfoOfGuid(DIID__IVexilFNEvents, &info), S_OK);
    MEMBERID id = 0;
    OLECHAR name[] = L"ServerStateChanged";
    LPOLESTR names[] = {name};
    ASSERT_EQ(info->GetIDsOfNames(names, 1, &id), S_OK);
    EXPECT_EQ(id, 1);
    FUNCDESC* function = nullptr;
    ASSERT_EQ(info->GetFuncDesc(0, &function), S_OK);
    ASSERT_EQ(function->cParams, 1);
    EXPECT_EQ(function->lprgelemdescParam[0].tdesc.vt, VT_I4);
    info->ReleaseFuncDesc(function);
}

TEST_F(ServerTypeLibrary, ClientInterfaceTakesTheServer)
{
    CRelease<ITypeInfo> info;
    ASSERT_EQ(m_library->GetTypeInfoOfGuid(IID_IVexilFNClient, &info), S_OK);
    EXPECT_EQ(FunctionNames(info.p), std::vector<std::wstring>{L"SetServer"});
}

} // namespace
