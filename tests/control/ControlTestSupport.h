#pragma once
// The control as a host embeds it and a user sees it: created through its
// class object, in-place activated in the test container, handed a server
// and started with Go; read back through its window (list cells, column
// titles, status line, enabled buttons) and through what the error display
// was asked to show. Input goes in as real window messages:
// clicks on cells, typed characters, the Ctrl key.

#include "frame/com/BStr.h"
#include "frame/com/ComPtr.h"
#include "resources/resource.h"
#include "tests/support/TestContainer.h"
#include "tests/support/TestDirectory.h"

#include "VexilSim.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using Strings = std::vector<std::string>;
using Words = std::vector<std::uint32_t>;

inline const std::string SELECTION_HEADER = "Manual editing of this file is prohibited\r\n\r\n";
inline const std::string REMEMBER = "[Options]\r\nRememberConfiguration=yes\r\n";

// Addresses of registers of the simulator's built-in device 1.
constexpr long CTRL_ADDRESS = 0x8;
constexpr long IRQ_ENABLE_ADDRESS = 0x20;
constexpr long W40_ADDRESS = 0x408;

// What the control handed the error display.
struct CShownError
{
    std::string Message;
    HRESULT Code;
    std::string Reason;
};

// Stands in for the host family's error display for the duration of a test: records every report.
class CErrorDisplayStandIn
{
public:
    CErrorDisplayStandIn();
    ~CErrorDisplayStandIn();
    CErrorDisplayStandIn(const CErrorDisplayStandIn&) = delete;
    CErrorDisplayStandIn& operator=(const CErrorDisplayStandIn&) = delete;

    const std::vector<CShownError>& GetShown() const { return *m_shown; }

private:
    std::shared_ptr<std::vector<CShownError>> m_shown = std::make_shared<std::vector<CShownError>>();
    DWORD m_cookie = 0;
};

// What a server that offers nothing but its register interface (the
// simulator behind it) was sent, and how it answers reads.
struct CServerLog
{
    bool SetBitsAboveLength = false; // reads come back with every bit above the length set
    std::vector<Words> Masks;        // of every read and write, in order
    std::vector<Words> Written;      // the value of every write
};

enum class ServerKind
{
    None,
    Simulator,
    Bare, // the simulator behind an object with the register interface only, logging into m_log
};

class ControlTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and in-place activates the control; hands it a server when
    // asked, then calls Go as the host does.
    void Start(ServerKind server = ServerKind::Simulator, const std::function<void(IVexilSimControl&)>& beforeGo = {});
    // Writes the options, remembering the configuration, and the selected
    // registers of device 1 (names) for the next start.
    void Remember(const std::string& options, const Strings& registers);
    // Starts remembering the options and the selected registers of device 1
    // (names), UI-activated as after a click into it; the start-up's server
    // calls are not counted.
    void StartWith(const std::string& options, const Strings& registers, ServerKind server = ServerKind::Simulator);
    // The host lets the control go: it saves and is destroyed.
    void Stop();

    HWND Window() const { return m_container->GetControlWindow(); }
    HWND List() const { return GetDlgItem(Window(), IDC_REGISTER_LIST); }
    HWND Editor() const { return GetDlgItem(Window(), IDC_CELL_EDIT); }
    HWND StatusBar() const { return FindWindowExW(Window(), nullptr, STATUSCLASSNAMEW, nullptr); }
    bool IsEnabled(int id) const { return IsWindowEnabled(GetDlgItem(Window(), id)) != FALSE; }
    // Which of the control's buttons, list and group box are enabled, in a fixed order.
    std::vector<int> EnabledControls() const;

    Strings ColumnTitles() const;
    int RowCount() const { return ListView_GetItemCount(List()); }
    std::string Cell(int row, int column) const;
    Strings Row(int row) const;
    Strings Column(int column) const;
    std::vector<int> SelectedRows() const;
    std::string Status(int part = 0) const;
    std::string Message() const; // the last error shown, empty when none

    // Selects rows as a click and shift-click would: through the list's own messages.
    void SelectRows(const std::vector<int>& rows);
    // Selects the rows, then clicks Read or Write.
    void Apply(int operation, const std::vector<int>& rows);
    void Click(int id);
    void ClickCell(int row, int column, WPARAM keys = 0); // keys: MK_SHIFT, MK_CONTROL
    // Characters as the keyboard gives them to the window with the focus.
    void Type(const std::string& characters);
    void PressKey(UINT key) { m_container->PressKey(key); }
    void PressControlKey(UINT key); // with Ctrl held down
    // Opens the editor on a cell, types into it and ends it with Enter.
    void EditCell(int row, int column, const std::string& text);

    long Calls(VexilSimCallKind kind = VexilSimCallsRead) const;
    void Poke(long address, const Words& words); // device 1

    CTestDirectory m_directory;
    std::unique_ptr<CErrorDisplayStandIn> m_errors;
    std::unique_ptr<CTestContainer> m_container;
    CComPtr<IUnknown> m_control;
    CComPtr<IVexilFN> m_server;
    CComPtr<IVexilSimControl> m_simulator;
    std::shared_ptr<CServerLog> m_log = std::make_shared<CServerLog>();
};
