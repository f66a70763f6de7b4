#include "dialogs/Question.h"

#include "data/CheckedResult.h"
#include "data/ResultCodes.h"
#include "data/Texts.h"
#include "frame/com/AnsiText.h"
#include "frame/com/BStr.h"
#include "frame/com/ComPtr.h"
#include "frame/com/ErrorInfo.h"

#include "ErrorDisplay.h"

#include <algorithm>

namespace Question {

std::optional<long> Show(const std::string& message, const std::string& caption, HRESULT code,
                         const std::string& reason, long style, long defaultButton)
{
    CComPtr<IErrorDisplay> display;
    if (FAILED(CoCreateInstance(CLSID_ErrorDisplay, nullptr, CLSCTX_ALL, IID_IErrorDisplay, display.OutVoid())))
        return std::nullopt;
    CBStr messageText(AnsiText::Widen(message));
    CBStr captionText(AnsiText::Widen(caption));
    CBStr reasonText(AnsiText::Widen(reason));
    long button = 0;
    if (FAILED(display->ShowMessage(messageText.Get(), captionText.Get(), code, reasonText.Get(), style,
                                    defaultButton, &button)))
        return std::nullopt;
    return button;
}

long Ask(const std::string& message, const std::string& caption, UINT style)
{
    const std::string reason = AnsiText::Narrow(ErrorInfo::TakeDescription());
    const auto button = Show(message, caption, 0, reason, static_cast<long>(style), 1);
    if (!button)
        RaiseResult(E_FAIL);
    return *button;
}

std::string Format(int id, const std::string& name)
{
    // The text is built in a buffer of 256 characters.
    constexpr std::size_t LIMIT = 255;
    std::string text = Texts::GetString(id);
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, name);
    if (text.size() > LIMIT)
        text.resize(LIMIT);
    return text;
}

} // namespace Question
