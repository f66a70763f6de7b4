#pragma once
// A description file of either kind: CMSIS-SVD (".svd") or the simulator's
// text format.

#include "sim/Description.h"

#include <string>
#include <variant>

// The description, or one message naming the file, the line and the problem.
std::variant<CDescription, std::wstring> LoadDescriptionFile(const std::wstring& path);
