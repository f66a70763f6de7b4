#include "frame/registrar/RegistryScript.h"

#include <cctype>
#include <charconv>

namespace RegistryScript {

namespace {

class CParser
{
public:
    explicit CParser(const std::string& text) : m_text(text) {}

    std::optional<CScript> ParseScript(std::string& error)
    {
        CScript script;
        while (SkipSpace())
        {
            CRoot root;
            if (!ReadName(root.Name) || !Expect('{') || !ParseKeys(root.Keys))
                return Fail(error);
            script.Roots.push_back(std::move(root));
        }
        return script;
    }

private:
    std::nullopt_t Fail(std::string& error)
    {
        error = "line " + std::to_string(Line()) + ": " + (m_error.empty() ? "syntax error" : m_error);
        return std::nullopt;
    }

    int Line() const
    {
        int line = 1;
        for (std::size_t i = 0; i < m_at && i < m_text.size(); ++i)
            line += m_text[i] == '\n';
        return line;
    }

    // Skips white space; false at the end of the text.
    bool SkipSpace()
    {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
        return m_at < m_text.size();
    }

    // A brace stands alone: "{1111-...}" is a name (a class identifier), "{" opens a block.
    bool Peek(char c)
    {
        if (!SkipSpace() || m_text[m_at] != c)
            return false;
        if (c != '{' && c != '}')
            return true;
        return m_at + 1 == m_text.size() || std::isspace(static_cast<unsigned char>(m_text[m_at + 1])) ||
               m_text[m_at + 1] == '{' || m_text[m_at + 1] == '}';
    }

    bool Expect(char c)
    {
        if (!Peek(c))
        {
            m_error = std::string("expected '") + c + "'";
            return false;
        }
        ++m_at;
        return true;
    }

    // A bare word or a quoted text.
    bool ReadName(std::string& name)
    {
        name.clear();
        if (!SkipSpace())
        {
            m_error = "unexpected end of script";
            return false;
        }
        if (m_text[m_at] == '\'')
            return ReadQuoted(name);
        while (m_at < m_text.size() && !std::isspace(static_cast<unsigned char>(m_text[m_at])) &&
               m_text[m_at] != '=' && m_text[m_at] != '\'')
            name += m_text[m_at++];
        if (name.empty())
            m_error = "expected a name";
        return !name.empty();
    }

    bool ReadQuoted(std::string& text)
    {
        ++m_at; // opening quote
        for (;;)
        {
            if (m_at >= m_text.size())
            {
                m_error = "unterminated text";
                return false;
            }
            const char c = m_text[m_at++];
            if (c != '\'')
                text += c;
            else if (m_at < m_text.size() && m_text[m_at] == '\'')
            {
                text += '\'';
                ++m_at;
            }
            else
                return true;
        }
    }

    bool ParseValue(CValue& value)
    {
        std::string type;
        if (!ReadName(type))
            return false;
        if (type == "s")
        {
            value.Kind = CValue::Type::String;
            if (!Peek('\''))
            {
                m_error = "expected a quoted text";
                return false;
            }
            return ReadQuoted(value.Text);
        }
        if (type == "d")
        {
            value.Kind = CValue::Type::Dword;
            std::string number;
            if (!ReadName(number))
                return false;
            const auto [end, code] = std::from_chars(number.data(), number.data() + number.size(), value.Number);
            if (code != std::errc() || end != number.data() + number.size())
            {
                m_error = "expected a number";
                return false;
            }
            return true;
        }
        m_error = "unknown value type '" + type + "'";
        return false;
    }

    // Keys and named values up to the closing brace.
    bool ParseKeys(std::vector<CKey>& keys, std::vector<std::pair<std::string, CValue>>* values = nullptr)
    {
        while (!Peek('}'))
        {
            if (!SkipSpace())
            {
                m_error = "missing '}'";
                return false;
            }
            std::string word;
            const bool quoted = m_text[m_at] == '\'';
            if (!ReadName(word))
                return false;
            if (!quoted && word == "val")
            {
                std::pair<std::string, CValue> named;
                if (!values)
                {
                    m_error = "a value needs a key";
                    return false;
                }
                if (!ReadName(named.first) || !Expect('=') || !ParseValue(named.second))
                    return false;
                values->push_back(std::move(named));
                continue;
            }
            CKey key;
            while (!quoted && (word == "NoRemove" || word == "ForceRemove"))
            {
                (word == "NoRemove" ? key.NoRemove : key.ForceRemove) = true;
                if (!ReadName(word))
                    return false;
            }
            key.Name = word;
            if (Peek('='))
            {
                ++m_at;
                CValue value;
                if (!ParseValue(value))
                    return false;
                key.Default = std::move(value);
            }
            if (Peek('{'))
            {
                ++m_at;
                if (!ParseKeys(key.Keys, &key.Values))
                    return false;
            }
            keys.push_back(std::move(key));
        }
        ++m_at; // closing brace
        return true;
    }

    const std::string& m_text;
    std::size_t m_at = 0;
    std::string m_error;
};

} // namespace

bool Substitute(const std::string& text, const std::map<std::string, std::string>& replacements,
                std::string& result)
{
    result.clear();
    for (std::size_t at = 0; at < text.size();)
    {
        if (text[at] != '%')
        {
            result += text[at++];
            continue;
        }
        const std::size_t end = text.find('%', at + 1);
        if (end == std::string::npos)
            return false;
        const std::string name = text.substr(at + 1, end - at - 1);
        if (name.empty())
            result += '%';
        else if (const auto found = replacements.find(name); found != replacements.end())
            result += found->second;
        else
            return false;
        at = end + 1;
    }
    return true;
}

std::optional<CScript> Parse(const std::string& text, std::string& error)
{
    return CParser(text).ParseScript(error);
}

} // namespace RegistryScript
