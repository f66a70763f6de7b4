#pragma once
// The register tool control: a composite control whose window is dialog
// template 104. Its behaviour is split over files by concern:
//   Lifecycle.cpp    members, message routing, initialisation, layout, start-up loading, destruction
//   RegisterList.cpp the list of selected registers
//   ServerState.cpp  the server's state, its event and which controls are enabled
//   ErrorReport.cpp  status texts and the error report
//   Repeat.cpp       the repeat text and timer
//   Operations.cpp   Read and Write on the selected rows
//   ListEditing.cpp  popup menu, clipboard copy, delete and select all
//   CellEditor.cpp   the in-place editor of write values and masks
//   ListDrawing.cpp  changed values, italic names of registers a read changes, field tips
//   Keyboard.cpp     the keys the control handles before the dialog keys
//   OptionsCommand.cpp   the Options dialog run over the control's options
//   ConfigureCommand.cpp the Configure dialog run with a backup that Cancel puts back

#include "control/ColumnLayout.h"
#include "control/RegisterDetails.h"
#include "control/Status.h"
#include "data/DataContainer.h"
#include "data/Options.h"
#include "dialogs/EZSize.h"
#include "dialogs/ErrorReporter.h"
#include "frame/ControlFrame.h"
#include "frame/Gdi.h"
#include "resources/resource.h"

#include "HostFramework.h"
#include "VexilFN.h"
#include "Vexil2UI.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

class CVexil2UI final : public CVexil2UIBase<CVexil2UI>, public IErrorReporter
{
public:
    static constexpr UINT IDD = IDD_VEXIL2UI;
    static const CLSID& GetObjectCLSID() { return CLSID_Vexil2UI; }
    static constexpr const char* OPTIONS_FILE = "Vexil2.ini";
    // Posted to the control's window once per burst of selection changes.
    static constexpr UINT WM_SELECTION_SETTLED = WM_APP + 1;

    // The interfaces a host reaches, in the order they are matched.
    using Interfaces = CVexil2UIInterfaces<CVexil2UI>;

    // IGoClient: the start-up loading.
    STDMETHODIMP Go() override;

    // Frame callbacks.
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnServerStateChanged(long state);
    BOOL PreTranslateAccelerator(MSG* message, HRESULT& result);

    // Status line and error report.
    void ShowStatus(HRESULT code, int count = 0);
    void ShowError(HRESULT code, const std::string& itemName = {}) override;
    // The message for the code, then on a line of its own where it happened
    // or what became of a refused file.
    void ShowErrorWithNote(HRESULT code, const std::string& note);
    std::string GetErrorReason();

    // The list of selected registers.
    void SetupColumns();
    void FillList();
    void AddRow(std::int32_t deviceId, CRegisterData& record);
    int UpdateRowValues(int row);
    int GetValueColumnsEnd() const; // the column after the last value column
    void RememberSelection();
    void RestoreSelection();

    void UpdateControls();
    void UpdateRepeatText();
    UINT_PTR StartRepeatTimer(UINT delay);
    void StopRepeatTimer();

    // Read and write of the selected rows; a failure is reported, never raised.
    void ReadSelected();
    void WriteSelected();

    // List editing.
    void CopySelectedRows();
    void DeleteSelectedRows();
    void SelectAllRows();
    void EndEditing(bool keepText);

    // After the options changed (the Options dialog ended with OK): save
    // them, rebuild the list and the repeat text.
    void ApplyOptions();

private:
    friend CVexil2UIBase<CVexil2UI>;
    CVexil2UI() = default;
    ~CVexil2UI() override;

    // One line of the message routing: a handler answers whether it handled
    // the message and sets the result.
    using Handler = BOOL (CVexil2UI::*)(WPARAM, LPARAM, LRESULT&);
    struct CRoute
    {
        UINT message;
        UINT id;      // command or notifying control id, for WM_COMMAND and WM_NOTIFY
        UINT code;    // notification code, for WM_COMMAND and WM_NOTIFY
        bool forList; // also serves the messages of the list, which is subclassed into this routing
        Handler handler;
    };
    static const CRoute ROUTES[];
    static bool Matches(const CRoute& route, UINT message, WPARAM wParam, LPARAM lParam);

