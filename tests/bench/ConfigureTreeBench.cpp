// Opening the Configure dialog on 100,000 registers (its tree filled with
// every register below its folders), and checking the last device, against a
// bare tree view filled with the same nodes, texts and images, redrawing off,
// in the same run:
//  - "100x1,000": 100 devices of 1,000 registers below two levels of folders,
//    ten registers per leaf folder (111,100 nodes);
//  - "deep": 10 devices of 10,000 registers below three levels of folders;
//  - "wide": 10 devices of 10,000 registers in one level of 1,000 folders that
//    the registers visit in turn, so every register looks its folder up by
//    text among up to 1,000 siblings.
#include "dialogs/ConfigureDlg.h"
#include "frame/ActivationContext.h"
#include "frame/NoRedraw.h"
#include "frame/com/Module.h"
#include "platform/Platform.h"
#include "tests/dialogs/DialogDriver.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace {

constexpr int REPEATS = 3;

using Clock = std::chrono::steady_clock;
using PathOf = std::function<std::string(int registerIndex)>;

// How many devices of how many registers, in which folders.
struct CShape
{
    const char* Name;
    int Devices;
    int RegistersPerDevice;
    PathOf PathOfRegister;
};

class CNoReports final : public IErrorReporter
{
public:
    void ShowError(HRESULT code, const std::string&) override { std::printf("error 0x%08lX\n", code); }
};

void FillContainer(CDataContainer& data, const CShape& shape)
{
    for (int d = 1; d <= shape.Devices; ++d)
    {
        data.AddDevice(d, "Device" + std::to_string(d), 1);
        for (int r = 0; r < shape.RegistersPerDevice; ++r)
            data.AddRegister(d, static_cast<std::uint32_t>(r) * 4, "R" + std::to_string(r), shape.PathOfRegister(r),
                             32, 0, 3, GUID_NULL);
    }
}

struct CFigures
{
    double Open = 0;     // from asking for the dialog until it is up with its tree filled
    double Register = 0; // a space bar that checks the last device's last register
    double Device = 0;   // a space bar that checks every node of the unchecked last device
};

double SecondsOfSpace(HWND tree, HTREEITEM node)
{
    TreeView_SelectItem(tree, node);
    const auto pressed = Clock::now();
    SendMessageW(tree, WM_KEYDOWN, VK_SPACE, 1);
    UpdateWindow(tree);
    return std::chrono::duration<double>(Clock::now() - pressed).count();
}

CFigures OpenDialog(CDataContainer& data, COptions& options, HWND parent, const CShape& shape)
{
    CNoReports reports;
    CConfigureDlg dialog(&options, &data, &reports);
    CFigures figures;
    const auto start = Clock::now();
    DialogDriver::Drive(
        L"Configure",
        [&](HWND window) {
            figures.Open = std::chrono::duration<double>(Clock::now() - start).count();
            const HWND tree = GetDlgItem(window, IDC_CFG_TREE);
            if (TreeView_GetCount(tree) < static_cast<UINT>(shape.Devices * shape.RegistersPerDevice))
                std::printf("the tree is not complete: %u nodes\n", TreeView_GetCount(tree));
            HTREEITEM device = TreeView_GetRoot(tree);
            for (HTREEITEM next = device; next; next = TreeView_GetNextSibling(tree, next))
                device = next;
            HTREEITEM node = device;
            for (HTREEITEM child = node; child; child = TreeView_GetChild(tree, node))
                for (node = child; HTREEITEM next = TreeView_GetNextSibling(tree, node);)
                    node = next;
            figures.Register = SecondsOfSpace(tree, node);
            SecondsOfSpace(tree, device); // partly checked: it clears the one register
            figures.Device = SecondsOfSpace(tree, device);
        },
        [&] { return dialog.DoModal(parent); });
    return figures;
}

