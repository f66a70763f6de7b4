// The Configure dialog: construction, message routing, initialisation, OK
// and Cancel, and its layout when it changes size.
#include "dialogs/ConfigureDlg.h"

#include "data/CheckedResult.h"

#include <array>
#include <new>

namespace {

constexpr WORD ANY = 0xFFFF;

// The smallest tracking rectangle, in pixels.
constexpr LONG MINIMUM_WIDTH = 496;
constexpr LONG MINIMUM_HEIGHT = 446;

struct CLayoutItem
{
    int id;
    UINT flags;
};
constexpr UINT STRETCH = CEZSize::SIZE | CEZSize::HORIZONTAL | CEZSize::VERTICAL;
constexpr UINT MOVE_CORNER = CEZSize::MOVE | CEZSize::HORIZONTAL | CEZSize::VERTICAL;
constexpr UINT MOVE_RIGHT = CEZSize::MOVE | CEZSize::HORIZONTAL;
constexpr UINT MOVE_DOWN = CEZSize::MOVE | CEZSize::VERTICAL;
constexpr std::array LAYOUT{
    CLayoutItem{IDC_CFG_SELECTION_GROUP, STRETCH},
    CLayoutItem{IDC_CFG_TREE, STRETCH},
    CLayoutItem{IDC_CFG_OPEN, MOVE_CORNER},
    CLayoutItem{IDC_CFG_SAVE, MOVE_CORNER},
    CLayoutItem{IDOK, MOVE_CORNER},
    CLayoutItem{IDCANCEL, MOVE_CORNER},
    CLayoutItem{IDC_HELP_BUTTON, MOVE_CORNER},
    CLayoutItem{IDC_CFG_CONFIGURATION_GROUP, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_CONFIGURATION, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_CONFIGURATION_EDIT, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_CONFIGURATION_ADD, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_CONFIGURATION_DELETE, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_ADD_GROUP, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_DEVICE_LABEL, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_DEVICE, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_NAME_LABEL, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_NAME, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_ADDRESS_LABEL, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_ADDRESS, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_SIZE_LABEL, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_SIZE, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_REGISTER_EDIT, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_REGISTER_ADD, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_REGISTER_DELETE, MOVE_RIGHT},
    CLayoutItem{IDC_CFG_RECURSIVE, MOVE_DOWN},
};

} // namespace

CConfigureDlg::CConfigureDlg(COptions* options, CDataContainer* data, IErrorReporter* reporter)
    : m_options(options), m_data(data), m_reporter(reporter)
{
    m_images = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 4, 1);
    if (m_images)
    {
        if (const HBITMAP bitmap = LoadBitmapW(Module::GetInstance(), MAKEINTRESOURCEW(IDB_CHECKBOXES)))
        {
            ImageList_Add(m_images, bitmap, nullptr);
            DeleteObject(bitmap);
        }
    }
}

CConfigureDlg::~CConfigureDlg()
{
    if (m_images)
        ImageList_Destroy(m_images);
}

void CConfigureDlg::Guarded(const std::function<void()>& action)
{
    try
    {
        action();
    }
    catch (const CResultError& error)
    {
        ReportError(error.GetCode());
    }
    catch (const std::bad_alloc&)
    {
        ReportError(E_OUTOFMEMORY);
    }
}

void CConfigureDlg::ReportError(HRESULT code)
{
    if (m_reporter)
        m_reporter->ShowError(code);
}

