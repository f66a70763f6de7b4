// The control's message routing, initialisation, layout, the start-up loading
// that the host triggers with Go, and what is saved when the control goes away.
#include "control/Vexil2UI.h"

#include "control/ServerValues.h"
#include "dialogs/WaitCursor.h"
#include "data/CheckedResult.h"
#include "data/ResultCodes.h"
#include "platform/Platform.h"

#include <algorithm>
#include <utility>

namespace {

constexpr UINT STATUS_BAR_ID = 1100;
constexpr int STATUS_BAR_HEIGHT = 20;
constexpr int MINIMUM_WIDTH = 600;
constexpr int MINIMUM_HEIGHT = 300;
constexpr int CELL_EDIT_LIMIT = 128;
constexpr UINT ANY = ~0u;

// Moves a file that was refused out of the way of the next save, under a
// name that says so; the text for the error report says where it went.
std::string KeepRefusedFile(const std::string& name)
{
    const std::string path = CDataContainer::GetFullPath(name);
    for (int attempt = 1; attempt < 100; ++attempt)
    {
        const std::string kept = path + ".refused" + (attempt > 1 ? "-" + std::to_string(attempt) : std::string());
        if (Platform::PathExists(kept))
            continue;
        if (MoveFileA(path.c_str(), kept.c_str()))
            return "The refused file was kept as " + kept + ".";
        break;
    }
    return "The refused file could not be kept aside.";
}

} // namespace

// The routing of the control's window, in the order the handlers are tried.
const CVexil2UI::CRoute CVexil2UI::ROUTES[] = {
    {WM_INITDIALOG, ANY, ANY, false, &CVexil2UI::OnInitDialog},
    {WM_SIZE, ANY, ANY, false, &CVexil2UI::OnSize},
    {WM_COMMAND, IDC_CLOSE, BN_CLICKED, false, &CVexil2UI::OnClose},
    {WM_TIMER, ANY, ANY, false, &CVexil2UI::OnTimer},
    {WM_COMMAND, IDC_USE_REPEAT, BN_CLICKED, false, &CVexil2UI::OnUseRepeat},
    {WM_COMMAND, IDC_READ, BN_CLICKED, false, &CVexil2UI::OnRead},
    {WM_COMMAND, IDC_OPTIONS, BN_CLICKED, false, &CVexil2UI::OnOptions},
    {WM_COMMAND, IDC_CONFIGURE, BN_CLICKED, false, &CVexil2UI::OnConfigure},
    {WM_COMMAND, IDC_CELL_EDIT, EN_KILLFOCUS, false, &CVexil2UI::OnEndEditing},
    {WM_NOTIFY, IDC_REGISTER_LIST, LVN_BEGINDRAG, false, &CVexil2UI::OnEndEditing},
    {WM_COMMAND, IDC_WRITE, BN_CLICKED, false, &CVexil2UI::OnWrite},
    {WM_COMMAND, IDC_CELL_EDIT, EN_UPDATE, false, &CVexil2UI::OnEditUpdate},
    {WM_NOTIFY, IDC_REGISTER_LIST, LVN_ITEMCHANGED, false, &CVexil2UI::OnSelectionChanged},
    {WM_NOTIFY, IDC_REGISTER_LIST, LVN_ODSTATECHANGED, false, &CVexil2UI::OnSelectionRangeChanged},
    {WM_SELECTION_SETTLED, ANY, ANY, false, &CVexil2UI::OnSelectionSettled},
    {WM_NOTIFY, IDC_REGISTER_LIST, LVN_GETDISPINFOA, false, &CVexil2UI::OnGetCellText},
    {WM_NOTIFY, IDC_REGISTER_LIST, LVN_GETDISPINFOW, false, &CVexil2UI::OnGetCellText},
    {WM_NOTIFY, IDC_REGISTER_LIST, LVN_DELETEALLITEMS, false, &CVexil2UI::OnDeleteAllItems},
    {WM_NOTIFY, IDC_REGISTER_LIST, NM_CUSTOMDRAW, false, &CVexil2UI::OnCustomDraw},
    {WM_NOTIFY, IDC_REGISTER_LIST, LVN_GETINFOTIPA, false, &CVexil2UI::OnGetInfoTip},
    {WM_NOTIFY, IDC_REGISTER_LIST, LVN_GETINFOTIPW, false, &CVexil2UI::OnGetInfoTip},
    {WM_NOTIFY, IDC_REGISTER_LIST, TTN_GETDISPINFOW, true, &CVexil2UI::OnRowTipText},
    {WM_MOUSEMOVE, ANY, ANY, true, &CVexil2UI::OnListMouseMove},
    {WM_HSCROLL, ANY, ANY, true, &CVexil2UI::OnListScroll},
    {WM_VSCROLL, ANY, ANY, true, &CVexil2UI::OnListScroll},
    {WM_LBUTTONDOWN, ANY, ANY, true, &CVexil2UI::OnListButtonDown},
    {WM_LBUTTONUP, ANY, ANY, true, &CVexil2UI::OnListButtonUp},
    {WM_NOTIFY, 0, HDN_ENDTRACKA, true, &CVexil2UI::OnColumnTracked},
    {WM_NOTIFY, 0, HDN_ENDTRACKW, true, &CVexil2UI::OnColumnTracked},
    {WM_COMMAND, IDC_ABORT, BN_CLICKED, false, &CVexil2UI::OnAbort},
    {WM_CONTEXTMENU, ANY, ANY, true, &CVexil2UI::OnContextMenu},
    {WM_COPY, ANY, ANY, true, &CVexil2UI::OnCopy},
    {WM_CUT, ANY, ANY, true, &CVexil2UI::OnCut},
    {WM_CLEAR, ANY, ANY, true, &CVexil2UI::OnClear},
};

