#pragma once
// What the frame tests share: OLE per test program with the program as the
// control's module (it carries the control's resources), help requests caught
// instead of opening help, and the register tool control embedded in our test
// container.

#include "control/Vexil2UI.h"
#include "tests/support/TestContainer.h"
#include "tests/support/TestDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A help request that would have opened the help viewer.
struct CHelpRequest
{
    HWND window;
    std::string file;
    UINT command;
    ULONG_PTR context;
};

// Help requests since the test started.
std::vector<CHelpRequest>& GetHelpRequests();

// The register tool control, made by the test and embedded on demand. Its
// files go to a directory of the test's own.
class FrameTest : public testing::Test
{
protected:
    // In-place activates the control in the container.
    void Embed();
    template <class I> CComPtr<I> Query() const
    {
        CComPtr<I> result;
        m_control->QueryInterface(__uuidof(I), result.OutVoid());
        return result;
    }

    CTestDirectory m_directory;
    CComPtr<CVexil2UI> m_control = CVexil2UI::Create();
    CTestContainer m_container;
    HWND m_window = nullptr;
};
