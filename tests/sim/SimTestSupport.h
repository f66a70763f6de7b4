#pragma once
// The simulator as its clients meet it: created through COM in a
// single-threaded apartment, driven through the server interface and the
// control interface, values as VARIANT arrays.

#include "tests/support/TestDirectory.h"

#include "frame/com/AnsiText.h"
#include "frame/com/BStr.h"
#include "frame/com/ComObject.h"
#include "frame/com/ComPtr.h"
#include "frame/com/ErrorInfo.h"
#include "frame/com/SafeArray.h"
#include "frame/com/Variant.h"
#include "sim/ResultCodes.h"

#include "VexilSim.h"

#include <ocidl.h>
#include <oleauto.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Arrays as the control sends them: masks of I4, values of VARIANTs.
inline CVariant MakeI4Array(const std::vector<LONG>& words) { return CVariant(CSafeArray::MakeI4(words)); }

inline CVariant MakeVariantArray(const std::vector<LONG>& words)
{
    const std::vector<CVariant> elements(words.begin(), words.end());
    return CVariant(CSafeArray::MakeVariant(elements));
}

// A mask of all ones for a length.
inline CVariant MakeFullMask(int length)
{
    std::vector<LONG> words(static_cast<std::size_t>((length + 31) / 32), -1);
    if (length % 32 != 0)
        words.back() = static_cast<LONG>((1u << (length % 32)) - 1u);
    return CVariant(CSafeArray::MakeI4(words));
}

// The elements of an array of I4 (the normal read shape); fails the test otherwise.
inline std::vector<LONG> GetI4Elements(const VARIANT& value)
{
    EXPECT_EQ(V_VT(&value), VT_ARRAY | VT_I4);
    CSafeArrayData<LONG> data(V_VT(&value) == (VT_ARRAY | VT_I4) ? V_ARRAY(&value) : nullptr);
    return {data.GetElements().begin(), data.GetElements().end()};
}

using AnsiText::Narrow;
using ErrorInfo::TakeDescription;

// The arrays of one call as one "a|b|c" text per element: element i of each
// array in turn, numbers in decimal; an array that holds no strings must hold numbers.
inline std::vector<std::wstring> JoinColumns(std::initializer_list<const CVariant*> columns)
{
    std::vector<std::wstring> rows;
    for (const CVariant* column : columns)
    {
        std::vector<std::wstring> texts;
        if (column->GetType() == (VT_ARRAY | VT_BSTR))
        {
            CSafeArrayData<BSTR> strings(V_ARRAY(&column->Get()));
            for (BSTR text : strings.GetElements())
                texts.emplace_back(text ? text : L"");
        }
        else
            for (LONG number : GetI4Elements(column->Get()))
                texts.push_back(std::to_wstring(number));
        rows.resize(std::max(rows.size(), texts.size()));
        for (std::size_t i = 0; i < texts.size(); ++i)
            rows[i] += (column == *columns.begin() ? L"" : L"|") + texts[i];
    }
    return rows;
}

// "id|name" per device.
inline std::vector<std::wstring> GetDevices(IVexilFN* server)
{
    CVariant names, ids;
    EXPECT_EQ(server->GetDevices(names.Out(), ids.Out()), S_OK);
    return JoinColumns({&ids, &names});
}

// "name|address|length|operations|path" per register.
inline std::vector<std::wstring> GetRegisters(IVexilFN* server, LONG device, LONG* userFlag = nullptr)
{
    CVariant names, addresses, lengths, operations, paths, numbers, extras;
    LONG flag = -1;
    EXPECT_EQ(server->GetRegisters(device, names.Out(), addresses.Out(), lengths.Out(), operations.Out(), paths.Out(),
                                   numbers.Out(), extras.Out(), userFlag ? userFlag : &flag),
              S_OK);
    return JoinColumns({&names, &addresses, &lengths, &operations, &paths});
}

// "name|low bit|width|access|description" per field of a register.
inline std::vector<std::wstring> GetFields(IVexilFNDetails* details, LONG device, const wchar_t* name)
{
    CVariant names, lowBits, widths, accesses, descriptions;
    EXPECT_EQ(details->GetFields(device, CBStr(name).Get(), names.Out(), lowBits.Out(), widths.Out(), accesses.Out(),
                                 descriptions.Out()),
              S_OK);
    return JoinColumns({&names, &lowBits, &widths, &accesses, &descriptions});
}

// "value|mask|name|description" per enumerated value of a field.
inline std::vector<std::wstring> GetFieldValues(IVexilFNDetails* details, LONG device, const wchar_t* name,
                                                LONG field)
{
    CVariant values, masks, names, descriptions;
    EXPECT_EQ(details->GetFieldValues(device, CBStr(name).Get(), field, values.Out(), masks.Out(), names.Out(),
                                      descriptions.Out()),
              S_OK);
    return JoinColumns({&values, &masks, &names, &descriptions});
}

