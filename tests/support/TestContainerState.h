#pragma once
// The shared state of a test container and the COM objects that play its
// parts towards the control: the site (client, in-place, control, ambient
// and advise sides) and the in-place frame. Both record into the state.

#include "tests/support/TestContainer.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct CTestContainer::CState
{
    HWND frameWindow = nullptr;
    HWND siteWindow = nullptr;
    CSiteKind kind = CSiteKind::Windowless;
    std::vector<std::string> calls;
    std::vector<CAccelerator> accelerators;
    std::map<UINT, int> frameMessages;
    HRESULT acceleratorAnswer = S_FALSE;
    HRESULT canInPlaceActivate = S_OK;
    bool windowlessAllowed = false;
    std::optional<OLE_COLOR> backColor;
    CComPtr<IOleInPlaceActiveObject> activeObject;
    CComPtr<IOleInPlaceFrame> frame;

    void Record(std::string call) { calls.push_back(std::move(call)); }
};

// The container's site and in-place frame objects, each holding the state.
CComPtr<IUnknown> CreateTestSite(std::shared_ptr<CTestContainer::CState> state);
CComPtr<IUnknown> CreateTestFrame(std::shared_ptr<CTestContainer::CState> state);
