#include "tests/sim/SimTestSupport.h"

#include "tests/support/TestDirectory.h"

#include "frame/com/BStr.h"

#include <oleauto.h>

CVariant MakeI4Array(const std::vector<LONG>& words) { return CVariant(CSafeArray::MakeI4(words)); }

CVariant MakeVariantArray(const std::vector<LONG>& words)
{
    std::vector<CVariant> elements;
    for (LONG word : words)
        elements.emplace_back(word);
    return CVariant(CSafeArray::MakeVariant(elements));
}

CVariant MakeFullMask(int length)
{
    std::vector<LONG> words(static_cast<std::size_t>((length + 31) / 32), -1);
    if (length % 32 != 0)
        words.back() = static_cast<LONG>((1u << (length % 32)) - 1u);
    return CVariant(CSafeArray::MakeI4(words));
}

std::vector<LONG> GetI4Elements(const VARIANT& value)
{
    EXPECT_EQ(V_VT(&value), VT_ARRAY | VT_I4);
    if (V_VT(&value) != (VT_ARRAY | VT_I4))
        return {};
    LONG lower = -1;
    EXPECT_EQ(SafeArrayGetLBound(V_ARRAY(&value), 1, &lower), S_OK);
    EXPECT_EQ(lower, 0);
    CSafeArrayData<LONG> data(V_ARRAY(&value));
    EXPECT_TRUE(data.IsValid());
    return {data.GetElements().begin(), data.GetElements().end()};
}

std::vector<std::wstring> GetStrings(const VARIANT& value)
{
    EXPECT_EQ(V_VT(&value), VT_ARRAY | VT_BSTR);
    CSafeArrayData<BSTR> data(V_VT(&value) == (VT_ARRAY | VT_BSTR) ? V_ARRAY(&value) : nullptr);
    std::vector<std::wstring> strings;
    for (BSTR text : data.GetElements())
        strings.emplace_back(text ? text : L"");
    return strings;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

CDeviceList GetDevices(IVexilFN* server)
{
    CVariant names, ids;
    EXPECT_EQ(server->GetDevices(names.Out(), ids.Out()), S_OK);
    return {GetStrings(names.Get()), GetI4Elements(ids.Get())};
}

CRegisterList GetRegisters(IVexilFN* server, LONG device)
{
    CVariant names, addresses, lengths, operations, paths, numbers, extras;
    CRegisterList list;
    EXPECT_EQ(server->GetRegisters(device, names.Out(), addresses.Out(), lengths.Out(), operations.Out(),
                                   paths.Out(), numbers.Out(), extras.Out(), &list.userFlag),
              S_OK);
    list.names = GetStrings(names.Get());
    list.paths = GetStrings(paths.Get());
    list.addresses = GetI4Elements(addresses.Get());
    list.lengths = GetI4Elements(lengths.Get());
    list.operations = GetI4Elements(operations.Get());
    return list;
}

CFieldList GetFields(IVexilFNDetails* details, LONG device, const wchar_t* name)
{
    CVariant names, lowBits, widths, accesses, descriptions;
    EXPECT_EQ(details->GetFields(device, CBStr(name).Get(), names.Out(), lowBits.Out(), widths.Out(), accesses.Out(),
                                 descriptions.Out()),
              S_OK);
    return {GetStrings(names.Get()), GetStrings(accesses.Get()), GetStrings(descriptions.Get()),
            GetI4Elements(lowBits.Get()), GetI4Elements(widths.Get())};
}

std::vector<std::wstring> GetFieldValues(IVexilFNDetails* details, LONG device, const wchar_t* name, LONG field)
{
    CVariant values, masks, names, descriptions;
    EXPECT_EQ(details->GetFieldValues(device, CBStr(name).Get(), field, values.Out(), masks.Out(), names.Out(),
                                      descriptions.Out()),
              S_OK);
    const auto valueTexts = GetStrings(values.Get()), maskTexts = GetStrings(masks.Get()),
               nameTexts = GetStrings(names.Get()), descriptionTexts = GetStrings(descriptions.Get());
    std::vector<std::wstring> result;
    for (std::size_t i = 0; i < valueTexts.size(); ++i)
    {
        const std::wstring& description = descriptionTexts.at(i);
        result.push_back(valueTexts[i] + L"/" + maskTexts.at(i) + L" " + nameTexts.at(i) +
                         (description.empty() ? L"" : L" (" + description + L")"));
    }
    return result;
}

std::vector<std::wstring> GetReadEffects(IVexilFNDetails* details, LONG device)
{
    CVariant names, effects;
    EXPECT_EQ(details->GetReadEffects(device, names.Out(), effects.Out()), S_OK);
    const auto registerNames = GetStrings(names.Get()), texts = GetStrings(effects.Get());
    std::vector<std::wstring> result;
    for (std::size_t i = 0; i < registerNames.size(); ++i)
        result.push_back(registerNames[i] + L": " + texts.at(i));
    return result;
}

std::wstring TakeErrorDescription()
{
    CComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Out()) != S_OK || !info)
        return {};
    CBStr description;
    info->GetDescription(description.Out());
    return description.ToString();
}

