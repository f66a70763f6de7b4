#pragma once
// The GDB register access server as its clients meet it: created through
// COM, connected to our fake GDB server, with descriptions written to a
// directory of the test's own.

#include "FakeGdbServer.h"

#include "tests/sim/SimTestSupport.h"
#include "tests/support/TestDirectory.h"

#include "frame/com/ComObject.h"

#include "VexilGdb.h"

#include <memory>

// A sink of the server's events that records the states it is given.
class CStateRecorder final : public CComObjectImpl<CStateRecorder, _IVexilFNEvents>
{
public:
    using Interfaces = CInterfaceMap<Entry<_IVexilFNEvents>, Entry<IDispatch, _IVexilFNEvents>>;

    std::vector<LONG> states;

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) override;
};

// A description in the simulator's format with one device "TARGET" (id 1):
// REG32 at 0x20000000, REG8 at 0x20000010, RO at 0x20000020 (read only).
extern const char kTargetDescription[];

class CGdbServerTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a fake GDB server, loads kTargetDescription and connects.
    void ConnectToFake(bool offerNoAckMode = true);
    HRESULT Connect(const std::string& hostAndPort);
    HRESULT LoadDescriptionFile(const std::string& name, const std::string& text);
    HRESULT LoadDescriptionPath(const std::string& path);

    std::vector<LONG> Read(LONG device, LONG address, LONG length);
    HRESULT TryRead(LONG device, LONG address, LONG length, CVariant& value);
    HRESULT TryWrite(LONG device, LONG address, LONG length, std::initializer_list<LONG> value, const CVariant& mask);
    LONG GetState();

    CTestDirectory m_directory;
    std::unique_ptr<CFakeGdbServer> m_fake;
    CComPtr<IVexilFN> m_server;
    CComPtr<IVexilGdbControl> m_control;
    CComPtr<CStateRecorder> m_recorder;

private:
    bool m_initialized = false;
    DWORD m_cookie = 0;
    CComPtr<IConnectionPoint> m_point;
};
