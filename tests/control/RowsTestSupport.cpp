#include "tests/control/RowsTestSupport.h"

#include "control/ServerValues.h"
#include "frame/com/Variant.h"

#include <cstring>

void RowsTest::StartWith(const std::string& options, const std::vector<std::string>& registers)
{
    WriteFile("Vexil2.ini", "[Options]\r\nRememberConfiguration=yes\r\n" + options);
    std::string selection = SELECTION_HEADER;
    for (const auto& name : registers)
        selection += "1|" + name + "\r\n";
    WriteFile("Vexil2Selections.txt", selection);
    Start();
    // As when the user clicks into it: the host then hands it the keys.
    ASSERT_EQ(m_container->DoVerb(OLEIVERB_UIACTIVATE), S_OK);
    m_container->PumpMessages();
    m_simulator->ResetCallCount(); // the start-up's calls are not counted
}

long RowsTest::Calls(VexilSimCallKind kind) const
{
    long count = -1;
    m_simulator->GetCallCount(kind, &count);
    return count;
}

std::vector<std::uint32_t> RowsTest::Peek(long address) const
{
    CVariant value;
    m_simulator->PeekRegister(1, address, value.Out());
    const auto words = ServerValues::ToIntegers(value.Get());
    return {words.begin(), words.end()};
}

void RowsTest::Poke(long address, const std::vector<std::uint32_t>& words)
{
    std::vector<LONG> values(words.begin(), words.end());
    CVariant value(CSafeArray::MakeI4(values));
    ASSERT_EQ(m_simulator->PokeRegister(1, address, value.Get()), S_OK);
}

long RowsTest::AddressOf(const std::string& name) const
{
    CVariant names, addresses, lengths, operations, paths, numbers, extras;
    long user = 0;
    m_server->GetRegisters(1, names.Out(), addresses.Out(), lengths.Out(), operations.Out(), paths.Out(),
                           numbers.Out(), extras.Out(), &user);
    const auto registerNames = ServerValues::ToStrings(names.Get());
    const auto registerAddresses = ServerValues::ToIntegers(addresses.Get());
    for (std::size_t i = 0; i < registerNames.size() && i < registerAddresses.size(); ++i)
        if (registerNames[i] == name)
            return registerAddresses[i];
    ADD_FAILURE() << "no register " << name;
    return -1;
}

std::string RowsTest::Message() const
{
    const auto& shown = m_errors->GetShown();
    return shown.empty() ? std::string() : shown.back().Message;
}

POINT RowsTest::CellCentre(int row, int column) const
{
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_LABEL;
    SendMessageW(List(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    return POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
}

void RowsTest::ClickCell(int row, int column, WPARAM keys)
{
    const POINT at = CellCentre(row, column);
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON | keys, where);
    PostMessageW(List(), WM_LBUTTONUP, 0, where);
    m_container->PumpMessages();
}

std::string RowsTest::EditorText() const
{
    char text[512] = {};
    GetWindowTextA(Editor(), text, sizeof text);
    return text;
}

void RowsTest::Type(const std::string& characters)
{
    for (const char c : characters)
    {
        PostMessageW(GetFocus(), WM_CHAR, static_cast<unsigned char>(c), 1);
        m_container->PumpMessages();
    }
}

void RowsTest::PressControlKey(UINT key)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_CONTROL;
    SendInput(1, &input, sizeof input);
    m_container->PumpMessages();
    PressKey(key);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    m_container->PumpMessages();
}

std::string RowsTest::ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return "<clipboard not open>";
    if (HANDLE data = GetClipboardData(CF_TEXT))
        if (const char* bytes = static_cast<const char*>(GlobalLock(data)))
        {
            text = bytes;
            GlobalUnlock(data);
        }
    CloseClipboard();
    return text;
}

void RowsTest::PutOnClipboard(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}
