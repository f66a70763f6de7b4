#include "tests/control/ControlTestSupport.h"

#include "control/ServerValues.h"
#include "control/Vexil2UI.h"
#include "frame/com/ComObject.h"
#include "frame/com/DispatchImpl.h"
#include "frame/com/ModuleEntry.h"
#include "frame/com/SafeArray.h"
#include "tests/support/ErrorDisplayImpl.h"

#include "ErrorDisplay.h"
#include "HostFramework.h"
#include "Vexil2UI.h"

namespace {

std::string Narrow(BSTR text) { return text ? std::string(text, text + SysStringLen(text)) : std::string(); }

// Records every report and answers OK.
class CRecordingDisplay final : public CErrorDisplayImpl<CRecordingDisplay>
{
public:
    explicit CRecordingDisplay(std::shared_ptr<std::vector<CShownError>> shown) : m_shown(std::move(shown)) {}

    STDMETHODIMP ShowMessage(BSTR message, BSTR, long code, BSTR reason, long, long, long* button) override
    {
        m_shown->push_back({Narrow(message), code, Narrow(reason)});
        *button = IDOK;
        return S_OK;
    }

private:
    std::shared_ptr<std::vector<CShownError>> m_shown;
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

} // namespace

CErrorDisplayStandIn::CErrorDisplayStandIn()
{
    CoRegisterClassObject(CLSID_ErrorDisplay, CRecordingDisplay::Create(m_shown)->GetUnknown(),
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
    if (server != ServerKind::None)
    {
        ASSERT_EQ(CoCreateInstance(CLSID_VexilSim, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, m_server.OutVoid()),
                  S_OK);
        m_server.QueryInterface(m_simulator);
        if (beforeGo)
            beforeGo(*m_simulator.Get());
    }
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(GetModuleClassObject<CVexil2UI>(CLSID_Vexil2UI, IID_IClassFactory, factory.OutVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, m_control.OutVoid()), S_OK);
    m_container = std::make_unique<CTestContainer>(SIZE{800, 400});
    ASSERT_EQ(m_container->Embed(m_control.Get()), S_OK);
    ASSERT_TRUE(Window());
    if (server != ServerKind::None)
    {
        CComPtr<IVexilFNClient> client;
        m_control.QueryInterface(client);
        ASSERT_EQ(client->SetServer(server == ServerKind::Bare ? CBareServer::Create(m_server.Get(), m_log).Get()
                                                               : m_server.Get()),
                  S_OK);
    }
    CComPtr<IGoClient> host;
    m_control.QueryInterface(host);
    ASSERT_EQ(host->Go(), S_OK);
    m_container->PumpMessages();
}

void ControlTest::Stop()
{
    if (m_container)
        m_container->Unload();
    m_container.reset();
    m_control.Reset();
}

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
    char text[512] = {};
    SendMessageA(StatusBar(), SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ControlTest::Message() const
{
    return m_errors->GetShown().empty() ? std::string() : m_errors->GetShown().back().Message;
}

void ControlTest::SelectRows(const std::vector<int>& rows)
{
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    for (const int row : rows)
        ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
    m_container->PumpMessages();
}

void ControlTest::Apply(int operation, const std::vector<int>& rows)
{
    SelectRows(rows);
    Click(operation);
}

void ControlTest::Click(int id)
{
    SendMessageW(GetDlgItem(Window(), id), BM_CLICK, 0, 0);
    m_container->PumpMessages();
}

void ControlTest::Remember(const std::string& options, const Strings& registers)
{
    m_directory.WriteFile("Vexil2.ini", REMEMBER + options);
    std::string selection = SELECTION_HEADER;
    for (const auto& name : registers)
        selection += "1|" + name + "\r\n";
    m_directory.WriteFile("Vexil2Selections.txt", selection);
}

void ControlTest::StartWith(const std::string& options, const Strings& registers, ServerKind server)
{
    Remember(options, registers);
    ASSERT_NO_FATAL_FAILURE(Start(server));
    ASSERT_EQ(m_container->DoVerb(OLEIVERB_UIACTIVATE), S_OK);
    m_container->PumpMessages();
    m_simulator->ResetCallCount();
}

void ControlTest::ClickCell(int row, int column, WPARAM keys)
{
    RECT cell{LVIR_LABEL, column, 0, 0};
    SendMessageW(List(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    const LPARAM where = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    PostMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON | keys, where);
    PostMessageW(List(), WM_LBUTTONUP, 0, where);
    m_container->PumpMessages();
}

void ControlTest::Type(const std::string& characters)
{
    for (const char c : characters)
    {
        PostMessageW(GetFocus(), WM_CHAR, static_cast<unsigned char>(c), 1);
        m_container->PumpMessages();
    }
}

void ControlTest::PressControlKey(UINT key)
{
    keybd_event(VK_CONTROL, 0, 0, 0);
    m_container->PumpMessages();
    PressKey(key);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    m_container->PumpMessages();
}

void ControlTest::EditCell(int row, int column, const std::string& text)
{
    ClickCell(row, column);
    ASSERT_TRUE(IsWindowVisible(Editor())) << row << ", " << column;
    SendMessageW(Editor(), EM_SETSEL, 0, -1);
    Type(text);
    PressKey(VK_RETURN);
}

long ControlTest::Calls(VexilSimCallKind kind) const
{
    long count = -1;
    m_simulator->GetCallCount(kind, &count);
    return count;
}

void ControlTest::Poke(long address, const Words& words)
{
    const std::vector<LONG> values(words.begin(), words.end());
    CVariant value(CSafeArray::MakeI4(values));
    ASSERT_EQ(m_simulator->PokeRegister(1, address, value.Get()), S_OK);
}
