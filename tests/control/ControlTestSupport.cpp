#include "tests/control/ControlTestSupport.h"

#include "control/ServerValues.h"
#include "control/Vexil2UI.h"
#include "frame/com/ComObject.h"
#include "frame/com/DispatchImpl.h"
#include "frame/com/ModuleEntry.h"
#include "frame/com/SafeArray.h"

#include "ErrorDisplay.h"
#include "HostFramework.h"
#include "Vexil2UI.h"

#include <cstring>

namespace {

// Reads the status line while a report is shown; set while a control runs.
std::function<std::string()> readStatus;

std::string Narrow(BSTR text) { return text ? std::string(text, text + SysStringLen(text)) : std::string(); }

// The error display's class object and every display it makes, in one.
class CRecordingDisplay final : public CComObjectImpl<CRecordingDisplay, IClassFactory, CDispatchImpl<IErrorDisplay>>
{
public:
    using Interfaces = CInterfaceMap<Entry<IClassFactory>, Entry<IErrorDisplay>, Entry<IDispatch, IErrorDisplay>>;
    CRecordingDisplay(std::shared_ptr<std::vector<CShownError>> shown, bool creatable)
        : m_shown(std::move(shown)), m_creatable(creatable)
    {
    }

    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override
    {
        *out = nullptr;
        return m_creatable ? QueryInterface(iid, out) : E_OUTOFMEMORY;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    STDMETHODIMP ShowMessage(BSTR message, BSTR caption, long code, BSTR reason, long, long, long* button) override
    {
        m_shown->push_back({Narrow(message), Narrow(caption), code, Narrow(reason), readStatus ? readStatus() : ""});
        *button = IDOK;
        return S_OK;
    }

private:
    std::shared_ptr<std::vector<CShownError>> m_shown;
    bool m_creatable;
};

Words ToWords(const VARIANT& value)
{
    const auto elements = ServerValues::ToIntegers(value);
    return {elements.begin(), elements.end()};
}

// The simulator behind an object that offers nothing but the server
// interface; it logs the masks and values sent.
class CBareServer final : public CComObjectImpl<CBareServer, CDispatchImpl<IVexilFN>>
{
public:
    using Interfaces = CInterfaceMap<Entry<IVexilFN>, Entry<IDispatch, IVexilFN>>;
    CBareServer(IVexilFN* inner, std::shared_ptr<CServerLog> log) : m_inner(inner), m_log(std::move(log)) {}

