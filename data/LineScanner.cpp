#include "data/LineScanner.h"
#include "platform/HexDigit.h"

namespace LineScanner {

namespace {

// White space as the C locale's isspace sees it; bytes above 127 are not.
bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Walks one line the way the scanf family walks its input.
class CCursor
{
public:
    // A NUL ends the text a C scanner would see.
    explicit CCursor(std::string_view line) : m_text(line.substr(0, line.find('\0'))) {}

    void SkipSpace()
    {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos]))
            ++m_pos;
    }

    // "%X": the value is kept modulo 2^32, so "FFFFFFFF" is -1 as a signed ID.
    bool ScanHex(std::uint32_t& value)
    {
        SkipSpace();
        if (m_pos + 2 < m_text.size() && m_text[m_pos] == '0' &&
            (m_text[m_pos + 1] == 'x' || m_text[m_pos + 1] == 'X') && GetHexDigitValue(m_text[m_pos + 2]) >= 0)
            m_pos += 2;
        if (m_pos >= m_text.size() || GetHexDigitValue(m_text[m_pos]) < 0)
            return false;
        value = 0;
        while (m_pos < m_text.size() && GetHexDigitValue(m_text[m_pos]) >= 0)
            value = value * 16u + static_cast<std::uint32_t>(GetHexDigitValue(m_text[m_pos++]));
        return true;
    }

    // A literal character of the format matches only itself, with no skipping.
    bool ScanLiteral(char c)
    {
        if (m_pos >= m_text.size() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }

    // "%s": a word up to the first white space.
    ScanResult ScanWord(std::string_view& word)
    {
        SkipSpace();
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && !IsSpace(m_text[m_pos]))
            ++m_pos;
        if (m_pos == start)
            return ScanResult::NotMatched;
        if (m_pos - start > MAX_WORD_LENGTH)
            return ScanResult::WordTooLong;
        word = m_text.substr(start, m_pos - start);
        return ScanResult::Matched;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

std::optional<Line> NextLine(std::string_view& rest)
{
    if (rest.empty())
        return std::nullopt;
    const std::size_t end = rest.find('\n');
    const std::size_t length = end == std::string_view::npos ? rest.size() : end;
    Line line;
    if (length > MAX_LINE_LENGTH)
        line.tooLong = true;
    else
        line.text = rest.substr(0, length);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return line;
}

ScanResult ScanUserRegisterLine(std::string_view line, UserRegisterFields& fields)
{
    CCursor cursor(line);
    if (!cursor.ScanHex(fields.deviceId) || !cursor.ScanLiteral('|') || !cursor.ScanHex(fields.address) ||
        !cursor.ScanLiteral('|') || !cursor.ScanHex(fields.length) || !cursor.ScanLiteral('|'))
        return ScanResult::NotMatched;
    return cursor.ScanWord(fields.word);
}

ScanResult ScanSelectionLine(std::string_view line, SelectionFields& fields)
{
    CCursor cursor(line);
    if (!cursor.ScanHex(fields.deviceId) || !cursor.ScanLiteral('|'))
        return ScanResult::NotMatched;
    return cursor.ScanWord(fields.word);
}

std::string FormatHex(std::uint32_t value)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    do
    {
        text.insert(text.begin(), digits[value % 16u]);
        value /= 16u;
    } while (value != 0);
    return text;
}

} // namespace LineScanner
