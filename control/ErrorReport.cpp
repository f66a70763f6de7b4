// Status texts for result codes and the error report shown to the user.
#include "control/Vexil2UI.h"

#include "control/ServerValues.h"
#include "data/Texts.h"
#include "dialogs/Question.h"
#include "frame/com/ErrorInfo.h"

#include <cstdio>

namespace {

constexpr int ERROR_CAPTION = 101;
constexpr int NO_REASON = 102;
constexpr int REASON_LABEL = 114;
constexpr int REST_NOT_PROCESSED = 138;

} // namespace

void CVexil2UI::ShowStatus(HRESULT code, int count)
{
    StatusLine::SetText(m_statusBar, 0, StatusLine::FormatCodeText(code, count));
}

void CVexil2UI::ShowError(HRESULT code, const std::string& itemName)
{
    std::string message = Texts::GetCodeText(code);
    if (!itemName.empty())
        message += " " + itemName + Texts::GetString(REST_NOT_PROCESSED);
    Report(code, message);
}

void CVexil2UI::ShowErrorWithNote(HRESULT code, const std::string& note)
{
    Report(code, note.empty() ? Texts::GetCodeText(code) : Texts::GetCodeText(code) + "\n" + note);
}

void CVexil2UI::Report(HRESULT code, const std::string& message)
{
    m_operationRunning = false;
    StopRepeatTimer();

    const std::string caption = Texts::GetString(ERROR_CAPTION);
    const std::string reason = GetErrorReason();

    if (Question::Show(message, caption, code, reason, 0, 1))
        return;
    char codeText[64];
    std::snprintf(codeText, sizeof codeText, "HRESULT 0x%08lx (%ld)", static_cast<unsigned long>(code),
                  static_cast<long>(code));
    MessageBoxA(nullptr, (message + "\r\n" + codeText).c_str(), caption.c_str(), MB_OK);
}

std::string CVexil2UI::GetErrorReason()
{
    IVexilFN* server = GetServer();
    CComPtr<ISupportErrorInfo> support;
    if (server && SUCCEEDED(server->QueryInterface(IID_ISupportErrorInfo, support.OutVoid())) &&
        support->InterfaceSupportsErrorInfo(IID_IVexilFN) == S_OK)
    {
        const std::wstring description = ErrorInfo::TakeDescription();
        if (!description.empty())
            return Texts::GetString(REASON_LABEL) + "\n" + ServerValues::Narrow(description);
    }
    return Texts::GetString(NO_REASON);
}
