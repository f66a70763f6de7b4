// Error information after a failure, as the control and scripts read it.
#include "tests/sim/SimTestSupport.h"

#include "frame/com/BStr.h"

namespace {

using testing::HasSubstr;

class ErrorInformation : public CSimulatorTest
{
};

TEST_F(ErrorInformation, IsSupportedForTheServerAndControlInterfaces)
{
    CComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(m_server.QueryInterface(support), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IVexilFN), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IVexilSimControl), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IConnectionPointContainer), S_FALSE);
}

TEST_F(ErrorInformation, DescriptionNamesTheRegisterAndWhatWentWrong)
{
    const CRegisterEntry data = FindRegister(2, L"DATA");
    CVariant value;
    ASSERT_EQ(TryRead(2, data.address, 32, MakeFullMask(32), value), kIllegalAccessType);
    CComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.Out()), S_OK);
    CBStr description, source;
    GUID guid = GUID_NULL;
    ASSERT_EQ(info->GetDescription(description.Out()), S_OK);
    ASSERT_EQ(info->GetSource(source.Out()), S_OK);
    ASSERT_EQ(info->GetGUID(&guid), S_OK);
    const std::string text = Narrow(description.ToString());
    EXPECT_THAT(text, HasSubstr("device 2, address 0x"));
    EXPECT_THAT(text, HasSubstr("illegal access type"));
    EXPECT_THAT(text, HasSubstr("DATA"));
    EXPECT_EQ(source.ToString(), L"Vexil.Simulator");
    EXPECT_TRUE(InlineIsEqualGUID(guid, IID_IVexilFN));
}

TEST_F(ErrorInformation, HighAddressesAreShownAsUnsigned)
{
    CVariant value;
    ASSERT_EQ(TryRead(99, static_cast<LONG>(0xFFFF0000u), 32, MakeFullMask(32), value), kDeviceNotSupported);
    EXPECT_THAT(Narrow(TakeErrorDescription()), HasSubstr("device 99, address 0xFFFF0000"));
}

TEST_F(ErrorInformation, NoConnectionSaysSo)
{
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    ASSERT_EQ(TryWrite(2, 0, 32, {1}, MakeFullMask(32)), kNoConnection);
    EXPECT_THAT(Narrow(TakeErrorDescription()), HasSubstr("no connection"));
}

class DispatchClient : public CSimulatorTest
{
protected:
    DISPID GetId(const wchar_t* name)
    {
        CComPtr<IDispatch> dispatch;
        EXPECT_EQ(m_server.QueryInterface(dispatch), S_OK);
        std::wstring text = name;
        LPOLESTR names[] = {text.data()};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << text.size();
        return id;
    }

    // Invokes a method with arguments given first to last.
    HRESULT Call(DISPID id, std::vector<VARIANT> arguments, EXCEPINFO& exception, CVariant& result)
    {
        CComPtr<IDispatch> dispatch;
        EXPECT_EQ(m_server.QueryInterface(dispatch), S_OK);
        std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
        DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        UINT argumentError = 0;
        return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result.Out(),
                                &exception, &argumentError);
    }

    static VARIANT MakeLong(LONG value)
    {
        VARIANT variant;
        V_VT(&variant) = VT_I4;
        V_I4(&variant) = value;
        return variant;
    }
};

TEST_F(DispatchClient, ReadsAndWritesThroughIDispatch)
{
    EXPECT_EQ(GetId(L"ReadRegister"), 1);
    EXPECT_EQ(GetId(L"WriteRegister"), 2);
    const CRegisterEntry ctrl = FindRegister(2, L"CTRL");
    EXCEPINFO exception = {};
    CVariant result;
    CVariant value = MakeVariantArray({0x5A5A});
    CVariant mask = MakeI4Array({-1});
    ASSERT_EQ(Call(2, {MakeLong(2), MakeLong(ctrl.address), MakeLong(32), value.Get(), mask.Get(), MakeLong(0)},
                   exception, result),
              S_OK);
    CVariant read;
    VARIANT out;
    V_VT(&out) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&out) = read.GetPointer();
    ASSERT_EQ(Call(1, {MakeLong(2), MakeLong(ctrl.address), MakeLong(32), out, mask.Get(), MakeLong(0)}, exception,
                   result),
              S_OK);
    EXPECT_THAT(GetI4Elements(read.Get()), testing::ElementsAre(0x5A5A));
}

TEST_F(DispatchClient, FailureComesBackAsAnExceptionWithTheDescription)
{
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    EXCEPINFO exception = {};
    CVariant result;
    CVariant mask = MakeI4Array({-1});
    CVariant read;
    VARIANT out;
    V_VT(&out) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&out) = read.GetPointer();
    ASSERT_EQ(Call(1, {MakeLong(2), MakeLong(0), MakeLong(32), out, mask.Get(), MakeLong(0)}, exception, result),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, kNoConnection);
    const CBStr description = CBStr::Adopt(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    EXPECT_THAT(Narrow(description.ToString()), HasSubstr("no connection"));
}

TEST_F(DispatchClient, ScriptsReachTheControlInterfaceByName)
{
    const DISPID setState = GetId(L"SetServerState");
    EXPECT_GT(setState, 7);
    EXCEPINFO exception = {};
    CVariant result;
    ASSERT_EQ(Call(setState, {MakeLong(3)}, exception, result), S_OK);
    LONG state = 0;
    ASSERT_EQ(m_server->GetServerState(&state), S_OK);
    EXPECT_EQ(state, 3);
}

} // namespace
