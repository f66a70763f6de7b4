#pragma once
// The control as a host embeds it and a user sees it: created through its
// class object, in-place activated in the test container, handed the
// simulator and started with Go; read back through its window (list cells,
// column titles, status line, enabled buttons) and through what the error
// display was asked to show.

#include "frame/com/ComPtr.h"
#include "tests/support/TestContainer.h"
#include "tests/support/TestDirectory.h"

#include "VexilSim.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What the control handed the error display.
struct CShownError
{
    std::string Message;
    std::string Caption;
    HRESULT Code;
    std::string Reason;
    std::string StatusText; // the status line's part 0 at that moment
};

// Stands in for the host family's error display for the duration of a test:
// records every report, or, when told to, cannot be created at all.
class CErrorDisplayStandIn
{
public:
    explicit CErrorDisplayStandIn(bool creatable = true);
    ~CErrorDisplayStandIn();
    CErrorDisplayStandIn(const CErrorDisplayStandIn&) = delete;
    CErrorDisplayStandIn& operator=(const CErrorDisplayStandIn&) = delete;

    const std::vector<CShownError>& GetShown() const { return *m_shown; }

private:
    std::shared_ptr<std::vector<CShownError>> m_shown = std::make_shared<std::vector<CShownError>>();
    DWORD m_cookie = 0;
};

class ControlTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes "Vexil2.ini" (or another file of the module directory) before the control starts.
    void WriteFile(const std::string& name, const std::string& bytes) { m_directory.WriteFile(name, bytes); }

    // Creates and in-place activates the control; hands it the simulator when
    // asked, then calls Go as the host does.
    void Start(bool withServer = true, const std::function<void(IVexilSimControl&)>& beforeGo = {});
    // The same with a server of the test's own instead of the simulator.
    void StartWithServer(IVexilFN* server);
    // The host lets the control go: it saves and is destroyed.
    void Stop();

    HWND Window() const { return m_container->GetControlWindow(); }
    HWND List() const { return GetDlgItem(Window(), 1001); }
    HWND StatusBar() const;
    bool IsEnabled(int id) const { return IsWindowEnabled(GetDlgItem(Window(), id)) != FALSE; }

    std::vector<std::string> ColumnTitles() const;
    int RowCount() const;
    std::string Cell(int row, int column) const;
    std::vector<std::string> Row(int row) const;
    std::string Status(int part = 0) const;
    // Selects rows as a click and shift-click would: through the list's own messages.
    void SelectRows(const std::vector<int>& rows);
    void Click(int id);

    CTestDirectory m_directory;
    std::unique_ptr<CErrorDisplayStandIn> m_errors;
    std::unique_ptr<CTestContainer> m_container;
    CComPtr<IUnknown> m_control;
    CComPtr<IVexilFN> m_server;
    CComPtr<IVexilSimControl> m_simulator;

private:
    // Creates the control and in-place activates it in the test container.
    void Embed();
};
