#pragma once
// Register values in the VARIANTs they travel in.

#include "sim/Words.h"

#include "VexilSim.h"

#include <optional>
#include <string>

// The words of a value or mask argument: a one-dimensional array (also by
// reference) of exactly count elements, each a 4- or 2-byte integer, a
// double or another number, a numeric string or a VARIANT holding one, in
// the range of a signed or unsigned 32-bit integer. What is wrong otherwise.
std::optional<std::wstring> ReadWords(const VARIANT& argument, int count, CWords& words);

// The number of elements of an array argument (also by reference).
std::optional<int> GetElementCount(const VARIANT& argument);

// The value of a read, count words, in the shape asked for.
HRESULT MakeReadValue(const CWords& words, int count, VexilSimValueShape shape, VARIANT* value);
