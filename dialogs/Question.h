#pragma once
// Messages and questions through the error display of the host family, the
// component that shows the control's errors too.

#include <windows.h>

#include <optional>
#include <string>

namespace Question {

// Shows a message; the button pressed, or nothing when the display cannot be
// created or fails (the caller then has a fallback or reports the failure).
std::optional<long> Show(const std::string& message, const std::string& caption, HRESULT code,
                         const std::string& reason, long style, long defaultButton);

// Asks a question (style such as MB_YESNO | MB_ICONEXCLAMATION) with the
// description of the thread's error object, if any, as the reason; the
// button pressed. Raises 0x80004005 when the display cannot answer.
long Ask(const std::string& message, const std::string& caption, UINT style);

// String `id` with its one "%s" replaced by `name`, cut to 255 characters.
std::string Format(int id, const std::string& name);

} // namespace Question
