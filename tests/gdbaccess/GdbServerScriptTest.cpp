// The control interface as a script host drives it: only the object's
// default IDispatch, names resolved by GetIDsOfNames, arguments as a
// VBScript engine passes them (small numbers as 2-byte integers), and a
// failure coming back as an exception with the server's own message.
#include "GdbServerTestSupport.h"

#include "frame/com/BStr.h"

namespace {

CVariant MakeShort(SHORT value)
{
    VARIANT raw;
    VariantInit(&raw);
    V_VT(&raw) = VT_I2;
    V_I2(&raw) = value;
    return CVariant::Adopt(raw);
}

CVariant MakeText(const std::string& text) { return CVariant(std::wstring(text.begin(), text.end())); }

LONG GetStateByName(IDispatch* object)
{
    std::optional<CScriptCall> call =
        CallByName(object, L"GetServerState", {}, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    if (!call || call->invoke != S_OK || V_VT(&call->result.Get()) != VT_I4)
        return -1;
    return V_I4(&call->result.Get());
}

struct CScriptStep
{
    const char* name;
    const wchar_t* method;
    std::vector<CVariant> arguments;
    HRESULT scode;           // S_OK: Invoke succeeds; otherwise the exception's code
    const char* description; // part of the exception's description
    LONG state;              // GetServerState by name afterwards
};

TEST_F(CGdbServerTest, ScriptHostDrivesTheControlByName)
{
    m_fake = std::make_unique<CFakeGdbServer>();
    m_directory.WriteFile("target.txt", kTargetDescription);
    std::uint16_t closedPort = 0;
    {
        CSocket listener = CSocket::Listen();
        closedPort = listener.GetLocalPort();
    }
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"Vexil.GdbServer", &clsid), S_OK);
    CComPtr<IDispatch> object; // what CreateObject("Vexil.GdbServer") hands a script
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.OutVoid()), S_OK);

    const CScriptStep steps[] = {
        {"LoadsADescription", L"LoadDescription", {MakeText(m_directory.GetFile("target.txt"))}, S_OK, "", 0},
        {"MissingFileIsAnException", L"LoadDescription", {MakeText(m_directory.GetFile("missing.svd"))},
         E_INVALIDARG, "missing.svd", 0},
        {"TimeoutAsAScriptPassesIt", L"SetTimeout", {MakeShort(500)}, S_OK, "", 0},
        {"Connects", L"Connect", {MakeText(m_fake->GetAddress())}, S_OK, "", 1},
        {"NotHostAndPort", L"Connect", {MakeText("board")}, E_INVALIDARG, "Connect: \"board\" is not HOST:PORT", 1},
        {"ByteOrderAsANumber", L"SetByteOrder", {MakeShort(1)}, S_OK, "", 1},
        {"Disconnects", L"Disconnect", {}, S_OK, "", 0},
        {"RefusedConnection", L"Connect", {MakeText("127.0.0.1:" + std::to_string(closedPort))}, kNoConnection,
         "cannot connect to the GDB server at 127.0.0.1:", 0},
    };
    for (const CScriptStep& step : steps)
    {
        std::optional<CScriptCall> call = CallByName(object.Get(), step.method, step.arguments);
        ASSERT_TRUE(call) << step.name << ": the name is not known";
        if (step.scode == S_OK)
            EXPECT_EQ(call->invoke, S_OK) << step.name << ": " << call->description;
        else
        {
            EXPECT_EQ(call->invoke, DISP_E_EXCEPTION) << step.name;
            EXPECT_EQ(call->scode, step.scode) << step.name;
            EXPECT_NE(call->description.find(step.description), std::string::npos)
                << step.name << ": \"" << call->description << "\"";
        }
        EXPECT_EQ(GetStateByName(object.Get()), step.state) << step.name;
    }
    EXPECT_FALSE(CallByName(object.Get(), L"Explode", {})) << "an unknown name";
}

TEST_F(CGdbServerTest, ControlInterfacesOwnDispatchServesItsNames)
{
    CComPtr<IDispatch> control(static_cast<IDispatch*>(m_control.Get()));
    std::optional<CScriptCall> call = CallByName(control.Get(), L"SetTimeout", {MakeShort(0)});
    ASSERT_TRUE(call);
    EXPECT_EQ(call->invoke, DISP_E_EXCEPTION);
    EXPECT_EQ(call->description, "SetTimeout: 0 ms is not 1 to 600000");
    CComPtr<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(InlineIsEqualGUID(attributes->guid, IID_IVexilGdbControl));
    info->ReleaseTypeAttr(attributes);
}

} // namespace