bool CVexil2UI::Matches(const CRoute& route, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (route.message != message)
        return false;
    if (message == WM_COMMAND)
        return LOWORD(wParam) == route.id && HIWORD(wParam) == route.code;
    if (message == WM_NOTIFY)
    {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return header && header->idFrom == route.id && header->code == route.code;
    }
    return true;
}

BOOL CVexil2UI::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const bool fromList = window == m_list && m_list != nullptr;
    if (!fromList && window != GetControlWindow())
        return FALSE;
    // Handlers that serve both windows tell them apart by this; nested
    // messages set it anew, so it is put back afterwards.
    const bool outer = m_fromList;
    m_fromList = fromList;
    struct CRestore
    {
        bool& flag;
        bool value;
        ~CRestore() { flag = value; }
    } restore{m_fromList, outer};
    for (const CRoute& route : ROUTES)
        if ((!fromList || route.forList) && Matches(route, message, wParam, lParam))
            if ((this->*route.handler)(wParam, lParam, result))
                return TRUE;
    return FALSE;
}

CVexil2UI::~CVexil2UI()
{
    // What the user chose survives the control: options and selection are
    // written whatever the option to remember the selection says.
    if (const HRESULT hr = m_options.Save(OPTIONS_FILE); FAILED(hr))
        ShowError(hr);
    try
    {
        m_data.SaveSelections(CDataContainer::SELECTION_FILE);
    }
    catch (const CResultError& error)
    {
        ShowError(error.GetCode());
    }
}

