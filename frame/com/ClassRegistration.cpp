#include "frame/com/ClassRegistration.h"

#include "frame/com/ComPtr.h"
#include "frame/com/Module.h"

#include <oleauto.h>
#include <olectl.h>

namespace {

class CRegKey
{
public:
    CRegKey() = default;
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    ~CRegKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }

    LSTATUS Create(HKEY parent, const std::wstring& path)
    {
        return RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &m_key, nullptr);
    }
    LSTATUS Open(HKEY parent, const std::wstring& path)
    {
        return RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &m_key);
    }
    // A string value; the empty name is the key's default value.
    LSTATUS SetString(const wchar_t* name, const std::wstring& value) const
    {
        return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

private:
    HKEY m_key = nullptr;
};

// Writes a key with its default value and, optionally, one named value.
bool WriteKey(const std::wstring& path, const std::wstring& value, const wchar_t* name = nullptr,
              const std::wstring& namedValue = {})
{
    CRegKey key;
    return key.Create(HKEY_CLASSES_ROOT, path) == ERROR_SUCCESS && key.SetString(nullptr, value) == ERROR_SUCCESS &&
           (!name || key.SetString(name, namedValue) == ERROR_SUCCESS);
}

HRESULT WriteClassKeys(const CClassRegistration& r)
{
    using ClassRegistration::FormatGuid;
    const std::wstring clsid = L"CLSID\\" + FormatGuid(r.ClassId);
    const std::wstring module = Module::GetFileName();
    if (module.empty())
        return SELFREG_E_CLASS;
    const bool written =
        WriteKey(clsid, r.Description) &&
        WriteKey(clsid + L"\\InprocServer32", module, L"ThreadingModel", L"Apartment") &&
        WriteKey(clsid + L"\\ProgID", r.ProgId) && WriteKey(clsid + L"\\VersionIndependentProgID", r.IndependentProgId) &&
        WriteKey(clsid + L"\\TypeLib", FormatGuid(r.LibraryId)) && WriteKey(r.ProgId, r.Description) &&
        WriteKey(r.ProgId + L"\\CLSID", FormatGuid(r.ClassId)) && WriteKey(r.IndependentProgId, r.Description) &&
        WriteKey(r.IndependentProgId + L"\\CLSID", FormatGuid(r.ClassId)) &&
        WriteKey(r.IndependentProgId + L"\\CurVer", r.ProgId);
    return written ? S_OK : SELFREG_E_CLASS;
}

HRESULT RegisterTypeLibrary()
{
    CComPtr<ITypeLib> library;
    std::wstring module = Module::GetFileName();
    if (FAILED(LoadTypeLibEx(module.c_str(), REGKIND_NONE, library.Out())))
        return SELFREG_E_TYPELIB;
    return SUCCEEDED(RegisterTypeLib(library.Get(), module.data(), nullptr)) ? S_OK : SELFREG_E_TYPELIB;
}

} // namespace

namespace ClassRegistration {

std::wstring FormatGuid(REFGUID guid)
{
    std::wstring text(39, L'\0');
    const int length = StringFromGUID2(guid, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return text;
}

HRESULT Register(const CClassRegistration& registration)
{
    HRESULT hr = WriteClassKeys(registration);
    if (SUCCEEDED(hr))
        hr = RegisterTypeLibrary();
    if (FAILED(hr))
        Unregister(registration); // no half registration stays behind
    return hr;
}

HRESULT Unregister(const CClassRegistration& registration)
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + FormatGuid(registration.ClassId)).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, registration.ProgId.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, registration.IndependentProgId.c_str());
    const HRESULT hr = UnRegisterTypeLib(registration.LibraryId, 1, 0, LOCALE_NEUTRAL, ClassRegistration::MODULE_SYSKIND);
    // Wine answers E_INVALIDARG for a library that is not registered: what counts is that it is gone.
    CRegKey library;
    const bool gone =
        library.Open(HKEY_CLASSES_ROOT, L"TypeLib\\" + FormatGuid(registration.LibraryId) + L"\\1.0") != ERROR_SUCCESS;
    return SUCCEEDED(hr) || gone ? S_OK : SELFREG_E_TYPELIB;
}

} // namespace ClassRegistration
