#pragma once
// Reading the two register text files: splitting bytes into lines and scanning
// a line as "%X|%X|%X|%s" or "%X|%s". Our own scanner rather than sscanf, so
// that overlong fields behave the same with every C runtime.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace LineScanner {

// The longest line text (without its LF) that the readers take.
inline constexpr std::size_t MAX_LINE_LENGTH = 16383;
// The longest scanned word: 259 characters, as a "%s" into 260 bytes.
inline constexpr std::size_t MAX_WORD_LENGTH = 259;

struct Line
{
    std::string_view text; // without the LF; a CR before it stays; empty when too long
    bool tooLong = false;  // the line exceeded MAX_LINE_LENGTH; all of it, up to its LF, is consumed
};

// Takes the next line off the front of rest; none when rest is empty. The last
// line need not end in LF.
std::optional<Line> NextLine(std::string_view& rest);

enum class ScanResult
{
    Matched,     // every field was given
    NotMatched,  // fewer fields: the line is not a data line
    WordTooLong, // the numbers matched but the word exceeds MAX_WORD_LENGTH
};

struct UserRegisterFields
{
    std::uint32_t deviceId = 0;
    std::uint32_t address = 0;
    std::uint32_t length = 0;
    std::string_view word; // points into the scanned line
};

struct SelectionFields
{
    std::uint32_t deviceId = 0;
    std::string_view word;
};

// "%X|%X|%X|%s": a user register line.
ScanResult ScanUserRegisterLine(std::string_view line, UserRegisterFields& fields);

// "%X|%s": a selection line.
ScanResult ScanSelectionLine(std::string_view line, SelectionFields& fields);

// "%X": uppercase hexadecimal without leading zeros or prefix.
std::string FormatHex(std::uint32_t value);

} // namespace LineScanner
