#pragma once
// The GDB register access server as its clients meet it: created through
// COM, connected to our fake GDB server, with descriptions written to a
// directory of the test's own.

#include "FakeGdbServer.h"

#include "tests/sim/SimTestSupport.h"
#include "tests/support/TestDirectory.h"

#include "VexilGdb.h"

#include <memory>

// A description in the simulator's format with one device "TARGET" (id 1):
// REG32 at 0x20000000, REG8 at 0x20000010, RO at 0x20000020 (read only).
extern const char kTargetDescription[];

class CGdbServerTest : public CRegisterServerTest
{
protected:
    CGdbServerTest() : CRegisterServerTest(CLSID_VexilGdb) {}
    void SetUp() override;
    void TearDown() override;

    // Starts a fake GDB server, loads kTargetDescription and connects.
    void ConnectToFake(bool offerNoAckMode = true);
    HRESULT Connect(const std::string& hostAndPort);
    HRESULT LoadDescriptionFile(const std::string& name, const std::string& text);

    CTestDirectory m_directory;
    std::unique_ptr<CFakeGdbServer> m_fake;
    CComPtr<IVexilGdbControl> m_control;
    CComPtr<CStateSink> m_recorder;

private:
    DWORD m_cookie = 0;
    CComPtr<IConnectionPoint> m_point;
};
