#pragma once
// Answers the message boxes that the code under test shows on this thread, so
// that none of them waits for a person, and records what they said.

#include <windows.h>

#include <string>
#include <vector>

class CMessageBoxCatcher
{
public:
    struct CMessageBox
    {
        std::wstring Caption;
        std::wstring Text;
        std::vector<int> Buttons; // ids of the push buttons it offered
    };

    // Each box is answered with the given button (IDOK, IDYES, IDNO, IDCANCEL).
    explicit CMessageBoxCatcher(int answer = IDOK);
    ~CMessageBoxCatcher();
    CMessageBoxCatcher(const CMessageBoxCatcher&) = delete;
    CMessageBoxCatcher& operator=(const CMessageBoxCatcher&) = delete;

    const std::vector<CMessageBox>& GetBoxes() const { return m_boxes; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD);
    void Answer(HWND box);
    void Read(HWND box);

    HHOOK m_hook = nullptr;
    int m_answer;
    HWND m_pending = nullptr;
    std::vector<CMessageBox> m_boxes;
};