BOOL CVexil2UI::OnInitDialog(WPARAM, LPARAM, LRESULT& result)
{
    m_list = Item(IDC_REGISTER_LIST);
    m_cellEdit = Item(IDC_CELL_EDIT);
    SubclassContainedWindows();

    EnableWindow(Item(IDC_ABORT), m_serverReady != 0);
    UpdateControls();

    if (FAILED(m_options.Load(OPTIONS_FILE)))
        ShowError(Vx::E_OPEN_OPTIONS);

    CheckDlgButton(GetControlWindow(), IDC_USE_REPEAT, m_options.GetRepeat() ? BST_CHECKED : BST_UNCHECKED);
    SendMessageW(m_cellEdit, EM_SETLIMITTEXT, CELL_EDIT_LIMIT, 0);

    m_statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE,
                                  0, 0, 0, 0, GetControlWindow(),
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(STATUS_BAR_ID)),
                                  reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(GetControlWindow(), GWLP_HINSTANCE)),
                                  nullptr);
    LayoutStatusBar();
    UpdateRepeatText();

    SetMinimumSize(SIZE{MINIMUM_WIDTH, MINIMUM_HEIGHT});

    ListView_SetExtendedListViewStyle(m_list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    CreateRowTip();
    SetupColumns();

    m_resizer.Attach(GetControlWindow());
    m_resizer.SetMinimumSize(MINIMUM_WIDTH, MINIMUM_HEIGHT);
    for (const int id : {IDC_HELP_BUTTON, IDC_CLOSE, IDC_OPTIONS, IDC_CONFIGURE, IDC_ABORT, IDC_WRITE, IDC_READ})
        m_resizer.AddItem(id, 0xE);
    m_resizer.AddItem(IDC_LIST_GROUP, 0xD);
    m_resizer.AddItem(IDC_REGISTER_LIST, 0xD);
    m_resizer.AddItem(IDC_USE_REPEAT, 0xA);

    result = TRUE; // let the dialog manager set the focus
    return TRUE;
}

