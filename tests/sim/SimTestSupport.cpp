#include "tests/sim/SimTestSupport.h"

#include "tests/support/TestDirectory.h"

#include "frame/com/BStr.h"

#include <oleauto.h>

CRegistryKey::~CRegistryKey()
{
    if (m_key)
        RegCloseKey(m_key);
}

bool CRegistryKey::Open(HKEY root, const std::wstring& path)
{
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &m_key) == ERROR_SUCCESS;
}

bool CRegistryKey::Create(HKEY root, const std::wstring& path)
{
    return RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr) ==
           ERROR_SUCCESS;
}

CLibrary::~CLibrary()
{
    if (m_module)
        FreeLibrary(m_module);
}

bool CLibrary::Load(const std::string& path)
{
    m_module = LoadLibraryA(path.c_str());
    return m_module != nullptr;
}

std::string GetBuiltDllPath() { return std::string("Z:") + VEXIL_SIM_DLL; }

CVariant MakeI4Array(std::initializer_list<LONG> words)
{
    return CVariant(CSafeArray::MakeI4(std::vector<LONG>(words)));
}

CVariant MakeVariantArray(std::initializer_list<LONG> words)
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

std::wstring TakeErrorDescription()
{
    CComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Out()) != S_OK || !info)
        return {};
    BSTR description = nullptr;
    info->GetDescription(&description);
    std::wstring text = description ? description : L"";
    SysFreeString(description);
    return text;
}

void CSimulatorTest::SetUp()
{
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    m_initialized = true;
    ASSERT_EQ(CoCreateInstance(CLSID_VexilSim, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, m_server.OutVoid()), S_OK)
        << "is VexilSim.dll registered?";
    ASSERT_EQ(m_server.QueryInterface(m_control), S_OK);
}

void CSimulatorTest::TearDown()
{
    m_control.Reset();
    m_server.Reset();
    if (m_initialized)
        CoUninitialize();
}

std::vector<LONG> CSimulatorTest::Read(LONG device, LONG address, LONG length)
{
    return Read(device, address, length, MakeFullMask(length));
}

std::vector<LONG> CSimulatorTest::Read(LONG device, LONG address, LONG length, const CVariant& mask)
{
    CVariant value;
    EXPECT_EQ(TryRead(device, address, length, mask, value), S_OK) << TakeErrorDescription().c_str();
    return GetI4Elements(value.Get());
}

HRESULT CSimulatorTest::TryRead(LONG device, LONG address, LONG length, const CVariant& mask, CVariant& value)
{
    return m_server->ReadRegister(device, address, length, value.Out(), mask.Get(), 0);
}

void CSimulatorTest::Write(LONG device, LONG address, LONG length, std::initializer_list<LONG> value,
                           const CVariant& mask)
{
    EXPECT_EQ(TryWrite(device, address, length, value, mask), S_OK) << TakeErrorDescription().c_str();
}

HRESULT CSimulatorTest::TryWrite(LONG device, LONG address, LONG length, std::initializer_list<LONG> value,
                                 const CVariant& mask)
{
    return m_server->WriteRegister(device, address, length, MakeVariantArray(value).Get(), mask.Get(), 0);
}

CRegisterEntry CSimulatorTest::FindRegister(LONG device, const std::wstring& name)
{
    const CRegisterList list = GetRegisters(m_server.Get(), device);
    for (std::size_t i = 0; i < list.names.size(); ++i)
        if (list.names[i] == name)
            return {list.addresses.at(i), list.lengths.at(i), list.operations.at(i)};
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