    // Message handlers.
    BOOL OnInitDialog(WPARAM, LPARAM, LRESULT&);
    BOOL OnSize(WPARAM, LPARAM, LRESULT&);
    BOOL OnClose(WPARAM, LPARAM, LRESULT&);
    BOOL OnUseRepeat(WPARAM, LPARAM, LRESULT&);
    BOOL OnAbort(WPARAM, LPARAM, LRESULT&);
    BOOL OnSelectionChanged(WPARAM, LPARAM, LRESULT&);
    BOOL OnSelectionSettled(WPARAM, LPARAM, LRESULT&);
    BOOL OnSelectionRangeChanged(WPARAM, LPARAM, LRESULT&);
    BOOL OnGetCellText(WPARAM, LPARAM, LRESULT&);
    BOOL OnColumnTracked(WPARAM, LPARAM, LRESULT&);
    BOOL OnCustomDraw(WPARAM, LPARAM, LRESULT&);
    BOOL OnGetInfoTip(WPARAM, LPARAM, LRESULT&);
    BOOL OnRowTipText(WPARAM, LPARAM, LRESULT&);
    BOOL OnListMouseMove(WPARAM, LPARAM, LRESULT&);
    BOOL OnDeleteAllItems(WPARAM, LPARAM, LRESULT&);
    BOOL OnTimer(WPARAM, LPARAM, LRESULT&);
    BOOL OnRead(WPARAM, LPARAM, LRESULT&);
    BOOL OnOptions(WPARAM, LPARAM, LRESULT&);
    BOOL OnConfigure(WPARAM, LPARAM, LRESULT&);
    BOOL OnWrite(WPARAM, LPARAM, LRESULT&);
    BOOL OnEndEditing(WPARAM, LPARAM, LRESULT&);
    BOOL OnEditUpdate(WPARAM, LPARAM, LRESULT&);
    BOOL OnListScroll(WPARAM, LPARAM, LRESULT&);
    BOOL OnListButtonDown(WPARAM, LPARAM, LRESULT&);
    BOOL OnListButtonUp(WPARAM, LPARAM, LRESULT&);
    BOOL OnContextMenu(WPARAM, LPARAM, LRESULT&);
    BOOL OnCopy(WPARAM, LPARAM, LRESULT&);
    BOOL OnCut(WPARAM, LPARAM, LRESULT&);
    BOOL OnClear(WPARAM, LPARAM, LRESULT&);
    static void RepaintNow(HWND window);

    // The Configure command's steps.
    void RunConfigure();
    void FinishConfigure(bool accepted, const std::string& registers, const std::string& selections,
                         const std::string& settings);
    void RunFileStep(const std::function<void()>& step);
    void RestoreBackup(const std::string& registers, const std::string& selections, const std::string& settings);

    void Report(HRESULT code, const std::string& message);

    // Start-up steps.
    void ReadServerState();
    void ReadDevicesFromServer();
    void ReadRegistersFromServer(std::int32_t deviceId);
    void LayoutStatusBar();
    void SubclassContainedWindows();
    static LRESULT CALLBACK ContainedWindowProc(HWND, UINT, WPARAM, LPARAM);

    std::string GetCellText(int row, int column) const; // what the list shows in a cell
    LRESULT DrawCell(NMLVCUSTOMDRAW& draw);
    HFONT GetItalicFont();
    void CreateRowTip();
    void RelayToRowTip(UINT message, WPARAM wParam, LPARAM lParam);
    // Selected rows that a repeated read reads although a read changes the hardware.
    int CountReadEffectsInRepeat() const;
    // While a repeated read runs, the status line says how many of its
    // registers change the hardware when read; the selection's text comes back after.
    void ShowRepeatNotice();
    void SettleSelectionLater(); // the status and buttons follow the selection once its burst is over

    // Operations.
    void StartOperation(int kind);
    void RunOperation(int kind);
    using Transfer = void (CVexil2UI::*)(CRegisterData& record);
    void TransferSelected(const char* progress, std::uint32_t operations, HRESULT unsupportedCode, Transfer transfer,
                          bool refreshRow);
    void ReadRow(CRegisterData& record);
    void WriteRow(CRegisterData& record);
    void DispatchPendingMessages();
    // A key for the control's windows while an operation runs: true when it
    // is to be dispatched as usual, false when it was handled or dropped.
    bool DispatchKeyDuringOperation(MSG& message);
    IVexilFN* RequireServer();

    // List editing and the cell editor.
    std::string MakeCopyLine(const CRegisterData& record) const;
    int GetColumnKind(int column) const;
    bool IsEditable(int row, int column) const;
    bool HitTestCell(POINT listPoint, int& row, int& column) const;
    int GetSelectedCount() const;
    CRegisterData* GetRowRecord(int row) const;
    HWND Item(int id) const { return GetDlgItem(GetControlWindow(), id); }

    // Members, all zero or empty at construction.
    long m_serverReady = 0;
    int m_repeatKind = 0;
    bool m_editing = false;
    bool m_operationRunning = false;
    bool m_fromList = false; // the message being routed is one of the list's
    bool m_filtering = false; // the editor's input filter is changing its text
    bool m_selectionSettling = false; // the selection feedback is posted and not yet shown
    std::string m_editAccepted; // the editor's text as last accepted by the filter
    UINT_PTR m_repeatTimer = 0;
    HWND m_statusBar = nullptr;
    HWND m_list = nullptr;
    HWND m_cellEdit = nullptr;
    WNDPROC m_listProc = nullptr; // the list's own procedure, behind our routing
    COptions m_options;
    CColumnLayout m_layout{m_options}; // the columns of the list as last set up
    CDataContainer m_data;
    CEZSize m_resizer;
    int m_editColumn = 0;
    int m_editRow = 0;
    std::vector<int> m_savedSelection;
    std::vector<CRegisterData*> m_rows; // the record of each row of the list, which holds none itself
    CRegisterDetails m_details;
    CGdiObject<HFONT> m_italicFont; // the list's font in italics, made when first needed
    bool m_repeatNoticeShown = false; // the status line counts the reads that change the hardware
    HWND m_rowTip = nullptr;  // the tooltip of the list's rows, a child of the control's window
    int m_rowTipRow = -1;     // the row the tip was last asked for
    std::wstring m_rowTipText; // the text the tip shows, kept while it shows
};
