#pragma once
// The simulator as its clients meet it: created through COM in a
// single-threaded apartment, driven through the server interface and the
// control interface, values as VARIANT arrays.

#include "frame/com/ComPtr.h"
#include "frame/com/SafeArray.h"
#include "frame/com/Variant.h"
#include "sim/ResultCodes.h"

#include "VexilSim.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>


// An open registry key, closed by its owner.
class CRegistryKey
{
public:
    CRegistryKey() = default;
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;
    ~CRegistryKey();
    bool Open(HKEY root, const std::wstring& path);
    bool Create(HKEY root, const std::wstring& path);
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// A loaded DLL, freed by its owner; its exports by name.
class CLibrary
{
public:
    CLibrary() = default;
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;
    ~CLibrary();
    bool Load(const std::string& path);
    template <class Function> Function Find(const char* name) const
    {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
    }

private:
    HMODULE m_module = nullptr;
};

// The built simulator DLL as Wine's programs see the build's Unix path.
std::string GetBuiltDllPath();

// Arrays as the control sends them: masks of I4, values of VARIANTs.
CVariant MakeI4Array(std::initializer_list<LONG> words);
CVariant MakeVariantArray(std::initializer_list<LONG> words);
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
    LONG operations = 0;
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

class CSimulatorTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Reads under a full mask.
    std::vector<LONG> Read(LONG device, LONG address, LONG length);
    std::vector<LONG> Read(LONG device, LONG address, LONG length, const CVariant& mask);
    HRESULT TryRead(LONG device, LONG address, LONG length, const CVariant& mask, CVariant& value);
    void Write(LONG device, LONG address, LONG length, std::initializer_list<LONG> value, const CVariant& mask);
    HRESULT TryWrite(LONG device, LONG address, LONG length, std::initializer_list<LONG> value,
                     const CVariant& mask);
    // A register of the served description, by device and name.
    CRegisterEntry FindRegister(LONG device, const std::wstring& name);
    // Loads a description written to a file of the test's own.
    HRESULT LoadDescriptionText(const std::string& text);

    CComPtr<IVexilFN> m_server;
    CComPtr<IVexilSimControl> m_control;

private:
    bool m_initialized = false;
};
