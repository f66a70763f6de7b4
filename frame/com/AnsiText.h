#pragma once
// The control's single-byte texts and the wide texts of COM, converted in the
// system's ANSI code page.

#include <string>
#include <string_view>

namespace AnsiText {

std::string Narrow(std::wstring_view text);
std::wstring Widen(std::string_view text);

} // namespace AnsiText
