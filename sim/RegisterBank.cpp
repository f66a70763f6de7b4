#include "sim/RegisterBank.h"

#include "sim/ResultCodes.h"

namespace {

std::wstring RegisterLabel(const CRegisterInfo& info) { return L"register " + info.name; }

} // namespace

CRegisterBank::CRegisterBank(CDescription description) : m_description(std::move(description))
{
    const CClock::time_point now = CClock::now();
    for (const CDeviceInfo& device : m_description.devices)
        for (const CRegisterInfo& info : device.registers)
            m_cells[{device.id, info.address}] = CCell{&info, info.length, info.reset, now, 0};
}

std::optional<CAccessFailure> CRegisterBank::FindCell(long device, long address, int length, CCell*& cell)
{
    if (!IsValidLength(length))
        return CAccessFailure{kInvalidAccessLength,
                              L"invalid access length: " + std::to_wstring(length) + L" bits is not 1 to 128"};
    const auto found = m_cells.find({device, address});
    if (found != m_cells.end())
    {
        cell = &found->second;
        if (cell->info && cell->info->length != length)
            return CAccessFailure{kInvalidAccessLength, L"invalid access length: " + RegisterLabel(*cell->info) +
                                                            L" has " + std::to_wstring(cell->info->length) +
                                                            L" bits, not " + std::to_wstring(length)};
        // A user register of the sparse memory takes the length of each call.
        cell->length = length;
        return std::nullopt;
    }
    if (!m_description.FindDevice(device))
        return CAccessFailure{kDeviceNotSupported, L"the device is not supported by the product"};
    cell = &m_cells[{device, address}];
    cell->length = length;
    return std::nullopt;
}

CWords CRegisterBank::GetCurrentValue(CCell& cell, CClock::time_point now)
{
    if (!cell.info)
        return cell.value.CutTo(cell.length);
    switch (cell.info->behaviour)
    {
    case RegisterBehaviour::Counter:
    {
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - cell.since).count();
        return cell.value.Add(static_cast<std::uint64_t>(elapsed)).CutTo(cell.length);
    }
    case RegisterBehaviour::ReadToClear:
        if (cell.info->setPeriodMs != 0)
        {
            // Events keep arriving: one more status bit per period, round robin.
            const std::chrono::milliseconds period(cell.info->setPeriodMs);
            const auto periods = (now - cell.since) / period;
            for (long long i = 0; i < periods && i < cell.length; ++i)
            {
                cell.value.SetBit(cell.nextBit);
                cell.nextBit = (cell.nextBit + 1) % cell.length;
            }
            cell.since += periods * period;
        }
        return cell.value;
    default:
        return cell.value;
    }
}

void CRegisterBank::SetValue(CCell& cell, const CWords& value, CClock::time_point now)
{
    cell.value = value.CutTo(cell.length);
    cell.since = now;
}

std::optional<CAccessFailure> CRegisterBank::Read(long device, long address, int length, const CWords& mask,
                                                  CWords& value)
{
    CCell* cell = nullptr;
    if (auto failure = FindCell(device, address, length, cell))
        return failure;
    if (cell->info && !(cell->info->operations & kOperationRead))
        return CAccessFailure{kIllegalAccessType,
                              L"illegal access type: " + RegisterLabel(*cell->info) + L" cannot be read"};
    const CClock::time_point now = CClock::now();
    const CWords current = GetCurrentValue(*cell, now);
    value = (current & mask).CutTo(length);
    if (cell->info && cell->info->behaviour == RegisterBehaviour::ReadToClear)
        cell->value = current & ~mask;
    return std::nullopt;
}

std::optional<CAccessFailure> CRegisterBank::Write(long device, long address, int length, const CWords& value,
                                                   const CWords& mask)
{
    CCell* cell = nullptr;
    if (auto failure = FindCell(device, address, length, cell))
        return failure;
    const CClock::time_point now = CClock::now();
    if (!cell->info)
    {
        SetValue(*cell, (cell->value & ~mask) | (value & mask), now);
        return std::nullopt;
    }
    if (!(cell->info->operations & kOperationWriteTypes))
        return CAccessFailure{kIllegalAccessType,
                              L"illegal access type: " + RegisterLabel(*cell->info) + L" cannot be written"};
    switch (cell->info->behaviour)
    {
    case RegisterBehaviour::Identification:
        return CAccessFailure{kNoAccess, L"no access: " + RegisterLabel(*cell->info) + L" is read-only"};
    case RegisterBehaviour::WriteOneToClear:
        cell->value = GetCurrentValue(*cell, now) & ~(value & mask);
        return std::nullopt;
    case RegisterBehaviour::ReadToClear:
        // The status keeps its event timing; only the bits change.
        cell->value = ((GetCurrentValue(*cell, now) & ~mask) | (value & mask)).CutTo(length);
        return std::nullopt;
    default:
        SetValue(*cell, (GetCurrentValue(*cell, now) & ~mask) | (value & mask), now);
        return std::nullopt;
    }
}

bool CRegisterBank::Peek(long device, long address, CWords& value, int& length)
{
    const auto found = m_cells.find({device, address});
    if (found == m_cells.end())
        return false;
    value = GetCurrentValue(found->second, CClock::now());
    length = found->second.length;
    return true;
}

void CRegisterBank::Poke(long device, long address, const CWords& value, int length)
{
    CCell& cell = m_cells[{device, address}];
    if (!cell.info)
        cell.length = length;
    SetValue(cell, value, CClock::now());
}
