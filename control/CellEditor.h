#pragma once
// The in-place editor's input rules as plain functions: how many bits a typed
// text needs, and what a filter keeps of a typed text.

#include <cstdint>
#include <string>
#include <string_view>

namespace CellInput {

// Value kinds of list columns: 1 decimal, 2 hexadecimal, 4 binary, 16 the
// mask (binary); 0 a column that is no value.
constexpr int KIND_NONE = 0;
constexpr int KIND_DECIMAL = 1;
constexpr int KIND_HEX = 2;
constexpr int KIND_BINARY = 4;
constexpr int KIND_MASK = 16;

// A count no register can hold: a decimal text beyond 32 bits.
constexpr std::int32_t TOO_MANY_BITS = 2147483647;

std::int32_t CountHexBits(std::string_view text);
std::int32_t CountDecimalBits(std::string_view text);

// What the filter makes of a typed text in a column of the kind, for a
// register of the size in bits.
struct CFiltered
{
    bool Accepted; // false: the change is undone
    std::string Text; // the characters of the kind that were kept
};
CFiltered FilterText(std::string_view text, int kind, std::int32_t bits);

} // namespace CellInput
