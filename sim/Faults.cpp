#include "sim/Faults.h"

void CFaults::FailCall(long callNumber, HRESULT code, std::wstring description)
{
    m_callFailures.emplace(m_calls + callNumber, CInjectedFailure{code, std::move(description)});
}

void CFaults::FailRegister(long device, long address, HRESULT code, std::wstring description)
{
    m_registerFailures[{device, address}] = CInjectedFailure{code, std::move(description)};
}

void CFaults::ChangeStateAfter(long calls, long state) { m_stateChange = {m_calls + calls, state}; }

void CFaults::Clear()
{
    m_callFailures.clear();
    m_registerFailures.clear();
    m_delay = 0;
    m_stateChange.reset();
    m_shape = VexilSimShapeI4;
}

std::optional<CInjectedFailure> CFaults::StartCall(std::optional<std::pair<long, long>> target)
{
    ++m_calls;
    // Of failures armed for the same call, the first one armed is served.
    const auto [first, last] = m_callFailures.equal_range(m_calls);
    if (first != last)
    {
        CInjectedFailure failure = std::move(first->second);
        m_callFailures.erase(first, last);
        return failure;
    }
    if (target)
    {
        const auto byRegister = m_registerFailures.find(*target);
        if (byRegister != m_registerFailures.end())
            return byRegister->second;
    }
    return std::nullopt;
}

std::optional<long> CFaults::EndCall()
{
    if (!m_stateChange || m_calls < m_stateChange->first)
        return std::nullopt;
    const long state = m_stateChange->second;
    m_stateChange.reset();
    return state;
}
