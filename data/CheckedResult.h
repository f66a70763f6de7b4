#pragma once
// Failures travel as result codes. Data operations raise a negative code as a
// CResultError; command handlers catch it and hand the code to the error report.

#include "platform/Types.h"

#include <exception>
#include <string>
#include <utility>

class CResultError : public std::exception
{
public:
    explicit CResultError(HRESULT code, std::string detail = {}) : m_code(code), m_detail(std::move(detail)) {}
    HRESULT GetCode() const noexcept { return m_code; }
    // Where it happened, for the user (a file and line), or empty.
    const std::string& GetDetail() const noexcept { return m_detail; }
    const char* what() const noexcept override { return "result code"; }

private:
    HRESULT m_code;
    std::string m_detail;
};

[[noreturn]] inline void RaiseResult(HRESULT code) { throw CResultError(code); }
[[noreturn]] inline void RaiseResult(HRESULT code, std::string detail) { throw CResultError(code, std::move(detail)); }

// The checking holder: storing a negative code into it raises that code.
class CCheckedResult
{
public:
    CCheckedResult() = default;
    CCheckedResult(HRESULT code) { *this = code; } // NOLINT: implicit by design
    CCheckedResult& operator=(HRESULT code)
    {
        m_code = code;
        if (code < 0)
            RaiseResult(code);
        return *this;
    }
    operator HRESULT() const { return m_code; } // NOLINT: reads like a code

private:
    HRESULT m_code = S_OK;
};