HTREEITEM Insert(HWND tree, HTREEITEM parent, const std::string& text)
{
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = insert.item.iSelectedImage = 1;
    insert.item.state = INDEXTOSTATEIMAGEMASK(1);
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// Image and state image 2 on a node and every node below it.
void CheckBareSubtree(HWND tree, HTREEITEM node)
{
    TVITEMA item{};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    item.hItem = node;
    item.iImage = item.iSelectedImage = 2;
    item.state = INDEXTOSTATEIMAGEMASK(2);
    item.stateMask = TVIS_STATEIMAGEMASK;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    for (HTREEITEM child = TreeView_GetChild(tree, node); child; child = TreeView_GetNextSibling(tree, child))
        CheckBareSubtree(tree, child);
}

struct CBareFigures
{
    double Fill = 0;
    double Device = 0; // the same state images set on every node of the last device
};

// The same nodes in a bare tree view of the same size and style, its folders
// found in a map.
CBareFigures FillBareTree(HWND parent, HIMAGELIST images, const CShape& shape)
{
    const CModuleActivationScope commonControls;
    const HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                      WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                                          TVS_SHOWSELALWAYS,
                                      0, 0, 330, 300, parent, nullptr, nullptr, nullptr);
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    const auto start = Clock::now();
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    std::map<std::pair<HTREEITEM, std::string>, HTREEITEM> folders;
    for (int d = 1; d <= shape.Devices; ++d)
    {
        const HTREEITEM device = Insert(tree, TVI_ROOT, "Device" + std::to_string(d));
        for (int r = 0; r < shape.RegistersPerDevice; ++r)
        {
            HTREEITEM folder = device;
            const std::string path = shape.PathOfRegister(r);
            for (std::size_t begin = 0; begin < path.size();)
            {
                const std::size_t end = std::min(path.find('/', begin), path.size());
                const std::string component = path.substr(begin, end - begin);
                auto& node = folders[{folder, component}];
                if (!node)
                    node = Insert(tree, folder, component);
                folder = node;
                begin = end + 1;
            }
            Insert(tree, folder, "R" + std::to_string(r));
        }
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    UpdateWindow(tree);
    CBareFigures figures;
    figures.Fill = std::chrono::duration<double>(Clock::now() - start).count();
    HTREEITEM device = TreeView_GetRoot(tree);
    for (HTREEITEM next = device; next; next = TreeView_GetNextSibling(tree, next))
        device = next;
    const auto checking = Clock::now();
    {
        // The fastest way: the tree view invalidates each changed node even
        // with its redrawing off, unless it is marked hidden.
        const CUpdateFreeze frozen(tree);
        CheckBareSubtree(tree, device);
    }
    UpdateWindow(tree);
    figures.Device = std::chrono::duration<double>(Clock::now() - checking).count();
    DestroyWindow(tree);
    return figures;
}

void Measure(const CShape& shape, HWND parent, HIMAGELIST images)
{
    CDataContainer data;
    FillContainer(data, shape);
    COptions options;
    CBareFigures bare{1e30, 1e30};
    CFigures best{1e30, 1e30, 1e30};
    for (int i = 0; i < REPEATS; ++i)
    {
        const CBareFigures bareFigures = FillBareTree(parent, images, shape);
        bare = {std::min(bare.Fill, bareFigures.Fill), std::min(bare.Device, bareFigures.Device)};
        const CFigures figures = OpenDialog(data, options, parent, shape);
        best = {std::min(best.Open, figures.Open), std::min(best.Register, figures.Register),
                std::min(best.Device, figures.Device)};
    }
    std::printf("%-9s %d x %d registers: bare tree view %.2f s, Configure dialog open %.2f s, ratio %.2f "
                "(target at most 1.50)\n",
                shape.Name, shape.Devices, shape.RegistersPerDevice, bare.Fill, best.Open, best.Open / bare.Fill);
    std::printf("%-9s checking one register %.3f s; one device of %d registers: bare tree view %.3f s, "
                "Configure dialog %.3f s, ratio %.2f (target at most 1.50)\n",
                shape.Name, best.Register, shape.RegistersPerDevice, bare.Device, best.Device,
                best.Device / bare.Device);
}

} // namespace

int main()
{
    Module::SetInstance(GetModuleHandleW(nullptr));
    InitCommonControls();
    const auto directory = std::filesystem::temp_directory_path() / "vexil-tree-bench";
    std::filesystem::create_directories(directory);
    Platform::SetModuleDirectory(directory.string());
    const HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700, 500, nullptr,
                                        nullptr, nullptr, nullptr);
    const HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 4, 1);
    if (const HBITMAP bitmap = LoadBitmapW(Module::GetInstance(), MAKEINTRESOURCEW(IDB_CHECKBOXES)))
    {
        ImageList_Add(images, bitmap, nullptr);
        DeleteObject(bitmap);
    }

    std::printf("Configure tree benchmark: 100,000 registers in three shapes, best of %d\n", REPEATS);
    const auto twoLevels = [](int r) { return "B" + std::to_string(r / 100) + "/G" + std::to_string(r / 10 % 10); };
    const auto threeLevels = [](int r) {
        return "B" + std::to_string(r / 1000) + "/G" + std::to_string(r / 100 % 10) + "/S" + std::to_string(r / 10 % 10);
    };
    const auto oneWideLevel = [](int r) { return "F" + std::to_string(r % 1000); };
    for (const CShape& shape : {CShape{"100x1,000", 100, 1000, twoLevels}, CShape{"deep", 10, 10000, threeLevels},
                                CShape{"wide", 10, 10000, oneWideLevel}})
        Measure(shape, parent, images);

    ImageList_Destroy(images);
    DestroyWindow(parent);
    return 0;
}
