#include "tests/control/ControlTestSupport.h"

#include "control/Vexil2UI.h"
#include "frame/com/ModuleEntry.h"
#include "frame/com/ComObject.h"

#include "ErrorDisplay.h"
#include "HostFramework.h"
#include "Vexil2UI.h"

#include <commctrl.h>

#include <functional>

namespace {

std::string Narrow(BSTR text)
{
    std::string result;
    for (UINT i = 0; text && i < SysStringLen(text); ++i)
        result += static_cast<char>(text[i]);
    return result;
}

// Reads the status line while a report is shown; set while a control runs.
std::function<std::string()> readStatus;

class CRecordingDisplay final : public CComObjectImpl<CRecordingDisplay, IErrorDisplay>
{
public:
    using Interfaces = CInterfaceMap<Entry<IErrorDisplay>, Entry<IDispatch, IErrorDisplay>>;

    explicit CRecordingDisplay(std::shared_ptr<std::vector<CShownError>> shown) : m_shown(std::move(shown)) {}

    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP ShowMessage(BSTR message, BSTR caption, long code, BSTR reason, long, long, long* button) override
    {
        m_shown->push_back({Narrow(message), Narrow(caption), code, Narrow(reason), readStatus ? readStatus() : ""});
        *button = IDOK;
        return S_OK;
    }

private:
    std::shared_ptr<std::vector<CShownError>> m_shown;
};

class CDisplayFactory final : public CComObjectImpl<CDisplayFactory, IClassFactory>
{
public:
    using Interfaces = CInterfaceMap<Entry<IClassFactory>>;

    CDisplayFactory(std::shared_ptr<std::vector<CShownError>> shown, bool creatable)
        : m_shown(std::move(shown)), m_creatable(creatable)
    {
    }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override
    {
        *out = nullptr;
        if (!m_creatable)
            return E_OUTOFMEMORY;
        return CRecordingDisplay::Create(m_shown)->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    std::shared_ptr<std::vector<CShownError>> m_shown;
    bool m_creatable;
};

template <class I> CComPtr<I> Ask(IUnknown* object)
{
    CComPtr<I> result;
    if (object)
        object->QueryInterface(__uuidof(I), result.OutVoid());
    return result;
}

} // namespace

CErrorDisplayStandIn::CErrorDisplayStandIn(bool creatable)
{
    CComPtr<CDisplayFactory> factory = CDisplayFactory::Create(m_shown, creatable);
    CoRegisterClassObject(CLSID_ErrorDisplay, factory->GetUnknown(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                          &m_cookie);
}

CErrorDisplayStandIn::~CErrorDisplayStandIn() { CoRevokeClassObject(m_cookie); }

void ControlTest::SetUp()
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    Module::SetInstance(GetModuleHandleW(nullptr));
    m_errors = std::make_unique<CErrorDisplayStandIn>();
}

void ControlTest::TearDown()
{
    Stop();
    m_errors.reset();
    m_simulator.Reset();
    m_server.Reset();
    CoUninitialize();
}

void ControlTest::Embed()
{
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(GetModuleClassObject<CVexil2UI>(CLSID_Vexil2UI, IID_IClassFactory, factory.OutVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, m_control.OutVoid()), S_OK);
    m_container = std::make_unique<CTestContainer>(SIZE{800, 400});
    ASSERT_EQ(m_container->Embed(m_control.Get()), S_OK);
    ASSERT_TRUE(Window());
    readStatus = [this] { return Status(0); };
}

void ControlTest::Start(bool withServer, const std::function<void(IVexilSimControl&)>& beforeGo)
{
    ASSERT_NO_FATAL_FAILURE(Embed());
    if (withServer)
    {
        ASSERT_EQ(CoCreateInstance(CLSID_VexilSim, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, m_server.OutVoid()),
                  S_OK);
        m_simulator = Ask<IVexilSimControl>(m_server.Get());
        ASSERT_EQ(Ask<IVexilFNClient>(m_control.Get())->SetServer(m_server.Get()), S_OK);
        if (beforeGo)
            beforeGo(*m_simulator.Get());
    }
    ASSERT_EQ(Ask<IGoClient>(m_control.Get())->Go(), S_OK);
    m_container->PumpMessages();
}

void ControlTest::StartWithServer(IVexilFN* server)
{
    ASSERT_NO_FATAL_FAILURE(Embed());
    m_server = CComPtr<IVexilFN>(server);
    ASSERT_EQ(Ask<IVexilFNClient>(m_control.Get())->SetServer(server), S_OK);
    ASSERT_EQ(Ask<IGoClient>(m_control.Get())->Go(), S_OK);
    m_container->PumpMessages();
}

void ControlTest::Stop()
{
    readStatus = nullptr;
    if (m_container)
        m_container->Unload();
    m_container.reset();
    m_control.Reset();
}

HWND ControlTest::StatusBar() const { return FindWindowExW(Window(), nullptr, STATUSCLASSNAMEW, nullptr); }

std::vector<std::string> ControlTest::ColumnTitles() const
{
    std::vector<std::string> titles;
    for (int index = 0;; ++index)
    {
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        if (!SendMessageA(List(), LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)))
            return titles;
        titles.emplace_back(text);
    }
}

int ControlTest::RowCount() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }

std::string ControlTest::Cell(int row, int column) const
{
    char text[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::string> ControlTest::Row(int row) const
{
    std::vector<std::string> cells;
    const auto columns = ColumnTitles().size();
    for (std::size_t column = 0; column < columns; ++column)
        cells.push_back(Cell(row, static_cast<int>(column)));
    return cells;
}

std::string ControlTest::Status(int part) const
{
    HWND bar = StatusBar();
    const auto length = LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0));
    std::string text(length + 1u, '\0');
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

void ControlTest::SelectRows(const std::vector<int>& rows)
{
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    for (const int row : rows)
    {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    m_container->PumpMessages();
}

void ControlTest::Click(int id)
{
    SendMessageW(GetDlgItem(Window(), id), BM_CLICK, 0, 0);
    m_container->PumpMessages();
}
