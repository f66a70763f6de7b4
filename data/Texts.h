#pragma once
// Result code -> string id -> text, from the one table that the resources use too.

#include "platform/Types.h"

#include <string>

namespace Texts {

inline constexpr int UNKNOWN_ERROR_ID = 104;

// The string id of a code's message; 104 ("Unknown error.") when the code has none.
int GetCodeStringId(HRESULT code);

// The text of a string id; empty for an id the table does not have.
std::string GetString(int id);

// The message of a code.
std::string GetCodeText(HRESULT code);

} // namespace Texts
