// Bit fields of a register value: extraction across words, enumerated names
// under masks, the tip's lines and their cut.
#include "data/FieldDecoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;

const Words WIDE = {0x89ABCDEF, 0x01234567, 0x76543210, 0xFEDCBA98};

TEST(FieldDecoding, ExtractTakesTheFieldsBitsFromBitZero)
{
    const struct
    {
        const char* name;
        Words value;
        int lsb;
        int width;
        Words expected;
    } rows[] = {
        {"one bit", {0x4}, 2, 1, {1}}, {"low bits only", {0xFFFFFFFF}, 0, 5, {0x1F}},
        {"whole word", {0xDEADBEEF}, 0, 32, {0xDEADBEEF}}, {"across two words", WIDE, 28, 32, {0x12345678}},
        {"across three words", WIDE, 60, 40, {0x65432100, 0x87}}, {"top of 128 bits", WIDE, 100, 28, {0xFEDCBA9}},
        {"whole value word aligned", WIDE, 0, 128, WIDE}, {"beyond the value reads zero", {0xFFFFFFFF}, 32, 8, {0}},
        {"no width", {1}, 0, 0, {}}, {"negative lsb", {1}, -1, 4, {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FieldDecoding::ExtractBits(row.value, row.lsb, row.width), row.expected) << row.name;
}

TEST(FieldDecoding, HexWordsAreReadFromTheLeastSignificantDigit)
{
    EXPECT_EQ(FieldDecoding::ParseHexWords("0x1F"), (Words{0x1F}));
    EXPECT_EQ(FieldDecoding::ParseHexWords("0X123456789"), (Words{0x23456789, 0x1}));
    EXPECT_EQ(FieldDecoding::ParseHexWords("0xabcdef"), (Words{0xABCDEF}));
    for (const char* bad : {"", "0x", "1F", "0x1G", "0x-1"})
        EXPECT_FALSE(FieldDecoding::ParseHexWords(bad)) << bad;
}

// A field is shown with its bits and its value, in decimal up to 32 bits and in hex above, named by the first
// value that matches it under that value's mask.
TEST(FieldDecoding, AFieldShowsItsBitsItsValueAndTheNameOfTheFirstMatchingValue)
{
    // Values as a server gives them: exact ones, one with a bit that does
    // not matter, and a default that stands for the rest.
    const CFieldDetail mode = {
        "MODE", 1, 3, {{{0}, {0x7}, "IDLE"}, {{0x4}, {0x4}, "HIGH"}, {{0}, {0}, "OTHER"}, {{0x1}, {0x7}, "RUN"}}};
    EXPECT_EQ(FieldDecoding::FindValueName(mode, Words{0}), "IDLE");
    EXPECT_EQ(FieldDecoding::FindValueName(mode, Words{1}), "RUN") << "the default before it does not take it";
    EXPECT_EQ(FieldDecoding::FindValueName(mode, Words{6}), "HIGH") << "only the masked bit counts";
    EXPECT_EQ(FieldDecoding::FindValueName(mode, Words{2}), "OTHER");
    EXPECT_EQ(FieldDecoding::FindValueName({"F", 0, 1, {{{1}, {1}, "ON"}}}, Words{0}), "");

    const Words value = {0xB}; // bits 3:1 = 5
    EXPECT_EQ(FieldDecoding::FormatField(mode, &value), "MODE [3:1] = 5 (HIGH)");
    EXPECT_EQ(FieldDecoding::FormatField(mode, nullptr), "MODE [3:1]");
    EXPECT_EQ(FieldDecoding::FormatField({"BIT", 31, 1, {}}, &WIDE), "BIT [31] = 1");
    EXPECT_EQ(FieldDecoding::FormatField({"FULL", 0, 32, {}}, &WIDE), "FULL [31:0] = 2309737967");
    EXPECT_EQ(FieldDecoding::FormatField({"WIDE", 60, 40, {}}, &WIDE), "WIDE [99:60] = 0x8765432100");
    const Words zero = {0, 0, 0, 0};
    EXPECT_EQ(FieldDecoding::FormatField({"WIDE", 60, 40, {}}, &zero), "WIDE [99:60] = 0x0");
}

TEST(FieldDecoding, LinesAreJoinedAndCutToTheBufferWithItsTerminatingZero)
{
    const std::vector<std::string> lines = {"ONE [0] = 1", "TWO [1] = 0"};
    EXPECT_EQ(FieldDecoding::JoinLines(lines, 25), "ONE [0] = 1\r\nTWO [1] = 0") << "24 characters fit in 25";
    EXPECT_EQ(FieldDecoding::JoinLines(lines, 24), "ONE [0] = 1\r\nTWO [1]...");
    EXPECT_EQ(FieldDecoding::JoinLines(lines, 3), "..");
    EXPECT_EQ(FieldDecoding::JoinLines(lines, 0), "");
}

} // namespace