// "register|effect" per register that a read changes.
inline std::vector<std::wstring> GetReadEffects(IVexilFNDetails* details, LONG device)
{
    CVariant names, effects;
    EXPECT_EQ(details->GetReadEffects(device, names.Out(), effects.Out()), S_OK);
    return JoinColumns({&names, &effects});
}

// A sink of a server's events that records the states it is given.
class CStateSink final : public CComObjectImpl<CStateSink, _IVexilFNEvents>
{
public:
    using Interfaces = CInterfaceMap<Entry<_IVexilFNEvents>, Entry<IDispatch, _IVexilFNEvents>>;

    std::vector<LONG> states;
    std::function<void()> onEvent; // runs inside the event

    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (id != 1 || parameters->cArgs != 1 || V_VT(&parameters->rgvarg[0]) != VT_I4)
            return DISP_E_MEMBERNOTFOUND;
        states.push_back(V_I4(&parameters->rgvarg[0]));
        if (onEvent)
            onEvent();
        return S_OK;
    }
};

// A register server created through COM in a single-threaded apartment and
// driven through its server interface and its control interface; masks left
// empty are all ones.
template <class TControl, const CLSID& clsid>
class CRegisterServerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        m_initialized = true;
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVexilFN, m_server.OutVoid()), S_OK)
            << "is the server's DLL registered?";
        ASSERT_EQ(m_server.QueryInterface(m_control), S_OK);
    }
    void TearDown() override
    {
        m_control.Reset();
        m_server.Reset();
        if (m_initialized)
            CoUninitialize();
    }

    std::vector<LONG> Read(LONG device, LONG address, LONG length, const CVariant& mask = {})
    {
        CVariant value;
        EXPECT_EQ(TryRead(device, address, length, value, mask), S_OK) << Narrow(TakeDescription());
        return GetI4Elements(value.Get());
    }
    HRESULT TryRead(LONG device, LONG address, LONG length, CVariant& value, const CVariant& mask = {})
    {
        return m_server->ReadRegister(device, address, length, value.Out(), MaskFor(mask, length).Get(), 0);
    }
    void Write(LONG device, LONG address, LONG length, const std::vector<LONG>& value, const CVariant& mask = {})
    {
        EXPECT_EQ(TryWrite(device, address, length, value, mask), S_OK) << Narrow(TakeDescription());
    }
    HRESULT TryWrite(LONG device, LONG address, LONG length, const std::vector<LONG>& value, const CVariant& mask = {})
    {
        return m_server->WriteRegister(device, address, length, MakeVariantArray(value).Get(),
                                       MaskFor(mask, length).Get(), 0);
    }
    // The mask as sent: an empty one is all ones.
    static CVariant MaskFor(const CVariant& mask, LONG length)
    {
        return mask.GetType() == VT_EMPTY ? MakeFullMask(length) : mask;
    }
    LONG GetState()
    {
        LONG state = -1;
        EXPECT_EQ(m_server->GetServerState(&state), S_OK);
        return state;
    }
    // The server's connection point of state events.
    CComPtr<IConnectionPoint> FindEventPoint()
    {
        CComPtr<IConnectionPointContainer> container;
        EXPECT_EQ(m_server.QueryInterface(container), S_OK);
        CComPtr<IConnectionPoint> point;
        if (container)
        {
            EXPECT_EQ(container->FindConnectionPoint(DIID__IVexilFNEvents, point.Out()), S_OK);
        }
        return point;
    }
    // Loads a description written to a file of the test's own.
    HRESULT LoadDescription(const std::string& name, const std::string& text)
    {
        m_directory.WriteFile(name, text);
        const std::string path = m_directory.GetFile(name);
        return m_control->LoadDescription(CBStr(std::wstring(path.begin(), path.end())).Get());
    }

    CTestDirectory m_directory;
    CComPtr<IVexilFN> m_server;
    CComPtr<TControl> m_control;

private:
    bool m_initialized = false;
};

struct CRegisterEntry
{
    LONG address = 0;
    LONG length = 0;
};

class CSimulatorTest : public CRegisterServerTest<IVexilSimControl, CLSID_VexilSim>
{
protected:
    // A register of the served description, by device and name.
    CRegisterEntry FindRegister(LONG device, const std::wstring& name)
    {
        CRegisterEntry entry;
        for (const std::wstring& row : GetRegisters(m_server.Get(), device))
        {
            if (row.starts_with(name + L"|") &&
                std::swscanf(row.c_str() + name.size() + 1, L"%ld|%ld", &entry.address, &entry.length) == 2)
                return entry;
        }
        ADD_FAILURE() << "no register " << Narrow(name) << " in device " << device;
        return {};
    }
};
