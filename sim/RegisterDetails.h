#pragma once
// What a server tells about a register beyond its access, taken from its
// description: bit fields, their enumerated values as value and mask, and
// what a read does to the hardware.

#include "sim/Description.h"

#include <optional>
#include <string>
#include <string_view>

namespace RegisterDetails {

const CRegisterInfo* FindRegister(const CDescription& description, long deviceId, std::wstring_view name);

// What a read of the register does, in words for the user; empty when a
// read changes nothing.
std::wstring DescribeReadEffect(const CRegisterInfo& info);

struct CValueAndMask
{
    CWords value;
    CWords mask; // the bits that must match; none for the default value
};

// An enumerated value as written in a description: decimal, "0x" hex, "#"
// or "0b" binary where 'x' is a bit that does not matter, or "default".
// Empty when it is none of these or does not fit the width.
std::optional<CValueAndMask> ParseEnumeratedValue(std::wstring_view text, int width);

// "0x" and hex digits without leading zeros ("0x0" for zero).
std::wstring FormatHex(const CWords& words);

} // namespace RegisterDetails
