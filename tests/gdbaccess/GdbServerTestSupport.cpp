#include "GdbServerTestSupport.h"

#include "frame/com/BStr.h"

#include <ocidl.h>

const char kTargetDescription[] = "device 1 TARGET\n"
                                  "register REG32 0x20000000 32 RW\n"
                                  "register REG8 0x20000010 8 RW\n"
                                  "register RO 0x20000020 32 R\n";

void CGdbServerTest::SetUp()
{
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    m_initialized = true;
    ASSERT_EQ(CoCreateInstance(CLSID_VexilGdb, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, m_server.OutVoid()), S_OK)
        << "is VexilGdb.dll registered?";
    ASSERT_EQ(m_server.QueryInterface(m_control), S_OK);
    CComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(m_server.QueryInterface(container), S_OK);
    ASSERT_EQ(container->FindConnectionPoint(DIID__IVexilFNEvents, m_point.Out()), S_OK);
    m_recorder = CStateSink::Create();
    ASSERT_EQ(m_point->Advise(static_cast<IDispatch*>(m_recorder.Get()), &m_cookie), S_OK);
    ASSERT_EQ(m_control->SetTimeout(300), S_OK);
}

void CGdbServerTest::TearDown()
{
    if (m_point)
        m_point->Unadvise(m_cookie);
    m_point.Reset();
    m_control.Reset();
    m_server.Reset();
    m_fake.reset();
    if (m_initialized)
        CoUninitialize();
}

void CGdbServerTest::ConnectToFake(bool offerNoAckMode)
{
    m_fake = std::make_unique<CFakeGdbServer>(offerNoAckMode);
    ASSERT_EQ(LoadDescriptionFile("target.txt", kTargetDescription), S_OK) << Narrow(TakeErrorDescription());
    ASSERT_EQ(Connect(m_fake->GetAddress()), S_OK) << Narrow(TakeErrorDescription());
}

HRESULT CGdbServerTest::Connect(const std::string& hostAndPort)
{
    const CBStr text(std::wstring(hostAndPort.begin(), hostAndPort.end()));
    return m_control->Connect(text.Get());
}

HRESULT CGdbServerTest::LoadDescriptionFile(const std::string& name, const std::string& text)
{
    m_directory.WriteFile(name, text);
    return LoadDescriptionPath(m_directory.GetFile(name));
}

HRESULT CGdbServerTest::LoadDescriptionPath(const std::string& path)
{
    const CBStr wide(std::wstring(path.begin(), path.end()));
    return m_control->LoadDescription(wide.Get());
}

std::vector<LONG> CGdbServerTest::Read(LONG device, LONG address, LONG length)
{
    CVariant value;
    EXPECT_EQ(TryRead(device, address, length, value), S_OK) << Narrow(TakeErrorDescription());
    return GetI4Elements(value.Get());
}

HRESULT CGdbServerTest::TryRead(LONG device, LONG address, LONG length, CVariant& value)
{
    return m_server->ReadRegister(device, address, length, value.Out(), MakeFullMask(length).Get(), 0);
}

HRESULT CGdbServerTest::TryWrite(LONG device, LONG address, LONG length, const std::vector<LONG>& value,
                                 const CVariant& mask)
{
    return m_server->WriteRegister(device, address, length, MakeVariantArray(value).Get(), mask.Get(), 0);
}

LONG CGdbServerTest::GetState()
{
    LONG state = -1;
    EXPECT_EQ(m_server->GetServerState(&state), S_OK);
    return state;
}
