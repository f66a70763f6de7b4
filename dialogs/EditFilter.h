#pragma once
// What the dialogs' filtered edits share: each filters the text in its change
// notification, keeps the allowed characters, refuses (undoes) a change that
// makes the text too long or too large, and puts the caret back where the
// user left it, shifted by the characters that were taken out.

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace EditFilter {

// The edit's text, at most `limit` characters, and its selection.
struct CEditState
{
    std::string Text;
    DWORD Start = 0;
    DWORD End = 0;
};
CEditState Read(HWND edit, std::size_t limit = 255);

// The characters that `keep(character, keptSoFar)` maps to a character
// (it answers 0 to drop one), and how many were dropped.
struct CFiltered
{
    std::string Kept;
    int Removed = 0;
};
template <class Keep> CFiltered Filter(std::string_view text, Keep keep)
{
    CFiltered result;
    for (const char character : text)
    {
        if (const char kept = keep(character, std::string_view(result.Kept)))
            result.Kept += kept;
        else
            ++result.Removed;
    }
    return result;
}

// True when the user changed the text since the program last set it.
bool IsModified(HWND edit);
// The text that a refused change puts back. The edit's own undo would take
// back a whole run of typing, and it repeats itself on a second refused key.
class CAcceptedText
{
public:
    void Accept(std::string text) { m_text = std::move(text); }
    void Refuse(HWND edit) const { SetWindowTextA(edit, m_text.c_str()); }

private:
    std::string m_text;
};
// Sets the selection to the state's, moved left by `removed` (not before the
// start), and scrolls the caret into view.
void RestoreSelection(HWND edit, const CEditState& state, int removed);

// The text of a window, at most `limit` characters.
std::string GetText(HWND window, std::size_t limit = 259);

} // namespace EditFilter
