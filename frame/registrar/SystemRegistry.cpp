#include "frame/registrar/SystemRegistry.h"

#include <windows.h>

#include <cctype>
#include <string>

namespace {

constexpr long UNKNOWN_ROOT = ERROR_INVALID_PARAMETER;

HKEY FindRoot(const std::string& name)
{
    std::string upper;
    for (const char c : name)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "HKCR" || upper == "HKEY_CLASSES_ROOT")
        return HKEY_CLASSES_ROOT;
    if (upper == "HKLM" || upper == "HKEY_LOCAL_MACHINE")
        return HKEY_LOCAL_MACHINE;
    if (upper == "HKCU" || upper == "HKEY_CURRENT_USER")
        return HKEY_CURRENT_USER;
    if (upper == "HKU" || upper == "HKEY_USERS")
        return HKEY_USERS;
    return nullptr;
}

class CKey
{
public:
    CKey() = default;
    CKey(const CKey&) = delete;
    CKey& operator=(const CKey&) = delete;
    ~CKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// Key paths, names and texts of the script are UTF-8; the registry is wide.
std::wstring Widen(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

} // namespace

long CSystemRegistry::CreateKey(const std::string& root, const std::string& path)
{
    HKEY base = FindRoot(root);
    if (!base)
        return UNKNOWN_ROOT;
    CKey key;
    return RegCreateKeyExW(base, Widen(path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Out(), nullptr);
}

long CSystemRegistry::SetValue(const std::string& root, const std::string& path, const std::string& name,
                               const RegistryScript::CValue& value)
{
    HKEY base = FindRoot(root);
    if (!base)
        return UNKNOWN_ROOT;
    CKey key;
    if (const LONG status = RegOpenKeyExW(base, Widen(path).c_str(), 0, KEY_SET_VALUE, key.Out()))
        return status;
    const std::wstring wideName = Widen(name);
    const wchar_t* valueName = name.empty() ? nullptr : wideName.c_str();
    if (value.Kind == RegistryScript::CValue::Type::Dword)
    {
        const DWORD number = value.Number;
        return RegSetValueExW(key.Get(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
    const std::wstring text = Widen(value.Text);
    return RegSetValueExW(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

long CSystemRegistry::DeleteTree(const std::string& root, const std::string& path)
{
    HKEY base = FindRoot(root);
    if (!base)
        return UNKNOWN_ROOT;
    const LONG status = RegDeleteTreeW(base, Widen(path).c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}
