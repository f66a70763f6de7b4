#pragma once
// Register memory that behaves like hardware: the described registers with
// their operations and behaviours, and a sparse memory for the addresses of a
// device that the description does not know (registers the user added).

#include "sim/Description.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include <windows.h>

// Why an access was refused: the code and what went wrong, without the
// device and address, which the caller puts in front.
struct CAccessFailure
{
    HRESULT code;
    std::wstring problem;
};

class CRegisterBank
{
public:
    explicit CRegisterBank(CDescription description);
    CRegisterBank(const CRegisterBank&) = delete;
    CRegisterBank& operator=(const CRegisterBank&) = delete;

    const CDescription& GetDescription() const { return m_description; }

    // The value under the mask, cut to the length; side effects of the
    // register's behaviour happen.
    std::optional<CAccessFailure> Read(long device, long address, int length, const CWords& mask, CWords& value);
    // Stores (old & ~mask) | (value & mask), cut to the length, or what the
    // register's behaviour makes of it.
    std::optional<CAccessFailure> Write(long device, long address, int length, const CWords& value,
                                        const CWords& mask);

    // The current value and length without checks or side effects; false
    // for an address that was never described or written.
    bool Peek(long device, long address, CWords& value, int& length);
    // Stores a value without checks; an unknown address takes the length.
    void Poke(long device, long address, const CWords& value, int length);

private:
    using CClock = std::chrono::steady_clock;
    using CKey = std::pair<long, long>; // device id, address

    struct CCell
    {
        const CRegisterInfo* info = nullptr; // null in the sparse memory
        int length = 32;
        CWords value;
        CClock::time_point since; // counter start; read-to-clear: last bit set
        int nextBit = 0;          // read-to-clear: the bit the next period sets
    };

    // The described register or sparse cell at the address, made on demand;
    // a failure for an unknown device or a length the register does not have.
    std::optional<CAccessFailure> FindCell(long device, long address, int length, CCell*& cell);
    // The value as of now: counters run, periodic bits get set.
    static CWords GetCurrentValue(CCell& cell, CClock::time_point now);
    static void SetValue(CCell& cell, const CWords& value, CClock::time_point now);

    CDescription m_description;
    std::map<CKey, CCell> m_cells;
};
