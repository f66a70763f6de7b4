#include "tests/control/RowsTestSupport.h"

#include "control/ServerValues.h"
#include "frame/com/BStr.h"
#include "frame/com/SafeArray.h"

#include <cstring>

void RowsTest::StartWith(const std::string& options, const Strings& registers, ServerKind server)
{
    WriteFile("Vexil2.ini", REMEMBER + options);
    std::string selection = SELECTION_HEADER;
    for (const auto& name : registers)
        selection += "1|" + name + "\r\n";
    WriteFile("Vexil2Selections.txt", selection);
    ASSERT_NO_FATAL_FAILURE(Start(server));
    ASSERT_EQ(m_container->DoVerb(OLEIVERB_UIACTIVATE), S_OK);
    m_container->PumpMessages();
    m_simulator->ResetCallCount();
}

void RowsTest::ClickCell(int row, int column, WPARAM keys)
{
    RECT cell{LVIR_LABEL, column, 0, 0};
    SendMessageW(List(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    const LPARAM where = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    PostMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON | keys, where);
    PostMessageW(List(), WM_LBUTTONUP, 0, where);
    m_container->PumpMessages();
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

void RowsTest::EditCell(int row, int column, const std::string& text)
{
    ClickCell(row, column);
    ASSERT_TRUE(IsWindowVisible(Editor())) << row << ", " << column;
    SendMessageW(Editor(), EM_SETSEL, 0, -1);
    Type(text);
    PressKey(VK_RETURN);
}

long RowsTest::Calls(VexilSimCallKind kind) const
{
    long count = -1;
    m_simulator->GetCallCount(kind, &count);
    return count;
}

Words RowsTest::Peek(long address) const
{
    CVariant value;
    m_simulator->PeekRegister(1, address, value.Out());
    const auto words = ServerValues::ToIntegers(value.Get());
    return {words.begin(), words.end()};
}

void RowsTest::Poke(long address, const Words& words)
{
    const std::vector<LONG> values(words.begin(), words.end());
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

void RowsTest::FailCall(long call, HRESULT code, const wchar_t* description)
{
    CBStr text(description);
    ASSERT_EQ(m_simulator->FailCall(call, code, text.Get()), S_OK);
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