BOOL CConfigureDlg::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (ProcessHelpMessage(message, wParam, lParam, result))
        return TRUE;
    switch (message)
    {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        result = 0;
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
        return lParam && OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
    case WM_SIZE:
        m_resizer.Resize();
        RedrawWindow(GetWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        result = 0;
        return TRUE;
    case WM_SIZING:
        if (lParam)
            OnSizing(wParam, *reinterpret_cast<RECT*>(lParam));
        result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CConfigureDlg::OnCommand(WORD id, WORD code)
{
    // One line per command, in the order they are tried.
    using Handler = void (CConfigureDlg::*)();
    struct CRoute
    {
        WORD id;
        WORD code;
        Handler handler;
    };
    static constexpr CRoute ROUTES[] = {
        {IDOK, ANY, &CConfigureDlg::OnOk},
        {IDCANCEL, ANY, &CConfigureDlg::OnCancel},
        {IDC_CFG_RECURSIVE, BN_CLICKED, &CConfigureDlg::OnRecursiveClicked},
        {IDC_CFG_OPEN, BN_CLICKED, &CConfigureDlg::OnOpenSelections},
        {IDC_CFG_SAVE, BN_CLICKED, &CConfigureDlg::OnSaveSelections},
        {IDC_CFG_CONFIGURATION, CBN_SELENDOK, &CConfigureDlg::OnConfigurationChosen},
        {IDC_CFG_CONFIGURATION_EDIT, BN_CLICKED, &CConfigureDlg::OnEditConfiguration},
        {IDC_CFG_CONFIGURATION_ADD, BN_CLICKED, &CConfigureDlg::OnAddConfiguration},
        {IDC_CFG_CONFIGURATION_DELETE, BN_CLICKED, &CConfigureDlg::OnDeleteConfiguration},
        {IDC_CFG_DEVICE, CBN_SELENDOK, &CConfigureDlg::OnDeviceChanged},
        {IDC_CFG_NAME, EN_UPDATE, &CConfigureDlg::OnNameChanged},
        {IDC_CFG_ADDRESS, EN_CHANGE, &CConfigureDlg::OnAddressChanged},
        {IDC_CFG_SIZE, EN_CHANGE, &CConfigureDlg::OnSizeChanged},
        {IDC_CFG_REGISTER_ADD, BN_CLICKED, &CConfigureDlg::OnAddRegister},
        {IDC_CFG_REGISTER_EDIT, BN_CLICKED, &CConfigureDlg::OnStartEditMode},
        {IDC_CFG_REGISTER_DELETE, BN_CLICKED, &CConfigureDlg::OnDeleteRegister},
    };
    for (const CRoute& route : ROUTES)
    {
        if (route.id == id && (route.code == ANY || route.code == code))
        {
            (this->*route.handler)();
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CConfigureDlg::OnNotify(const NMHDR& header, LRESULT& result)
{
    if (header.idFrom != IDC_CFG_TREE)
        return FALSE;
    result = 0;
    switch (header.code)
    {
    case NM_CLICK:
        OnTreeClick();
        return TRUE;
    case TVN_KEYDOWN:
        OnTreeKeyDown(reinterpret_cast<const NMTVKEYDOWN&>(header));
        return TRUE;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        // Both forms carry the new node at the same place.
        if (const HTREEITEM node = reinterpret_cast<const NMTREEVIEWW&>(header).itemNew.hItem)
            ShowNode(node);
        return TRUE;
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW:
        RedrawWindow(GetWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CConfigureDlg::OnInitDialog()
{
    m_tree = Item(IDC_CFG_TREE);
    m_deviceCombo = Item(IDC_CFG_DEVICE);
    m_address = Item(IDC_CFG_ADDRESS);
    m_size = Item(IDC_CFG_SIZE);
    m_name = Item(IDC_CFG_NAME);
    m_configurationCombo = Item(IDC_CFG_CONFIGURATION);

    SendMessageW(m_tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(m_images));
    SendMessageW(m_address, EM_LIMITTEXT, 8, 0);
    SendMessageW(m_size, EM_LIMITTEXT, 4, 0);
    SendMessageW(m_name, EM_LIMITTEXT, 100, 0);

    Guarded([this] { FillConfigurationCombo(); });
    FillTree();

    m_resizer.Attach(GetWindow());
    m_resizer.SetMinimumSize(-1, -1);
    for (const CLayoutItem& item : LAYOUT)
        m_resizer.AddItem(item.id, item.flags);

    if (m_options)
        CheckDlgButton(GetWindow(), IDC_CFG_RECURSIVE, m_options->GetRecursiveSelect() ? BST_CHECKED : BST_UNCHECKED);
    // The register buttons follow the fields from the start rather than
    // showing the template's state until the first change.
    UpdateRegisterButtons();
    return TRUE;
}

void CConfigureDlg::OnOk()
{
    Commit();
    End(IDOK);
}

void CConfigureDlg::OnCancel()
{
    m_changedItems.clear();
    ClearExpandedParents();
    End(IDCANCEL);
}

void CConfigureDlg::OnRecursiveClicked()
{
    if (m_options)
        m_options->SetRecursiveSelect(IsDlgButtonChecked(GetWindow(), IDC_CFG_RECURSIVE) == BST_CHECKED ? 1 : 0);
}

void CConfigureDlg::OnSizing(WPARAM edge, RECT& tracking)
{
    const LONG missingWidth = MINIMUM_WIDTH - (tracking.right - tracking.left);
    const LONG missingHeight = MINIMUM_HEIGHT - (tracking.bottom - tracking.top);
    if (missingHeight > 0)
    {
        if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT)
            tracking.bottom += missingHeight;
        if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
            tracking.top -= missingHeight;
    }
    if (missingWidth > 0)
    {
        if (edge == WMSZ_LEFT || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_TOPLEFT)
            tracking.left -= missingWidth;
        if (edge == WMSZ_RIGHT || edge == WMSZ_BOTTOMRIGHT || edge == WMSZ_TOPRIGHT)
            tracking.right += missingWidth;
    }
}
