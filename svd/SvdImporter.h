#pragma once
// CMSIS-SVD descriptions as devices and registers: peripherals become
// devices (ids 1, 2, ... in file order), clusters become path folders, and
// derivations, arrays and inherited register properties are resolved.

#include "sim/Description.h"
#include "svd/XmlElement.h"

#include <string>
#include <variant>

struct CSvdError
{
    int line = 0;
    std::wstring element;
    std::wstring problem;
};

// The description of an SVD document's root element, or the first reason
// it is refused.
std::variant<CDescription, CSvdError> ImportSvd(const CXmlElement& device);

// "FILE, line N, <element>: problem"
std::wstring FormatSvdError(const std::wstring& file, const CSvdError& error);
