#pragma once
// Values exchanged with the register access server: its arrays turned into
// our integers and texts, and our words turned into its arrays.

#include "frame/com/AnsiText.h"
#include "frame/com/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ServerValues {

// The elements of a value as 32-bit integers: an empty value gives none; a
// one-dimensional array of 2- or 4-byte integers, doubles, strings or
// VARIANTs is converted element by element. Raises 0x80004005 for a value
// that is neither empty nor such an array, the conversion's code for an
// element that is not a 32-bit integer, and 0x85000013 / 0x85000014 when the
// array's bounds cannot be read.
std::vector<std::int32_t> ToIntegers(const VARIANT& value);

// The elements of an array of strings (or of VARIANTs holding strings) in the
// control's single-byte code page; the same failures as ToIntegers.
std::vector<std::string> ToStrings(const VARIANT& value);

// The mask argument: an array of 4-byte integers, one per word.
CVariant MakeMask(const std::vector<std::uint32_t>& words);
// The write value: an array of VARIANTs each holding a 4-byte integer.
CVariant MakeWriteValue(const std::vector<std::uint32_t>& words);

using AnsiText::Narrow;
using AnsiText::Widen;

} // namespace ServerValues
