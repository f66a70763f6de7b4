// Open... and Save... of the Configure dialog: the check marks of the tree
// saved to a selection file, and a selection file loaded into the container.
#include "dialogs/ConfigureDlg.h"

#include "data/CheckedResult.h"
#include "data/ResultCodes.h"
#include "dialogs/FileDialog.h"
#include "platform/Platform.h"

#include <algorithm>
#include <memory>

namespace {

constexpr const char* SELECTION_HEADER = "Manual editing of this file is prohibited\r\n\r\n";
// A selection line is formatted in a buffer of this many characters.
constexpr std::size_t LINE_BUFFER = 16384;

OPENFILENAMEA MakeRequest(HWND owner, std::string& fileName, const char* filter, const char* title)
{
    fileName.assign(MAX_PATH, '\0');
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter;
    request.lpstrFile = fileName.data();
    request.nMaxFile = MAX_PATH;
    request.lpstrTitle = title;
    request.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    return request;
}

std::string TakeFileName(const std::string& buffer)
{
    return buffer.substr(0, buffer.find('\0'));
}

} // namespace

void CConfigureDlg::OnSaveSelections()
{
    Guarded([this] {
        const HTREEITEM root = m_mirror.FirstRoot();
        if (!root)
            RaiseResult(Vx::E_NO_TREE_ITEMS);
        std::string fileName;
        OPENFILENAMEA request = MakeRequest(GetWindow(), fileName, "ASCII (*.txt)\0*.txt\0", "Save As");
        request.lpstrDefExt = "TXT";
        request.Flags |= OFN_OVERWRITEPROMPT;
        if (!FileDialog::Ask(request, true))
            return;
        std::string text = SELECTION_HEADER;
        WriteCheckedNodes(text, root);
        // Complete, or the file that was there stays as it was.
        if (!Platform::ReplaceFileContent(TakeFileName(fileName), text))
            RaiseResult(Vx::E_SELECTION_FILE_UNAVAILABLE);
    });
}

void CConfigureDlg::WriteCheckedNodes(std::string& text, HTREEITEM first)
{
    std::string line(LINE_BUFFER, '\0');
    for (HTREEITEM node = first; node; node = m_mirror.Next(node))
    {
        // Children first, then the register itself.
        if (const HTREEITEM child = m_mirror.FirstChild(node))
            WriteCheckedNodes(text, child);
        const CRegisterData* record = GetNodeRecord(node);
        if (!record || GetNodeState(node) != STATE_CHECKED)
            continue;
        const int length = std::snprintf(line.data(), line.size(), "%X|%s\r\n",
                                         static_cast<unsigned>(record->GetDeviceID()), record->GetName().c_str());
        if (length > 0)
            text.append(line.data(), std::min(static_cast<std::size_t>(length), line.size() - 1));
    }
}

void CConfigureDlg::OnOpenSelections()
{
    Guarded([this] {
        std::string fileName;
        OPENFILENAMEA request =
            MakeRequest(GetWindow(), fileName, "ASCII (*.txt)\0*.txt\0Binary (*.bin)\0*.bin\0", "Open");
        if (!FileDialog::Ask(request, false))
            return;
        if (!m_data)
            RaiseResult(Vx::E_INVALID_POINTER);
        // Pending toggles are dropped: the file replaces every check mark.
        ClearExpandedParents();
        m_changedItems.clear();
        m_data->ClearStates();
        m_data->LoadSelections(TakeFileName(fileName));
        DeleteAllNodes();
        SendMessageW(m_deviceCombo, CB_RESETCONTENT, 0, 0);
        FillTree();
        OnDeviceChanged();
    });
}