void CVexil2UI::LayoutStatusBar()
{
    RECT client{};
    GetClientRect(GetControlWindow(), &client);
    const int width = client.right - client.left;
    MoveWindow(m_statusBar, 0, client.bottom - STATUS_BAR_HEIGHT, width, STATUS_BAR_HEIGHT, TRUE);
    const int parts[2] = {std::max(width - 200, 400), -1};
    SendMessageA(m_statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

BOOL CVexil2UI::OnSize(WPARAM, LPARAM, LRESULT&)
{
    if (!m_statusBar)
        return FALSE;
    LayoutStatusBar();
    EndEditing(true);
    m_resizer.Resize();
    RepaintNow(GetControlWindow());
    return TRUE;
}

void CVexil2UI::RepaintNow(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL CVexil2UI::OnClose(WPARAM, LPARAM, LRESULT&)
{
    // The host's frame window is the parent of the window that holds us.
    if (HWND parent = GetParent(GetControlWindow()))
        if (HWND frame = GetParent(parent))
            PostMessageW(frame, WM_CLOSE, 0, 0);
    return TRUE;
}

STDMETHODIMP CVexil2UI::Go()
{
    ShowStatus(Vx::MSG_READY);
    if (GetServer())
    {
        CWaitCursor wait;
        {
            CStatus status(m_statusBar, "Reading register list");
            ReadServerState();
            RepaintNow(GetControlWindow());
            ReadDevicesFromServer();
            std::vector<std::int32_t> deviceIds;
            for (int index = 0; index < m_data.GetDeviceCount(); ++index)
            {
                deviceIds.push_back(m_data.GetDeviceID(index));
                ReadRegistersFromServer(deviceIds.back());
            }
            m_details.LoadReadEffects(GetServer(), deviceIds);
        }
        {
            CStatus status(m_statusBar, "Reading user added registers from file");
            try
            {
                m_data.LoadUserRegisters(CDataContainer::USER_REGISTER_FILE);
            }
            catch (const CResultError& error)
            {
                ShowErrorWithNote(error.GetCode(), error.GetDetail());
            }
        }
        if (m_options.GetRememberConfiguration())
        {
            CStatus reading(m_statusBar, "Reading list of selected registers");
            try
            {
                m_data.LoadSelections(CDataContainer::SELECTION_FILE);
            }
            catch (const CResultError& error)
            {
                // The file is rewritten when the control goes away; a file
                // it could not read is kept aside first, so nothing is lost.
                ShowErrorWithNote(error.GetCode(), error.GetCode() == Vx::E_INVALID_REGISTER_LIST_FILE
                                                       ? KeepRefusedFile(CDataContainer::SELECTION_FILE)
                                                       : error.GetDetail());
            }
            CStatus filling(m_statusBar, "Filling the register list");
            FillList();
        }
    }
    UpdateControls();
    return S_OK;
}

void CVexil2UI::ReadServerState()
{
    long state = 0;
    if (const HRESULT hr = GetServer()->GetServerState(&state); FAILED(hr))
        ShowError(hr);
    else
        m_serverReady = state;
}

void CVexil2UI::ReadDevicesFromServer()
{
    try
    {
        CVariant names;
        CVariant ids;
        CCheckedResult check;
        check = GetServer()->GetDevices(names.Out(), ids.Out());
        const auto deviceNames = ServerValues::ToStrings(names.Get());
        const auto deviceIds = ServerValues::ToIntegers(ids.Get());
        const std::size_t count = std::min(deviceNames.size(), deviceIds.size());
        for (std::size_t i = 0; i < count; ++i)
            m_data.AddDevice(deviceIds[i], deviceNames[i], 0);
    }
    catch (const CResultError& error)
    {
        ShowError(error.GetCode());
    }
}

void CVexil2UI::ReadRegistersFromServer(std::int32_t deviceId)
{
    try
    {
        CVariant names, addresses, lengths, operations, secondTexts, numbers, extras;
        long userRegisterFlag = 0;
        CCheckedResult check;
        check = GetServer()->GetRegisters(deviceId, names.Out(), addresses.Out(), lengths.Out(), operations.Out(),
                                          secondTexts.Out(), numbers.Out(), extras.Out(), &userRegisterFlag);
        auto registerNames = ServerValues::ToStrings(names.Get());
        const auto registerAddresses = ServerValues::ToIntegers(addresses.Get());
        const auto registerLengths = ServerValues::ToIntegers(lengths.Get());
        const auto registerOperations = ServerValues::ToIntegers(operations.Get());
        auto registerPaths = ServerValues::ToStrings(secondTexts.Get());
        // The server's strings go before the records come, so that the records
        // take the memory the strings leave instead of more.
        names.Clear();
        secondTexts.Clear();
        // Element j of every array describes register j; a short array ends the list.
        const std::size_t count = std::min({registerNames.size(), registerAddresses.size(), registerLengths.size(),
                                            registerOperations.size(), registerPaths.size()});
        const GUID fresh{};
        m_data.ReserveRegisters(deviceId, count);
        for (std::size_t j = 0; j < count; ++j)
            m_data.AddRegister(deviceId, static_cast<std::uint32_t>(registerAddresses[j]), std::move(registerNames[j]),
                               std::move(registerPaths[j]), registerLengths[j], 0,
                               static_cast<std::uint32_t>(registerOperations[j]), fresh);
        m_data.SetUserRegisterFlag(deviceId, userRegisterFlag);
    }
    catch (const CResultError& error)
    {
        ShowError(error.GetCode());
    }
}

void CVexil2UI::ApplyOptions()
{
    {
        CStatus status(m_statusBar, "Saving options");
        // The new options are in force whether or not they reached the file,
        // so the window follows them either way.
        if (const HRESULT hr = m_options.Save(OPTIONS_FILE); FAILED(hr))
            ShowError(hr);
    }
    SetupColumns();
    FillList();
    RestoreSelection();
    UpdateRepeatText();
}

void CVexil2UI::SubclassContainedWindows()
{
    // The list's own messages (mouse, scrolling, clipboard, its header's
    // notifications) pass through the control's routing first. Replacing the
    // window procedure keeps the list's own procedure one call away; the
    // comctl32 subclass chain keeps its data in a window property, which
    // made every list message tens of microseconds slower under Wine.
    SetWindowLongPtrW(m_list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_listProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(m_list, GWLP_WNDPROC,
                                                             reinterpret_cast<LONG_PTR>(&CVexil2UI::ContainedWindowProc)));
}

LRESULT CALLBACK CVexil2UI::ContainedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Window data is read in process; a window property would cost a
    // round trip to the window server for every message under Wine.
    auto* control = reinterpret_cast<CVexil2UI*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!control)
        return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC original = control->m_listProc;
    if (message == WM_NCDESTROY)
    {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    else
    {
        LRESULT result = 0;
        if (control->ProcessWindowMessage(window, message, wParam, lParam, result))
            return result;
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}
