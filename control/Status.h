#pragma once
// The status line: texts for result codes in part 0, and scoped progress texts.

#include <windows.h>

#include <string>

// Shows a text in a part of the status bar while it lives and puts the text
// from before back when it ends, also when the scope is left by a failure.
// Scopes nest: the innermost text shows.
class CStatus
{
public:
    CStatus(HWND statusBar, const std::string& text, int part = 0);
    ~CStatus();
    CStatus(const CStatus&) = delete;
    CStatus& operator=(const CStatus&) = delete;

private:
    HWND m_statusBar;
    std::string m_saved; // at most 255 characters, as the status line keeps them
    int m_part;
};

namespace StatusLine {

// The text of a status bar part, cut to 255 characters.
std::string GetText(HWND statusBar, int part);
void SetText(HWND statusBar, int part, const std::string& text);

// The message of a code with the count put in place of its "%i" when the
// count is not 0, cut to 255 characters.
std::string FormatCodeText(HRESULT code, int count);

} // namespace StatusLine
