#include "tests/dialogs/DialogDriver.h"

#include <array>
#include <utility>

namespace DialogDriver {

namespace {

struct CPending
{
    std::wstring Caption;
    const std::function<void(HWND)>* Act = nullptr;
    UINT_PTR Timer = 0;
} pending;

BOOL CALLBACK MatchCaption(HWND window, LPARAM lParam)
{
    std::array<wchar_t, 256> text{};
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    if (!IsWindowVisible(window) || pending.Caption != text.data())
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = window;
    return FALSE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), MatchCaption, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || !pending.Act)
        return;
    KillTimer(nullptr, pending.Timer);
    (*std::exchange(pending.Act, nullptr))(dialog);
    if (IsOpen(dialog))
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

INT_PTR Drive(const std::wstring& caption, const std::function<void(HWND)>& act,
              const std::function<INT_PTR()>& run)
{
    pending = {caption, &act, SetTimer(nullptr, 0, 10, OnTimer)};
    const INT_PTR result = run();
    KillTimer(nullptr, pending.Timer);
    pending = {};
    return result;
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Retype(HWND edit, std::string_view keys)
{
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char key : keys)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
}

void Paste(HWND edit, std::string_view text)
{
    const std::string copy(text);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(copy.c_str()));
}

void PressF1(HWND window)
{
    constexpr UINT WM_KEYF1 = 0x004D; // not in the mingw headers
    SendMessageW(window, WM_KEYF1, 0, 0);
}

std::string Text(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool IsOpen(HWND dialog) { return IsWindow(dialog) && IsWindowVisible(dialog); }

} // namespace DialogDriver

namespace {

LRESULT CALLBACK RecordHelp(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* contexts = reinterpret_cast<std::vector<DWORD>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_HELP || !contexts)
        return DefWindowProcW(window, message, wParam, lParam);
    contexts->push_back(static_cast<DWORD>(reinterpret_cast<HELPINFO*>(lParam)->dwContextId));
    return TRUE;
}

} // namespace

CHelpRecordingParent::CHelpRecordingParent()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordHelp;
    windowClass.lpszClassName = L"VexilHelpRecordingParent";
    RegisterClassW(&windowClass);
    m_window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                               nullptr, nullptr, nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&Contexts));
}
