#pragma once
// The small languages inside SVD elements: scaled numbers, dim index lists,
// array names and bit ranges.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A scaledNonNegativeInteger: decimal, "0x" hexadecimal or "#" binary, with
// an optional "+" in front and an optional k, M, G or T suffix (powers of
// 1024); nothing for anything else or a value above 64 bits.
std::optional<std::uint64_t> ParseSvdNumber(std::wstring_view text);

// The names of a dimIndex list: "0-3", "A-D" or "low,high,x"; nothing for a
// malformed list or one longer than kMaxDim.
std::optional<std::vector<std::wstring>> ExpandDimIndex(std::wstring_view text);

// An element name with every "%s" replaced by the index ("REG%s" -> "REG2",
// "REG[%s]" -> "REG[2]").
std::wstring ExpandDimName(std::wstring_view name, std::wstring_view index);

// A bitRange "[msb:lsb]" as least significant bit and width; nothing when
// malformed or msb < lsb.
struct CBitRange
{
    int lsb = 0;
    int width = 1;
};
std::optional<CBitRange> ParseBitRange(std::wstring_view text);

// The largest dim we expand: far above any real device, low enough that a
// typo cannot exhaust memory.
constexpr std::uint64_t kMaxDim = 65536;
