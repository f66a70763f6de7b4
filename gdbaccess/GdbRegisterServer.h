#pragma once
// The register access server for real targets: serves the register access
// server interface over a description (SVD or the simulator's format) and
// a connection to a GDB server, fires the state event when the connection
// comes and goes, answers for error information, and takes the host's
// orders through its control interface.

#include "gdbremote/RspSession.h"
#include "sim/Description.h"
#include "sim/VexilFNDetailsImpl.h"

#include "frame/com/ComObject.h"
#include "frame/com/ConnectionPoint.h"
#include "frame/com/ConnectionPointContainer.h"
#include "frame/com/DispatchImpl.h"

#include "VexilGdb.h"

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>

class CGdbRegisterServer final
    : public CComObjectImpl<CGdbRegisterServer, CDispatchImpl<IVexilFN, IVexilGdbControl>,
                            CDispatchImpl<IVexilGdbControl>,
                            CConnectionPointContainerImpl<CGdbRegisterServer>, ISupportErrorInfo,
                            IVexilFNDetailsImpl<CGdbRegisterServer>>
{
public:
    static const CLSID& GetObjectCLSID() { return CLSID_VexilGdb; }
    using Interfaces = CInterfaceMap<Entry<IVexilFN>, Entry<IDispatch, IVexilFN>, Entry<IVexilGdbControl>,
                                     Entry<IConnectionPointContainer>, Entry<ISupportErrorInfo>,
                                     Entry<IVexilFNDetails>>;

    CGdbRegisterServer();
    ~CGdbRegisterServer() override;

    std::span<CConnectionPoint* const> GetConnectionPoints() { return m_points; }
    // For the details interface: the SVD's fields and read actions.
    const CDescription& GetDetailsDescription() const { return m_description; }
    static const wchar_t* GetErrorSource();

    // IVexilFN
    STDMETHODIMP ReadRegister(LONG deviceId, LONG address, LONG length, VARIANT* value, VARIANT mask,
                              LONG flags) override;
    STDMETHODIMP WriteRegister(LONG deviceId, LONG address, LONG length, VARIANT value, VARIANT mask,
                               LONG flags) override;
    STDMETHODIMP Reserved1() override;
    STDMETHODIMP Reserved2() override;
    STDMETHODIMP GetDevices(VARIANT* names, VARIANT* ids) override;
    STDMETHODIMP GetRegisters(LONG deviceId, VARIANT* names, VARIANT* addresses, VARIANT* lengths,
                              VARIANT* operations, VARIANT* secondTexts, VARIANT* numbers, VARIANT* extras,
                              LONG* userRegisterFlag) override;
    STDMETHODIMP GetServerState(LONG* state) override;

    // IVexilGdbControl
    STDMETHODIMP Connect(BSTR hostAndPort) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP LoadDescription(BSTR path) override;
    STDMETHODIMP SetTimeout(LONG milliseconds) override;
    STDMETHODIMP SetByteOrder(VexilGdbByteOrder order) override;
    STDMETHODIMP GetDescriptionSize(LONG* devices, LONG* registers) override;

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

private:
    struct CTarget
    {
        long device;
        long address;
        const CRegisterInfo* info; // null for an address the description does not know
    };

    // The register of an access after the checks every access needs; raises
    // the failure otherwise.
    HRESULT FindTarget(LONG deviceId, LONG address, LONG length, LONG flags, long operation, CTarget& target);
    HRESULT RaiseAccess(const CTarget& target, HRESULT code, const std::wstring& problem);
    // A failed exchange: the code for its kind; a lost connection ends the session.
    HRESULT RaiseExchange(const CTarget& target, const CRspFailure& failure, bool writing);
    static HRESULT RaiseServer(HRESULT code, const std::wstring& problem);
    static HRESULT RaiseControl(HRESULT code, const std::wstring& problem);
    void ChangeState(long state);
    ByteOrder GetByteOrder() const;

    CConnectionPoint m_events;
    std::array<CConnectionPoint*, 1> m_points;
    CDescription m_description;
    std::unique_ptr<CRspSession> m_session;
    CMilliseconds m_timeout{2000};
    ByteOrder m_defaultOrder = ByteOrder::Little;
    long m_state = 0;
};
