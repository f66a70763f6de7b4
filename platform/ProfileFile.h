#pragma once
// Our own implementation of the private profile (ini) functions for platforms
// that lack them. It keeps the file format and the semantics of the system's
// functions as far as the component uses them: sections and keys compared
// without regard to case, names and values trimmed of surrounding white space,
// a quoted value unquoted, "\r\n" line ends, deletion of a key or a section,
// and the file written back whole on every change. The keys before the first
// section header form the section "".

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class CProfileFile
{
public:
    struct CKey
    {
        std::string Name;
        std::optional<std::string> Value; // none for a line without '='
    };
    struct CSection
    {
        std::string Name; // empty for the keys before the first section header
        std::vector<CKey> Keys;
    };

    // Parses the bytes of an ini file.
    static CProfileFile Parse(const std::string& bytes);
    // The bytes the system writes for this content.
    std::string Format() const;

    const std::vector<CSection>& GetSections() const { return m_sections; }

    // The value of a key, or none when the section or the key (with a value) is missing.
    std::optional<std::string> FindValue(const std::string& section, const std::string& key) const;
    // Sets a value, creating section and key as needed; false when nothing changed.
    bool SetValue(const std::string& section, const std::string& key, const std::string& value);
    // Deletes the first section of that name; false when there was none.
    bool DeleteSection(const std::string& section);
    // Deletes the key from the first section of that name that has it.
    bool DeleteKey(const std::string& section, const std::string& key);

private:
    std::vector<CSection> m_sections;
};
