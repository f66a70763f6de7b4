#include "tests/dialogs/DialogDriver.h"

#include <array>
#include <cstring>
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

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A left click at a point of the window's client area; controls ask where it happened.
void ClickAt(HWND window, POINT point)
{
    POINT screen = point;
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    Pump();
}

// Where the node's text starts, at its middle height.
POINT TextCorner(HWND tree, HTREEITEM node)
{
    TreeView_EnsureVisible(tree, node);
    RECT text{};
    std::memcpy(&text, &node, sizeof node); // the message takes the node in the rectangle
    SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text));
    return {text.left, (text.top + text.bottom) / 2};
}

std::string NodeText(HWND tree, HTREEITEM node)
{
    std::array<char, 260> text{};
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text.data();
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

void PressKey(HWND window, UINT key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    Pump();
}

void Retype(HWND edit, std::string_view keys)
{
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char key : keys)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
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

std::vector<std::string> Children(HWND tree, HTREEITEM parent)
{
    std::vector<std::string> texts;
    for (HTREEITEM node = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); node;
         node = TreeView_GetNextSibling(tree, node))
        texts.push_back(NodeText(tree, node));
    return texts;
}

HTREEITEM Node(HWND tree, std::initializer_list<const char*> path)
{
    HTREEITEM node = nullptr;
    for (const char* text : path)
    {
        HTREEITEM child = node ? TreeView_GetChild(tree, node) : TreeView_GetRoot(tree);
        while (child && NodeText(tree, child) != text)
            child = TreeView_GetNextSibling(tree, child);
        if (!(node = child))
            return nullptr;
    }
    return node;
}

int State(HWND tree, HTREEITEM node)
{
    TVITEMW item{};
    item.mask = TVIF_IMAGE;
    item.hItem = node;
    TreeView_GetItem(tree, &item);
    return item.iImage;
}

void ClickImage(HWND tree, HTREEITEM node)
{
    const POINT corner = TextCorner(tree, node);
    ClickAt(tree, {corner.x - 8, corner.y});
}

void ClickText(HWND tree, HTREEITEM node)
{
    const POINT corner = TextCorner(tree, node);
    ClickAt(tree, {corner.x + 3, corner.y});
}

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
