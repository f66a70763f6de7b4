#pragma once
// The error display of a scripted session: nobody is there to close a
// message box, so the control's reports are printed and answered with the
// default button. Registered as the process's class object of the error
// display for as long as it lives.

#include <windows.h>

class CConsoleErrorDisplayRegistration
{
public:
    CConsoleErrorDisplayRegistration();
    ~CConsoleErrorDisplayRegistration();
    CConsoleErrorDisplayRegistration(const CConsoleErrorDisplayRegistration&) = delete;
    CConsoleErrorDisplayRegistration& operator=(const CConsoleErrorDisplayRegistration&) = delete;

private:
    DWORD m_cookie = 0;
};
