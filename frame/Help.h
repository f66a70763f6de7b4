#pragma once
// The component's help: the help file beside the module file, located
// through the host's help-path service when it exists, opened with WinHelpA.

#include <windows.h>

#include <functional>
#include <string>

namespace Help {

// Help command that opens a topic by its context number.
constexpr UINT CommandContext = 1; // HELP_CONTEXT

// The help file of a module file: the file's name as the file system has it
// (its long form), with the last three characters of the path replaced by
// "hlp". Empty when the file does not exist.
std::string BuildHelpFilePath(const std::string& modulePath);

// Opens the help of `module` at `contextId` with `window` as owner; does
// nothing for context 0 or when the module's file cannot be found. Failures
// are not reported.
void ShowHelpContext(HMODULE module, HWND window, DWORD contextId);

// The call that opens help, WinHelpA unless replaced. Tests replace it: the
// real one would start the help viewer.
using CWinHelp = std::function<BOOL(HWND window, const char* file, UINT command, ULONG_PTR data)>;
// Replaces the call; an empty function puts WinHelpA back. Returns the one replaced.
CWinHelp ReplaceWinHelp(CWinHelp call);

} // namespace Help
