#pragma once
// What the tests of reading, writing, repeating and list editing share: the
// simulator's registers and counts, clicks on list cells, typing, the Ctrl
// key and the clipboard, all through the real window messages.

#include "tests/control/ControlTestSupport.h"

#include "resources/resource.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

inline const std::string SELECTION_HEADER = "Manual editing of this file is prohibited\r\n\r\n";

class RowsTest : public ControlTest
{
protected:
    // Starts with the options and the selected registers of device 1 (names).
    void StartWith(const std::string& options, const std::vector<std::string>& registers);

    long Calls(VexilSimCallKind kind = VexilSimCallsRead) const;
    std::vector<std::uint32_t> Peek(long address) const; // device 1
    void Poke(long address, const std::vector<std::uint32_t>& words);
    long AddressOf(const std::string& name) const; // of device 1, through the server's list
    std::string Message() const; // the last error shown, empty when none

    // The centre of a cell in list client coordinates; a button down and up there.
    POINT CellCentre(int row, int column) const;
    void ClickCell(int row, int column, WPARAM keys = 0); // keys: MK_SHIFT, MK_CONTROL
    HWND Editor() const { return GetDlgItem(Window(), IDC_CELL_EDIT); }
    std::string EditorText() const;
    // Characters as the keyboard gives them to the window with the focus.
    void Type(const std::string& characters);
    void PressKey(UINT key) { m_container->PressKey(key); }
    void PressControlKey(UINT key); // with Ctrl held down

    static std::string ClipboardText();
    static void PutOnClipboard(const std::string& text);
};