    STDMETHODIMP ReadRegister(LONG d, LONG a, LONG l, VARIANT* v, VARIANT m, LONG f) override
    {
        m_log->Masks.push_back(ToWords(m));
        const HRESULT hr = m_inner->ReadRegister(d, a, l, v, m, f);
        if (SUCCEEDED(hr) && m_log->SetBitsAboveLength && l % 32 != 0)
            if (CSafeArrayData<LONG> data(V_ARRAY(v)); data.IsValid())
                data.GetElements().back() |= static_cast<LONG>(~((1u << (l % 32)) - 1u));
        return hr;
    }
    STDMETHODIMP WriteRegister(LONG d, LONG a, LONG l, VARIANT v, VARIANT m, LONG f) override
    {
        m_log->Masks.push_back(ToWords(m));
        m_log->Written.push_back(ToWords(v));
        return m_inner->WriteRegister(d, a, l, v, m, f);
    }
    STDMETHODIMP Reserved1() override { return E_NOTIMPL; }
    STDMETHODIMP Reserved2() override { return E_NOTIMPL; }
    STDMETHODIMP GetDevices(VARIANT* n, VARIANT* i) override { return m_inner->GetDevices(n, i); }
    STDMETHODIMP GetRegisters(LONG d, VARIANT* n, VARIANT* a, VARIANT* l, VARIANT* o, VARIANT* s, VARIANT* x,
                              VARIANT* e, LONG* u) override
    {
        return m_inner->GetRegisters(d, n, a, l, o, s, x, e, u);
    }
    STDMETHODIMP GetServerState(LONG* s) override { return m_inner->GetServerState(s); }

private:
    CComPtr<IVexilFN> m_inner;
    std::shared_ptr<CServerLog> m_log;
};

template <class I> CComPtr<I> Ask(IUnknown* object)
{
    CComPtr<I> result;
    object->QueryInterface(__uuidof(I), result.OutVoid());
    return result;
}

} // namespace

CErrorDisplayStandIn::CErrorDisplayStandIn(bool creatable)
{
    CoRegisterClassObject(CLSID_ErrorDisplay, CRecordingDisplay::Create(m_shown, creatable)->GetUnknown(),
                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
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

void ControlTest::Start(ServerKind server, const std::function<void(IVexilSimControl&)>& beforeGo)
{
    if (server == ServerKind::None)
        return StartWithServer(nullptr);
    ASSERT_EQ(CoCreateInstance(CLSID_VexilSim, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, m_server.OutVoid()), S_OK);
    m_simulator = Ask<IVexilSimControl>(m_server.Get());
    if (beforeGo)
        beforeGo(*m_simulator.Get());
    StartWithServer(server == ServerKind::Bare ? CBareServer::Create(m_server.Get(), m_log).Get() : m_server.Get());
}

void ControlTest::StartWithServer(IVexilFN* server)
{
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(GetModuleClassObject<CVexil2UI>(CLSID_Vexil2UI, IID_IClassFactory, factory.OutVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, m_control.OutVoid()), S_OK);
    m_container = std::make_unique<CTestContainer>(SIZE{800, 400});
    ASSERT_EQ(m_container->Embed(m_control.Get()), S_OK);
    ASSERT_TRUE(Window());
    readStatus = [this] { return Status(0); };
    if (server)
    {
        ASSERT_EQ(Ask<IVexilFNClient>(m_control.Get())->SetServer(server), S_OK);
    }
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

std::vector<int> ControlTest::EnabledControls() const
{
    std::vector<int> enabled;
    for (const int id : {IDC_READ, IDC_WRITE, IDC_USE_REPEAT, IDC_ABORT, IDC_REGISTER_LIST, IDC_LIST_GROUP,
                         IDC_CONFIGURE, IDC_OPTIONS, IDC_CLOSE, IDC_HELP_BUTTON})
        if (IsEnabled(id))
            enabled.push_back(id);
    return enabled;
}

Strings ControlTest::ColumnTitles() const
{
    Strings titles;
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

int ControlTest::RowCount() const { return ListView_GetItemCount(List()); }

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

Strings ControlTest::Row(int row) const
{
    Strings cells;
    for (std::size_t column = 0; column < ColumnTitles().size(); ++column)
        cells.push_back(Cell(row, static_cast<int>(column)));
    return cells;
}

Strings ControlTest::Column(int column) const
{
    Strings cells;
    for (int row = 0; row < RowCount(); ++row)
        cells.push_back(Cell(row, column));
    return cells;
}

std::vector<int> ControlTest::SelectedRows() const
{
    std::vector<int> rows;
    for (int row = -1; (row = ListView_GetNextItem(List(), row, LVNI_SELECTED)) >= 0;)
        rows.push_back(row);
    return rows;
}

std::string ControlTest::Status(int part) const
{
    const auto length = LOWORD(SendMessageA(StatusBar(), SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0));
    std::string text(length + 1u, '\0');
    SendMessageA(StatusBar(), SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

std::string ControlTest::Message() const
{
    return m_errors->GetShown().empty() ? std::string() : m_errors->GetShown().back().Message;
}

std::string ControlTest::Text(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void ControlTest::SelectRows(const std::vector<int>& rows)
{
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    for (const int row : rows)
        ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
    m_container->PumpMessages();
}

void ControlTest::SelectAllRows()
{
    std::vector<int> rows;
    for (int row = 0; row < RowCount(); ++row)
        rows.push_back(row);
    SelectRows(rows);
}

void ControlTest::Click(int id)
{
    SendMessageW(GetDlgItem(Window(), id), BM_CLICK, 0, 0);
    m_container->PumpMessages();
}

