#include "control/Status.h"

#include "data/Texts.h"

#include <commctrl.h>

#include <vector>

namespace {

constexpr std::size_t MAX_STATUS_TEXT = 255;

std::string Cut(std::string text)
{
    if (text.size() > MAX_STATUS_TEXT)
        text.resize(MAX_STATUS_TEXT);
    return text;
}

} // namespace

namespace StatusLine {

std::string GetText(HWND statusBar, int part)
{
    // SB_GETTEXTA copies the whole text, so the buffer is sized by the text.
    const LRESULT lengthAndType = SendMessageA(statusBar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0);
    std::vector<char> buffer(LOWORD(lengthAndType) + 1, '\0');
    SendMessageA(statusBar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(buffer.data()));
    return Cut(buffer.data());
}

void SetText(HWND statusBar, int part, const std::string& text)
{
    SendMessageA(statusBar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
}

std::string FormatCodeText(HRESULT code, int count)
{
    std::string text = Texts::GetCodeText(code);
    if (count != 0)
        if (const auto at = text.find("%i"); at != std::string::npos)
            text.replace(at, 2, std::to_string(count));
    return Cut(std::move(text));
}

} // namespace StatusLine

CStatus::CStatus(HWND statusBar, const std::string& text, int part)
    : m_statusBar(statusBar), m_saved(StatusLine::GetText(statusBar, part)), m_part(part)
{
    StatusLine::SetText(m_statusBar, m_part, text);
}

CStatus::~CStatus() { StatusLine::SetText(m_statusBar, m_part, m_saved); }
