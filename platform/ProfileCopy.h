#pragma once
// How the system's profile reader hands a value to the caller's buffer: a
// value in matching quotes loses them, and at most bufferSize - 1 characters
// are copied. Kept apart so the native profile functions copy exactly alike.

#include <cstddef>
#include <string>

inline std::string CopyProfileEntry(const std::string& value, std::size_t bufferSize)
{
    if (bufferSize == 0)
        return {};
    std::string text = value;
    char quote = 0;
    if (text.size() > 1 && (text.front() == '\'' || text.front() == '"') && text.back() == text.front())
    {
        quote = text.front();
        text.erase(0, 1);
    }
    const bool fits = bufferSize >= text.size();
    if (text.size() > bufferSize - 1)
        text.resize(bufferSize - 1);
    // The closing quote goes only when the whole value arrived; the reader
    // drops the last character in that case even if the copy was cut.
    if (quote && fits && !text.empty())
        text.pop_back();
    return text;
}
