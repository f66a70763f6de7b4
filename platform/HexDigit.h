#pragma once
// The value of a decimal or hexadecimal digit (0-9, a-f, A-F) in any
// character type; -1 for every other character.

template <class Char> constexpr int GetHexDigitValue(Char c)
{
    if (c >= Char('0') && c <= Char('9'))
        return static_cast<int>(c - Char('0'));
    if (c >= Char('a') && c <= Char('f'))
        return static_cast<int>(c - Char('a')) + 10;
    if (c >= Char('A') && c <= Char('F'))
        return static_cast<int>(c - Char('A')) + 10;
    return -1;
}
