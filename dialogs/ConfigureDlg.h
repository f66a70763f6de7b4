#pragma once
// The Configure dialog: the register tree with its check boxes on the left;
// the configuration choice, the user's own registers and the selection files
// on the right. It works on the control's live option settings and data
// container; the control keeps a backup and puts it back unless the dialog
// ends with OK. Its behaviour is split over files by concern:
//   ConfigureDlg.cpp            construction, message routing, initialisation, OK and Cancel, layout
//   ConfigureTree.cpp           filling the tree, check toggles and their aggregation, commit
//   ConfigureRegisters.cpp      the "Add Registers" group: device, name, address and size, add, edit, delete
//   ConfigureFiles.cpp          Open... and Save... of selection files
//   ConfigureConfigurations.cpp the configuration combo and its buttons

#include "data/DataContainer.h"
#include "data/Options.h"
#include "dialogs/EZSize.h"
#include "dialogs/EditFilter.h"
#include "dialogs/ErrorReporter.h"
#include "dialogs/TreeMirror.h"
#include "dialogs/HasHelp.h"
#include "dialogs/ModalDialog.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CConfigureDlg final : public CModalDialogImpl<CConfigureDlg>, public CHasHelp<CConfigureDlg, 3>
{
public:
    static constexpr UINT IDD = IDD_CONFIGURE;

    // Check states of a tree node, kept as its image index and in its state-image bits.
    static constexpr int STATE_NONE = NodeState::NONE;
    static constexpr int STATE_UNCHECKED = NodeState::UNCHECKED;
    static constexpr int STATE_CHECKED = NodeState::CHECKED;
    static constexpr int STATE_PARTIAL = NodeState::PARTIAL;

    // None of the three is owned; options and data may be null (the dialog
    // then reports "Invalid pointer" where it needs them).
    CConfigureDlg(COptions* options, CDataContainer* data, IErrorReporter* reporter);
    ~CConfigureDlg();
    CConfigureDlg(const CConfigureDlg&) = delete;
    CConfigureDlg& operator=(const CConfigureDlg&) = delete;

    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Tree operations that the right half uses as well.
    void FillTree();
    void Commit();
    void RecomputeDeviceStates(HTREEITEM node);
    HTREEITEM FindDeviceNode(std::int32_t deviceId) const;
    // Appends the register's node below the folder of its path (folders made
    // as needed) or below the device node itself.
    HTREEITEM InsertRegisterNode(CRegisterData& record, HTREEITEM deviceNode);

    int GetNodeState(HTREEITEM node) const;
    void SetNodeState(HTREEITEM node, int state);
    CRegisterData* GetNodeRecord(HTREEITEM node) const;

private:
    // Message handlers.
    BOOL OnInitDialog();
    BOOL OnCommand(WORD id, WORD code);
    BOOL OnNotify(const NMHDR& header, LRESULT& result);
    void OnOk();
    void OnCancel();
    void OnRecursiveClicked();
    void OnSizing(WPARAM edge, RECT& tracking);

    // The tree (ConfigureTree.cpp).
    void DeleteAllNodes();
    HTREEITEM ResolvePath(const std::string& path, HTREEITEM deviceNode);
    // The first child of the parent with exactly that text, of any kind; null when none.
    HTREEITEM FindChildByText(HTREEITEM parent, const std::string& text);
    // Appends a node as the parent's last child (TVI_ROOT for a device);
    // null when the tree refuses it.
    HTREEITEM AppendNode(HTREEITEM parent, const std::string& text, int state, CRegisterData* record,
                         bool bold = false);
    void MakeBold(HTREEITEM node);
    std::string GetNodeText(HTREEITEM node) const;
    void OnTreeClick();
    void OnTreeKeyDown(const NMTVKEYDOWN& key);
    void ToggleNode(HTREEITEM node, bool byMouse);
    void PropagateState(HTREEITEM node, int state);
    void AddExpandedParent(HTREEITEM node);
    void ClearExpandedParents();
    int Aggregate(HTREEITEM first);
    HTREEITEM GetTopLevelNode(HTREEITEM node) const;
    void ForgetNode(HTREEITEM node);

    // The "Add Registers" group (ConfigureRegisters.cpp).
    void UpdateRegisterButtons();
    void CheckName(const std::string& name);
    std::int32_t GetChosenDeviceId() const;
    void ChooseDevice(std::int32_t deviceId);
    void OnDeviceChanged();
    void OnNameChanged();
    void OnAddressChanged();
    void OnSizeChanged();
    // A changed Address or Size field: `keep` maps each character (0 drops
    // it), `fits` accepts the kept text, `apply` writes it into the chosen
    // register in edit mode; a refused change puts back the accepted text.
    void FilterNumberField(HWND edit, EditFilter::CAcceptedText& accepted, char (*keep)(char),
                           const std::function<bool(const std::string&)>& fits,
                           const std::function<void(const CRegisterData&, const std::string&)>& apply);
    void ShowNode(HTREEITEM node);
    void OnStartEditMode();
    void OnAddRegister();
    void OnDeleteRegister();

    // Selection files (ConfigureFiles.cpp).
    void OnSaveSelections();
    void OnOpenSelections();
    void WriteCheckedNodes(std::string& text, HTREEITEM first);

    // Configurations (ConfigureConfigurations.cpp).
    void FillConfigurationCombo();
    int FindConfigurationEntry() const;
    void ChooseConfiguration(int entry);
    std::string GetComboText(int entry) const;
    void RebuildTree();
    void OnConfigurationChosen();
    void OnAddConfiguration();
    void OnEditConfiguration();
    void RunConfigurationEditor(bool editMode, int buttonId);
    void OnDeleteConfiguration();

    // Runs an action; a failure it raises is shown through the control.
    void Guarded(const std::function<void()>& action);
    void ReportError(HRESULT code);
    void FocusItem(int id);

    COptions* m_options;
    CDataContainer* m_data;
    IErrorReporter* m_reporter;

    HWND m_tree = nullptr;
    HWND m_deviceCombo = nullptr;
    HWND m_configurationCombo = nullptr;
    HWND m_address = nullptr;
    HWND m_size = nullptr;
    HWND m_name = nullptr;
    EditFilter::CAcceptedText m_acceptedAddress;
    EditFilter::CAcceptedText m_acceptedSize;
    EditFilter::CAcceptedText m_acceptedName;
    HIMAGELIST m_images = nullptr;

    // The last register path resolved to a node, and that node.
    std::string m_cachedPath;
    HTREEITEM m_cachedNode = nullptr;
    std::vector<HTREEITEM> m_changedItems;    // toggled directly, duplicates allowed
    std::vector<HTREEITEM> m_expandedParents; // received a state by propagation, no duplicates
    std::unordered_set<HTREEITEM> m_expandedSet;
    // Per parent node, its first child of each text, so that finding a path
    // component does not walk thousands of siblings. Built when a parent is
    // first searched, kept up to date as nodes are appended.
    std::unordered_map<HTREEITEM, std::unordered_map<std::string, HTREEITEM>> m_childIndex;
    CTreeMirror m_mirror; // what is read of the tree
    HTREEITEM m_boldDevice = nullptr; // the device node last made bold

    // The "Add Registers" group.
    static constexpr UINT NAME_FREE = 1;
    static constexpr UINT EDIT_ALLOWED = 2;
    static constexpr UINT DELETE_ALLOWED = 4;
    UINT m_registerButtons = NAME_FREE;
    bool m_userRegisterChosen = false;
    bool m_editMode = false;

    CEZSize m_resizer;
};
