#include "GdbServerTestSupport.h"

#include "frame/com/BStr.h"

#include <ocidl.h>

const char kTargetDescription[] = "device 1 TARGET\n"
                                  "register REG32 0x20000000 32 RW\n"
                                  "register REG8 0x20000010 8 RW\n"
                                  "register RO 0x20000020 32 R\n";

void CGdbServerTest::SetUp()
{
    CRegisterServerTest::SetUp();
    ASSERT_TRUE(m_server);
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
    CRegisterServerTest::TearDown();
    m_fake.reset();
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
    const std::string path = m_directory.GetFile(name);
    return m_control->LoadDescription(CBStr(std::wstring(path.begin(), path.end())).Get());
}
