#pragma once
// A failed step of the demo host as one line: the step, the code and, where
// the component that failed left one, its own description of the error (a
// simulator description names its file and line there).

#include "frame/com/AnsiText.h"
#include "frame/com/ErrorInfo.h"

#include <windows.h>

#include <string>

inline std::string DescribeFailure(const char* step, HRESULT hr)
{
    char code[16];
    wsprintfA(code, "0x%08lX", static_cast<unsigned long>(hr));
    const std::wstring description = ErrorInfo::TakeDescription();
    return std::string(step) + " failed (" + code + ")" +
           (description.empty() ? "" : ": " + AnsiText::Narrow(description));
}
