#pragma once
// A register's bit fields as the server describes them, and the text that
// shows each field's value in the list's tip.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct CFieldValueName
{
    std::vector<std::uint32_t> value; // word 0 the least significant
    std::vector<std::uint32_t> mask;  // the bits that must match; none for the default name
    std::string name;
};

struct CFieldDetail
{
    std::string name;
    int lsb = 0;
    int width = 1;
    std::vector<CFieldValueName> values;
};

namespace FieldDecoding {

// Bits lsb to lsb + width - 1 of a value, as words from bit 0; bits beyond
// the value read as 0.
std::vector<std::uint32_t> ExtractBits(std::span<const std::uint32_t> words, int lsb, int width);

// "0x" and hex digits, as words; empty when the text is not that.
std::optional<std::vector<std::uint32_t>> ParseHexWords(std::string_view text);

// The name of the first value that matches under its mask; else the default
// value's name; else empty.
std::string FindValueName(const CFieldDetail& field, std::span<const std::uint32_t> value);

// "MODE [2:1] = 2 (SLEEP)": decimal up to 32 bits, hexadecimal above. Without
// a value (never read) only the name and the bits.
std::string FormatField(const CFieldDetail& field, const std::vector<std::uint32_t>* registerValue);

// Lines joined by "\r\n", cut to fit a buffer of `limit` characters with its
// terminating zero: a cut line ends in "...".
std::string JoinLines(const std::vector<std::string>& lines, std::size_t limit);

} // namespace FieldDecoding
