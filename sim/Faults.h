#pragma once
// Faults armed through the control interface and consulted by every call of
// the server interface: failures by call number or by register, a delay, a
// state change after a number of calls, and the shape of read values.

#include "VexilSim.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct CInjectedFailure
{
    HRESULT code;
    std::wstring description;
};

class CFaults
{
public:
    // Call number callNumber counted from now (1: the next call).
    void FailCall(long callNumber, HRESULT code, std::wstring description);
    void FailRegister(long device, long address, HRESULT code, std::wstring description);
    void SetDelay(DWORD milliseconds) { m_delay = milliseconds; }
    void ChangeStateAfter(long calls, long state);
    void SetValueShape(VexilSimValueShape shape) { m_shape = shape; }
    void Clear();

    // Counts a starting call and gives the failure armed for it, if any. A
    // call without a register passes no address.
    std::optional<CInjectedFailure> StartCall(std::optional<std::pair<long, long>> target);
    // The state to take when the call just served ends the countdown.
    std::optional<long> EndCall();

    DWORD GetDelay() const { return m_delay; }
    VexilSimValueShape GetValueShape() const { return m_shape; }

private:
    long long m_calls = 0; // calls started since creation; never reset
    std::multimap<long long, CInjectedFailure> m_callFailures; // by the call number that fails
    std::map<std::pair<long, long>, CInjectedFailure> m_registerFailures;
    DWORD m_delay = 0;
    std::optional<std::pair<long long, long>> m_stateChange; // call number, state
    VexilSimValueShape m_shape = VexilSimShapeI4;
};
