#pragma once
// Small helpers shared by the configuration, register-file, device and container tests.

#include "data/CheckedResult.h"
#include "platform/Types.h"

#include <cstdint>
#include <string>

// The code an operation raised, S_OK when it raised nothing; its detail (empty
// when none was raised) where asked.
template <class Operation>
HRESULT RaisedCode(Operation&& operation, std::string* detail = nullptr)
{
    if (detail != nullptr)
        detail->clear();
    try
    {
        operation();
    }
    catch (const CResultError& error)
    {
        if (detail != nullptr)
            *detail = error.GetDetail();
        return error.GetCode();
    }
    return S_OK;
}

// A fixed, recognisable identifier; different seeds give different ones.
inline GUID TestGuid(std::uint8_t seed)
{
    return GUID{0x12345678u + seed, 0x9ABC, 0xDEF0, {seed, 2, 3, 4, 5, 6, 7, 8}};
}
