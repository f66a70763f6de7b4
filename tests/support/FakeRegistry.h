#pragma once
// An in-memory registry for the registrar's tests: keys and value names are
// compared without regard to case, as the system's registry does.

#include "frame/registrar/Registrar.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <string>

class CFakeRegistry final : public IRegistryAccess
{
public:
    long CreateKey(const std::string& root, const std::string& path) override
    {
        if (m_failOn && Lower(path).find(Lower(*m_failOn)) != std::string::npos)
            return 5; // ERROR_ACCESS_DENIED
        // Every key on the way is made too.
        for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1))
        {
            m_keys.insert(Full(root, path.substr(0, end)));
            if (end == std::string::npos)
                return 0;
        }
    }
    long SetValue(const std::string& root, const std::string& path, const std::string& name,
                  const RegistryScript::CValue& value) override
    {
        m_values[Full(root, path) + "|" + Lower(name)] = value.Kind == RegistryScript::CValue::Type::String
                                                             ? value.Text
                                                             : std::to_string(value.Number);
        return 0;
    }
    long DeleteTree(const std::string& root, const std::string& path) override
    {
        const std::string key = Full(root, path);
        std::erase_if(m_keys, [&](const std::string& k) { return k == key || k.starts_with(key + "\\"); });
        std::erase_if(m_values, [&](const auto& v) { return v.first.starts_with(key + "|") || v.first.starts_with(key + "\\"); });
        return 0;
    }

    bool HasKey(const std::string& root, const std::string& path) const { return m_keys.contains(Full(root, path)); }
    // The value's text, or "<none>".
    std::string GetValue(const std::string& root, const std::string& path, const std::string& name = "") const
    {
        const auto found = m_values.find(Full(root, path) + "|" + Lower(name));
        return found == m_values.end() ? "<none>" : found->second;
    }
    // Every key whose path contains the text fails to be created.
    void FailOn(std::string text) { m_failOn = std::move(text); }

private:
    static std::string Lower(std::string text)
    {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    }
    static std::string Full(const std::string& root, const std::string& path) { return Lower(root + "\\" + path); }

    std::set<std::string> m_keys;
    std::map<std::string, std::string> m_values;
    std::optional<std::string> m_failOn;
};
