#include "platform/ProfileFile.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

// CR and ^Z count as white space in ini files, as in the system's reader.
bool IsProfileSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0 || c == '\r' || c == 0x1a;
}

std::string_view TrimLeft(std::string_view text)
{
    while (!text.empty() && IsProfileSpace(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view TrimRight(std::string_view text)
{
    while (!text.empty() && IsProfileSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

CProfileFile CProfileFile::Parse(const std::string& bytes)
{
    CProfileFile file;
    file.m_sections.push_back({});
    std::string_view rest(bytes);
    while (!rest.empty())
    {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);

        line = Trim(line);
        if (line.empty())
            continue;
        if (line.front() == '[')
        {
            const auto close = line.rfind(']');
            if (close != std::string_view::npos)
            {
                file.m_sections.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
                continue;
            }
        }
        CKey key;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            key.Name = std::string(line);
        else
        {
            key.Name = std::string(TrimRight(line.substr(0, equals)));
            key.Value = std::string(TrimLeft(line.substr(equals + 1)));
        }
        // Runs of nameless keys collapse into one, as the system's reader does.
        auto& keys = file.m_sections.back().Keys;
        if (!key.Name.empty() || keys.empty() || !keys.back().Name.empty())
            keys.push_back(std::move(key));
    }
    return file;
}

std::string CProfileFile::Format() const
{
    std::string out;
    for (const auto& section : m_sections)
    {
        if (!section.Name.empty())
            out += "[" + section.Name + "]\r\n";
        for (const auto& key : section.Keys)
        {
            out += key.Name;
            if (key.Value)
                out += '=' + *key.Value;
            out += "\r\n";
        }
    }
    return out;
}

std::optional<std::string> CProfileFile::FindValue(const std::string& section,
                                                   const std::string& key) const
{
    const auto sectionName = Trim(section);
    const auto keyName = Trim(key);
    for (const auto& s : m_sections)
    {
        if (!EqualNoCase(s.Name, sectionName))
            continue;
        for (const auto& k : s.Keys)
            if (EqualNoCase(k.Name, keyName))
                return k.Value;
        return std::nullopt;
    }
    return std::nullopt;
}

bool CProfileFile::SetValue(const std::string& section, const std::string& key,
                            const std::string& value)
{
    const auto sectionName = Trim(section);
    const auto keyName = Trim(key);
    const std::string stored(TrimLeft(value));
    for (auto& s : m_sections)
    {
        if (!EqualNoCase(s.Name, sectionName))
            continue;
        for (auto& k : s.Keys)
            if (EqualNoCase(k.Name, keyName))
            {
                if (k.Value == stored)
                    return false;
                k.Value = stored;
                return true;
            }
        s.Keys.push_back({std::string(TrimLeft(key)), stored});
        return true;
    }
    // New names keep their trailing blanks but lose the leading ones, like the
    // system's; reading the file back trims them.
    m_sections.push_back({std::string(TrimLeft(section)), {{std::string(TrimLeft(key)), stored}}});
    return true;
}

bool CProfileFile::DeleteSection(const std::string& section)
{
    const auto name = Trim(section);
    const auto found = std::find_if(m_sections.begin(), m_sections.end(),
                                    [&](const CSection& s) { return EqualNoCase(s.Name, name); });
    if (found == m_sections.end())
        return false;
    m_sections.erase(found);
    return true;
}

bool CProfileFile::DeleteKey(const std::string& section, const std::string& key)
{
    const auto sectionName = Trim(section);
    const auto keyName = Trim(key);
    for (auto& s : m_sections)
    {
        if (!EqualNoCase(s.Name, sectionName))
            continue;
        const auto found = std::find_if(s.Keys.begin(), s.Keys.end(),
                                        [&](const CKey& k) { return EqualNoCase(k.Name, keyName); });
        if (found != s.Keys.end())
        {
            s.Keys.erase(found);
            return true;
        }
    }
    return false;
}
