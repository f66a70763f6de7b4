#pragma once
// Drives a modal dialog as a user would while its own message loop runs: a
// thread timer finds the dialog by its caption and runs the test's actions
// on it, then presses Cancel in case they left it open, so no run can block.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace DialogDriver {

// Calls `run` (which shows the dialog modally) and `act` on the dialog titled
// `caption` once it is up; the result of `run`. Drives may nest: an action may
// drive a dialog that it opens.
INT_PTR Drive(const std::wstring& caption, const std::function<void(HWND)>& act,
              const std::function<INT_PTR()>& run);

void Click(HWND dialog, int id);
void PressKey(HWND window, UINT key);          // key down and up, posted, then run
void Retype(HWND edit, std::string_view keys); // selects all, then WM_CHAR per key
std::string Text(HWND window);
bool IsEnabled(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
bool IsOpen(HWND dialog); // not ended yet

// The tree view: the texts of nodes, the node reached by following texts from the
// root (null when missing), its image (the check state), and clicks on its
// check-box image or its text, with the cursor moved there first.
std::vector<std::string> Children(HWND tree, HTREEITEM parent); // null: the roots
HTREEITEM Node(HWND tree, std::initializer_list<const char*> path);
int State(HWND tree, HTREEITEM node);
void ClickImage(HWND tree, HTREEITEM node);
void ClickText(HWND tree, HTREEITEM node);

} // namespace DialogDriver

// A top-level window to run dialogs over; it records the context numbers of
// the help requests (WM_HELP) that reach it.
class CHelpRecordingParent
{
public:
    CHelpRecordingParent();
    ~CHelpRecordingParent() { DestroyWindow(m_window); }
    CHelpRecordingParent(const CHelpRecordingParent&) = delete;
    CHelpRecordingParent& operator=(const CHelpRecordingParent&) = delete;

    HWND Get() const { return m_window; }
    std::vector<DWORD> Contexts;

private:
    HWND m_window = nullptr;
};