STDMETHODIMP CStateSink::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

STDMETHODIMP CStateSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*)
{
    if (id != 1 || parameters->cArgs != 1 || V_VT(&parameters->rgvarg[0]) != VT_I4)
        return DISP_E_MEMBERNOTFOUND;
    states.push_back(V_I4(&parameters->rgvarg[0]));
    if (onEvent)
        onEvent();
    return S_OK;
}

void CRegisterServerTest::SetUp()
{
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    m_initialized = true;
    ASSERT_EQ(CoCreateInstance(m_clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, m_server.OutVoid()), S_OK)
        << "is the server's DLL registered?";
}

void CRegisterServerTest::TearDown()
{
    m_server.Reset();
    if (m_initialized)
        CoUninitialize();
}

std::vector<LONG> CRegisterServerTest::Read(LONG device, LONG address, LONG length, const CVariant& mask)
{
    CVariant value;
    EXPECT_EQ(TryRead(device, address, length, value, mask), S_OK) << Narrow(TakeErrorDescription());
    return GetI4Elements(value.Get());
}

HRESULT CRegisterServerTest::TryRead(LONG device, LONG address, LONG length, CVariant& value, const CVariant& mask)
{
    const CVariant& sent = mask.GetType() == VT_EMPTY ? MakeFullMask(length) : mask;
    return m_server->ReadRegister(device, address, length, value.Out(), sent.Get(), 0);
}

void CRegisterServerTest::Write(LONG device, LONG address, LONG length, const std::vector<LONG>& value,
                                const CVariant& mask)
{
    EXPECT_EQ(TryWrite(device, address, length, value, mask), S_OK) << Narrow(TakeErrorDescription());
}

HRESULT CRegisterServerTest::TryWrite(LONG device, LONG address, LONG length, const std::vector<LONG>& value,
                                      const CVariant& mask)
{
    const CVariant& sent = mask.GetType() == VT_EMPTY ? MakeFullMask(length) : mask;
    return m_server->WriteRegister(device, address, length, MakeVariantArray(value).Get(), sent.Get(), 0);
}

LONG CRegisterServerTest::GetState()
{
    LONG state = -1;
    EXPECT_EQ(m_server->GetServerState(&state), S_OK);
    return state;
}

void CSimulatorTest::SetUp()
{
    CRegisterServerTest::SetUp();
    ASSERT_TRUE(m_server);
    ASSERT_EQ(m_server.QueryInterface(m_control), S_OK);
}

void CSimulatorTest::TearDown()
{
    m_control.Reset();
    CRegisterServerTest::TearDown();
}

CRegisterEntry CSimulatorTest::FindRegister(LONG device, const std::wstring& name)
{
    const CRegisterList list = GetRegisters(m_server.Get(), device);
    for (std::size_t i = 0; i < list.names.size(); ++i)
        if (list.names[i] == name)
            return {list.addresses.at(i), list.lengths.at(i)};
    ADD_FAILURE() << "no register " << Narrow(name) << " in device " << device;
    return {};
}

HRESULT CSimulatorTest::LoadDescriptionText(const std::string& text)
{
    CTestDirectory directory;
    directory.WriteFile("description.txt", text);
    const std::string path = directory.GetFile("description.txt");
    const CBStr wide(std::wstring(path.begin(), path.end()));
    return m_control->LoadDescription(wide.Get());
}
