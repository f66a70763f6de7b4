#pragma once
// What a dialog needs of the control that runs it: the control's one error
// report, so that a failure caught in a dialog looks like any other.

#include <windows.h>

#include <string>

class IErrorReporter
{
public:
    virtual void ShowError(HRESULT code, const std::string& itemName = {}) = 0;

protected:
    ~IErrorReporter() = default;
};
