#include "tests/support/MessageBoxCatcher.h"

#include <utility>

namespace {

thread_local CMessageBoxCatcher* activeCatcher = nullptr;

std::wstring GetText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

CMessageBoxCatcher::CMessageBoxCatcher(int answer) : m_answer(answer)
{
    activeCatcher = this;
    m_hook = SetWindowsHookExW(WH_CBT, &CMessageBoxCatcher::Hook, nullptr, GetCurrentThreadId());
}

CMessageBoxCatcher::~CMessageBoxCatcher()
{
    UnhookWindowsHookEx(m_hook);
    activeCatcher = nullptr;
}

LRESULT CALLBACK CMessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && activeCatcher)
    {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (std::wstring_view(className) == L"#32770")
            activeCatcher->Answer(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CMessageBoxCatcher::Answer(HWND box)
{
    // At activation the box may not have its controls yet: it is read and
    // answered from a timer that its own message loop runs.
    m_pending = box;
    SetTimer(nullptr, 0, 1, &CMessageBoxCatcher::OnTimer);
}

void CALLBACK CMessageBoxCatcher::OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (activeCatcher && activeCatcher->m_pending)
        activeCatcher->Read(std::exchange(activeCatcher->m_pending, nullptr));
}

void CMessageBoxCatcher::Read(HWND box)
{
    CMessageBox seen;
    seen.Caption = GetText(box);
    // The message is the box's static text (id 0xFFFF).
    seen.Text = GetText(GetDlgItem(box, 0xFFFF));
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (std::wstring_view(className) == L"Button" && IsWindowVisible(child))
            seen.Buttons.push_back(GetDlgCtrlID(child));
    }
    m_boxes.push_back(std::move(seen));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(m_answer, BN_CLICKED), 0);
}
