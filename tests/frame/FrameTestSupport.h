#pragma once
// What the frame tests share: OLE per test program with the program as the
// control's module (it carries the control's resources), help requests caught
// instead of opening help, a stand-in for the host's context, and the register
// tool control embedded in our test container.

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
// The help file that belongs to this program: its path ending in "hlp".
std::string GetProgramHelpFile();
// References that others hold on an object.
ULONG CountReferences(IUnknown* object);

// The host's context: hands out its cookie, answers as told and records the calls.
class CFakeHostContext final : public CComObjectImpl<CFakeHostContext, IHostContext>
{
public:
    using Interfaces = CInterfaceMap<Entry<IHostContext>>;

    explicit CFakeHostContext(DWORD cookie = 42, HRESULT answer = S_OK) : m_cookie(cookie), m_answer(answer) {}

    STDMETHODIMP AddMember(IContextMember* member, DWORD* cookie) override;
    STDMETHODIMP RemoveMember(DWORD cookie) override;

    std::vector<std::string> m_calls;
    IContextMember* m_member = nullptr; // not held: the member holds the context

private:
    DWORD m_cookie;
    HRESULT m_answer;
};

// The register tool control, made by the test and embedded on demand. Its
// files go to a directory of the test's own.
class FrameTest : public testing::Test
{
protected:
    // In-place activates the control in the container; with `uiActive` also
    // UI-activates it.
    void Embed(bool uiActive = false);
    template <class I> CComPtr<I> Query() const
    {
        CComPtr<I> result;
        m_control->QueryInterface(__uuidof(I), result.OutVoid());
        return result;
    }
    HWND Item(int id) const { return GetDlgItem(m_window, id); }

    CTestDirectory m_directory;
    CComPtr<CVexil2UI> m_control = CVexil2UI::Create();
    CTestContainer m_container;
    HWND m_window = nullptr;
};
