#pragma once
// A small composite control built on the frame, for testing the frame's
// behaviour without the register tool: its window is the tests' own dialog
// template; it records the messages, keys and server events that reach it.
// The configuration-component variant is placed by its host framework.

#include "frame/Control.h"
#include "tests/frame/FrameTestResource.h"

#include "FrameTest.h"

#include <vector>

template <bool Configuration>
class CTestControlT final
    : public CCompositeControlObject<CTestControlT<Configuration>, IFrameTestControl,
                                     IContextMemberImpl<CTestControlT<Configuration>>,
                                     IVexilFNClientImpl<CTestControlT<Configuration>>>
{
public:
    static constexpr UINT IDD = IDD_FRAME_TEST;
    static const CLSID& GetObjectCLSID() { return CLSID_FrameTestControl; }
    static bool IsConfigurationComponent() { return Configuration; }
    using Interfaces = ControlInterfaceMap<IFrameTestControl, Entry<IContextMember>, Entry<IVexilFNClient>>;

    // The key the control handles itself, before dialog keys and the host.
    static constexpr UINT OwnKey = VK_ESCAPE;

    CTestControlT() { this->SetMinimumSize(SIZE{600, 300}); }

    BOOL ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT&)
    {
        m_messages.push_back(message);
        return FALSE;
    }
    BOOL PreTranslateAccelerator(MSG* message, HRESULT& result)
    {
        ++m_preTranslations;
        if (message->message == WM_KEYDOWN && message->wParam == OwnKey)
        {
            ++m_ownKeys;
            result = S_OK;
            return TRUE;
        }
        return this->TranslateDialogKeys(message);
    }
    void OnServerStateChanged(long state) { m_serverStates.push_back(state); }

    int CountMessages(UINT message) const
    {
        int count = 0;
        for (const UINT seen : m_messages)
            count += seen == message ? 1 : 0;
        return count;
    }

    std::vector<UINT> m_messages;
    std::vector<long> m_serverStates;
    int m_preTranslations = 0;
    int m_ownKeys = 0;
};

using CTestControl = CTestControlT<false>;
using CConfigurationTestControl = CTestControlT<true>;
