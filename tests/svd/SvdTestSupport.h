#pragma once

#include <string>

// The tests' names and texts are ASCII.
inline std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}
