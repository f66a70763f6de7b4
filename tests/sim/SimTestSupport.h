#pragma once
// The simulator as its clients meet it: created through COM in a
// single-threaded apartment, driven through the server interface and the
// control interface, values as VARIANT arrays.

#include "frame/com/ComObject.h"
#include "frame/com/ComPtr.h"
#include "frame/com/SafeArray.h"
#include "frame/com/Variant.h"
#include "sim/ResultCodes.h"

#include "VexilSim.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Arrays as the control sends them: masks of I4, values of VARIANTs.
CVariant MakeI4Array(const std::vector<LONG>& words);
CVariant MakeVariantArray(const std::vector<LONG>& words);
// A mask of all ones for a length.
CVariant MakeFullMask(int length);

// The elements of an array of I4 (the normal read shape); fails the test otherwise.
std::vector<LONG> GetI4Elements(const VARIANT& value);
// The elements of an array of BSTR; fails the test otherwise.
std::vector<std::wstring> GetStrings(const VARIANT& value);

// The description of the thread's error object, taken from it.
std::wstring TakeErrorDescription();
std::string Narrow(const std::wstring& text);

struct CRegisterEntry
{
    LONG address = 0;
    LONG length = 0;
};

// What GetDevices and GetRegisters report.
struct CDeviceList
{
    std::vector<std::wstring> names;
    std::vector<LONG> ids;
};
struct CRegisterList
{
    std::vector<std::wstring> names, paths;
    std::vector<LONG> addresses, lengths, operations;
    LONG userFlag = -1;
};
CDeviceList GetDevices(IVexilFN* server);
CRegisterList GetRegisters(IVexilFN* server, LONG device);

// What the details interface reports of a register's fields.
struct CFieldList
{
    std::vector<std::wstring> names, accesses, descriptions;
    std::vector<LONG> lowBits, widths;
};
CFieldList GetFields(IVexilFNDetails* details, LONG device, const wchar_t* name);
// "value/mask name (description)" per enumerated value of a field.
std::vector<std::wstring> GetFieldValues(IVexilFNDetails* details, LONG device, const wchar_t* name, LONG field);
// "REGISTER: effect" per register that a read changes.
std::vector<std::wstring> GetReadEffects(IVexilFNDetails* details, LONG device);

// A sink of a server's events that records the states it is given.
class CStateSink final : public CComObjectImpl<CStateSink, _IVexilFNEvents>
{
public:
    using Interfaces = CInterfaceMap<Entry<_IVexilFNEvents>, Entry<IDispatch, _IVexilFNEvents>>;

    std::vector<LONG> states;
    std::function<void()> onEvent; // runs inside the event

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) override;
};

// A register server created through COM in a single-threaded apartment and
// driven through its server interface; masks left empty are all ones.
class CRegisterServerTest : public testing::Test
{
protected:
    explicit CRegisterServerTest(const CLSID& clsid) : m_clsid(clsid) {}
    void SetUp() override;
    void TearDown() override;

    std::vector<LONG> Read(LONG device, LONG address, LONG length, const CVariant& mask = {});
    HRESULT TryRead(LONG device, LONG address, LONG length, CVariant& value, const CVariant& mask = {});
    void Write(LONG device, LONG address, LONG length, const std::vector<LONG>& value, const CVariant& mask = {});
    HRESULT TryWrite(LONG device, LONG address, LONG length, const std::vector<LONG>& value, const CVariant& mask = {});
    LONG GetState();

    CComPtr<IVexilFN> m_server;

private:
    CLSID m_clsid;
    bool m_initialized = false;
};

class CSimulatorTest : public CRegisterServerTest
{
protected:
    CSimulatorTest() : CRegisterServerTest(CLSID_VexilSim) {}
    void SetUp() override;
    void TearDown() override;

    // A register of the served description, by device and name.
    CRegisterEntry FindRegister(LONG device, const std::wstring& name);
    // Loads a description written to a file of the test's own.
    HRESULT LoadDescriptionText(const std::string& text);

    CComPtr<IVexilSimControl> m_control;
};
