#pragma once
// What the tests of reading, writing, repeating and list editing share: the
// simulator's registers, counts and faults, clicks on list cells, typing,
// the Ctrl key and the clipboard, all through the real window messages.

#include "tests/control/ControlTestSupport.h"

class RowsTest : public ControlTest
{
protected:
    // Starts remembering the options and the selected registers of device 1
    // (names), UI-activated as after a click into it; the start-up's server
    // calls are not counted.
    void StartWith(const std::string& options, const Strings& registers, ServerKind server = ServerKind::Simulator);

    HWND Editor() const { return GetDlgItem(Window(), IDC_CELL_EDIT); }
    void ClickCell(int row, int column, WPARAM keys = 0); // keys: MK_SHIFT, MK_CONTROL
    // Characters as the keyboard gives them to the window with the focus.
    void Type(const std::string& characters);
    void PressKey(UINT key) { m_container->PressKey(key); }
    void PressControlKey(UINT key); // with Ctrl held down
    // Opens the editor on a cell, types into it and ends it with Enter.
    void EditCell(int row, int column, const std::string& text);

    long Calls(VexilSimCallKind kind = VexilSimCallsRead) const;
    Words Peek(long address) const; // device 1
    void Poke(long address, const Words& words);
    long AddressOf(const std::string& name) const; // of device 1, through the server's list
    void FailCall(long call, HRESULT code, const wchar_t* description = L"");

    static std::string ClipboardText();
    static void PutOnClipboard(const std::string& text);
};
