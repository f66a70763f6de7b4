#pragma once
// The register access server simulator: one COM object that serves the
// register access server interface over a description and its register
// memory, fires the state event, answers for error information and takes
// its orders (state, description, faults) through the control interface.

#include "sim/Faults.h"
#include "sim/RegisterBank.h"
#include "sim/VexilFNDetailsImpl.h"

#include "frame/com/ComObject.h"
#include "frame/com/ConnectionPoint.h"
#include "frame/com/ConnectionPointContainer.h"
#include "frame/com/DispatchImpl.h"

#include "VexilSim.h"

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>

class CSimulator final
    : public CComObjectImpl<CSimulator, CDispatchImpl<IVexilFN>, IVexilSimControl,
                            CConnectionPointContainerImpl<CSimulator>, ISupportErrorInfo, IVexilFNDetailsImpl<CSimulator>>
{
public:
    static const CLSID& GetObjectCLSID() { return CLSID_VexilSim; }
    using Interfaces = CInterfaceMap<Entry<IVexilFN>, Entry<IDispatch, IVexilFN>, Entry<IVexilSimControl>,
                                     Entry<IConnectionPointContainer>, Entry<ISupportErrorInfo>,
                                     Entry<IVexilFNDetails>>;

    CSimulator();
    // Serves "VexilSim.txt" beside the module when there is one, the built-in
    // description otherwise; a malformed file fails the creation.
    HRESULT Initialize();

    std::span<CConnectionPoint* const> GetConnectionPoints() { return m_points; }
    // For the details interface.
    const CDescription& GetDetailsDescription() const { return m_bank->GetDescription(); }
    static const wchar_t* GetErrorSource();

    // IDispatch: the server interface's members and, for scripts that drive
    // the simulator, the control interface's.
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

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

    // IVexilSimControl
    STDMETHODIMP SetServerState(LONG state) override;
    STDMETHODIMP LoadDescription(BSTR path) override;
    STDMETHODIMP LoadBuiltInDescription() override;
    STDMETHODIMP FailCall(LONG callNumber, LONG code, BSTR description) override;
    STDMETHODIMP FailRegister(LONG deviceId, LONG address, LONG code, BSTR description) override;
    STDMETHODIMP SetCallDelay(LONG milliseconds) override;
    STDMETHODIMP ChangeStateAfter(LONG calls, LONG state) override;
    STDMETHODIMP SetValueShape(VexilSimValueShape shape) override;
    STDMETHODIMP ClearFaults() override;
    STDMETHODIMP GetCallCount(VexilSimCallKind kind, LONG* count) override;
    STDMETHODIMP ResetCallCount() override;
    STDMETHODIMP PeekRegister(LONG deviceId, LONG address, VARIANT* value) override;
    STDMETHODIMP PokeRegister(LONG deviceId, LONG address, VARIANT value) override;

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

private:
    using CTarget = std::optional<std::pair<long, long>>; // the register of a call

    // Runs one call of the server interface: counts it, delays it, lets an
    // armed failure take its place, and changes the state afterwards when a
    // countdown ends there.
    template <class Body> HRESULT Serve(VexilSimCallKind kind, CTarget target, Body body);
    // Sets the error object and returns the code; a register's failure names it.
    HRESULT RaiseServer(CTarget target, HRESULT code, const std::wstring& problem) const;
    HRESULT CheckAccess(const CTarget& target, LONG length, LONG flags);
    static HRESULT RaiseControl(HRESULT code, const std::wstring& problem);
    void ChangeState(long state);
    HRESULT LoadDescriptionFile(const std::wstring& path);

    CConnectionPoint m_events;
    std::array<CConnectionPoint*, 1> m_points;
    std::unique_ptr<CRegisterBank> m_bank;
    CFaults m_faults;
    long m_state = 1;
    std::array<long, 3> m_callCounts{}; // by VexilSimCallKind
};
