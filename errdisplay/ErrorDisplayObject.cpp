// The error display of the host family, as we ship it: a message box that
// shows the message, the reason and the code, with the buttons the style
// asks for, answering the button pressed.
#include "errdisplay/ErrorDisplayObject.h"

#include <cstdio>
#include <string>

STDMETHODIMP CErrorDisplay::ShowMessage(BSTR message, BSTR caption, long code, BSTR reason, long style,
                                        long defaultButton, long* button)
{
    if (!button)
        return E_POINTER;
    std::wstring text = message ? message : L"";
    if (reason && *reason && std::wstring_view(reason) != L" ")
        text += L"\n\n" + std::wstring(reason);
    if (code != 0)
    {
        wchar_t codeText[48];
        std::swprintf(codeText, 48, L"\n\nCode: 0x%08lX", static_cast<unsigned long>(code));
        text += codeText;
    }
    UINT flags = static_cast<UINT>(style);
    if ((flags & MB_ICONMASK) == 0)
        flags |= code < 0 ? MB_ICONERROR : MB_ICONINFORMATION;
    if (defaultButton == 2)
        flags |= MB_DEFBUTTON2;
    else if (defaultButton == 3)
        flags |= MB_DEFBUTTON3;
    *button = MessageBoxW(GetActiveWindow(), text.c_str(), caption ? caption : L"", flags | MB_TASKMODAL);
    return *button != 0 ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}
