#include "data/ProfileUpdate.h"

#include "platform/Platform.h"
#include "platform/ProfileCopy.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace {

constexpr std::size_t READ_BUFFER = 65536;
constexpr const char* ABSENT = "\x01" "absent" "\x01";

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1a; }

std::string Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

// Names as the profile functions match them: trimmed, A to Z without case.
bool SameName(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const std::string x = Trim(a);
    const std::string y = Trim(b);
    return std::ranges::equal(x, y, [&](char p, char q) { return lower(p) == lower(q); });
}

} // namespace

CProfileUpdate::CProfileUpdate(std::string file) : m_file(std::move(file)), m_target(m_file + ".tmp-ini")
{
    std::optional<std::string> bytes = Platform::ReadFileBytes(m_file);
    // A file that exists but cannot be read must not be replaced by one
    // that holds only the new keys.
    const std::optional<std::string> dump = Platform::DumpProfile(m_file);
    if ((!bytes && Platform::PathExists(m_file)) || !dump)
    {
        m_failed = true;
        return;
    }
    // Every key the file has now must still be there afterwards.
    std::string section;
    std::string_view rest = *dump;
    while (!rest.empty())
    {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.size() > 1 && line.front() == '[' && line.back() == ']')
            section = std::string(line.substr(1, line.size() - 2));
        else if (const std::size_t equals = line.find('='); equals != std::string_view::npos)
            Expect(section, std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
    }
    switch (Platform::WriteNewFile(m_target, bytes.value_or(std::string())))
    {
    case Platform::WriteOutcome::Written:
        return;
    case Platform::WriteOutcome::CannotCreate:
        m_target = m_file;
        m_oldBytes = std::move(bytes);
        return;
    case Platform::WriteOutcome::Failed:
        m_failed = true;
        Platform::RemoveFile(m_target);
        return;
    }
}

CProfileUpdate::~CProfileUpdate()
{
    if (!m_done)
        Abandon();
}

void CProfileUpdate::Expect(const std::string& section, const std::optional<std::string>& key,
                            const std::optional<std::string>& value)
{
    for (CEntry& entry : m_expected)
        if (SameName(entry.Section, section) && (!key || SameName(entry.Key, *key)))
            entry.Value = key ? value : std::nullopt;
    if (key && std::ranges::none_of(m_expected, [&](const CEntry& entry) {
            return SameName(entry.Section, section) && SameName(entry.Key, *key);
        }))
        m_expected.push_back({section, *key, value});
}

bool CProfileUpdate::Write(const char* section, const char* key, const char* value)
{
    if (m_failed)
        return false;
    if (!Platform::WriteProfileString(section, key, value, m_target))
        m_failed = true;
    else if (section)
        Expect(section, key ? std::optional<std::string>(key) : std::nullopt,
               value ? std::optional<std::string>(value) : std::nullopt);
    return !m_failed;
}

bool CProfileUpdate::ReadsBackAsExpected() const
{
    return std::ranges::all_of(m_expected, [this](const CEntry& entry) {
        const std::string read = Platform::ReadProfileString(entry.Section.c_str(), entry.Key.c_str(), ABSENT,
                                                             READ_BUFFER, m_target);
        return entry.Value ? read == CopyProfileEntry(Trim(*entry.Value), READ_BUFFER) : read == ABSENT;
    });
}

bool CProfileUpdate::Commit()
{
    m_done = true;
    if (!m_failed)
    {
        // From the disk, not from what the profile functions hold in memory.
        Platform::ReleaseProfile(m_target);
        if (ReadsBackAsExpected() && (m_target == m_file || Platform::MoveFileOver(m_target, m_file)))
            return true;
    }
    Abandon();
    return false;
}

void CProfileUpdate::Abandon()
{
    m_done = true;
    Platform::ReleaseProfile(m_target);
    if (m_target != m_file)
        Platform::RemoveFile(m_target);
    else if (m_oldBytes)
        Platform::OverwriteFile(m_file, *m_oldBytes);
}
