#include "dialogs/EditFilter.h"

#include <algorithm>

namespace EditFilter {

std::string GetText(HWND window, std::size_t limit)
{
    std::string text(limit + 1, '\0');
    const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

CEditState Read(HWND edit, std::size_t limit)
{
    CEditState state;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&state.Start), reinterpret_cast<LPARAM>(&state.End));
    state.Text = GetText(edit, limit);
    return state;
}

bool IsModified(HWND edit)
{
    return SendMessageA(edit, EM_GETMODIFY, 0, 0) != 0;
}

void RestoreSelection(HWND edit, const CEditState& state, int removed)
{
    const auto shift = [removed](DWORD position) {
        return static_cast<WPARAM>(std::max<long long>(0, static_cast<long long>(position) - removed));
    };
    SendMessageA(edit, EM_SETSEL, shift(state.Start), static_cast<LPARAM>(shift(state.End)));
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

} // namespace EditFilter
