#pragma once
// Stands in for the error display in the dialog tests: records each question
// and answers it with the button the test chose, or cannot be created at all;
// and the fixture that registers it.

#include "frame/com/Module.h"
#include "tests/support/ErrorDisplayImpl.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

struct CQuestion
{
    std::wstring Message;
    std::wstring Caption;
    long Style;
    bool operator==(const CQuestion&) const = default;
};

class CQuestionStandIn final : public CErrorDisplayImpl<CQuestionStandIn>
{
public:
    long Answer = IDYES;
    std::vector<CQuestion> Asked;

    STDMETHODIMP ShowMessage(BSTR message, BSTR caption, long, BSTR, long style, long, long* button) override
    {
        Asked.push_back({message, caption, style});
        *button = Answer;
        return S_OK;
    }
};

// A dialog test: COM started on the thread, the module's resources and the
// common controls ready, and the stand-in registered as the error display.
class CDialogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        Module::SetInstance(GetModuleHandleW(nullptr));
        InitCommonControls();
        CoRegisterClassObject(CLSID_ErrorDisplay, m_display->GetUnknown(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                              &m_cookie);
    }
    void TearDown() override
    {
        CoRevokeClassObject(m_cookie);
        CoUninitialize();
    }

    CComPtr<CQuestionStandIn> m_display = CQuestionStandIn::Create();

private:
    DWORD m_cookie = 0;
};
