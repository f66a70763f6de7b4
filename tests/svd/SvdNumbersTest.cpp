// The small languages inside SVD elements, each one table of named rows.
#include "svd/SvdNumbers.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(SvdNumbers, ScaledNonNegativeIntegers)
{
    const struct
    {
        const char* name;
        const wchar_t* text;
        std::optional<std::uint64_t> value;
    } rows[] = {
        {"upper-case prefix and digits", L"0XABCD", 0xABCD}, {"binary with hash", L"#1010", 10},
        {"binary with 0b", L"0b11", 3}, {"plus sign", L"+7", 7}, {"surrounding blanks", L"  \n 12 \t", 12},
        {"kilo suffix", L"4k", 4096}, {"mega suffix", L"2M", 2u << 20},
        {"hexadecimal ending in a letter is no suffix", L"0x1B", 0x1B},
        {"largest 64-bit value", L"0xFFFFFFFFFFFFFFFF", UINT64_MAX},
        {"above 64 bits", L"0x10000000000000000", std::nullopt},
        {"scaled beyond 64 bits", L"17179869184T", std::nullopt}, {"empty", L"", std::nullopt},
        {"prefix only", L"0x", std::nullopt}, {"negative", L"-1", std::nullopt},
        {"letter in decimal", L"12a", std::nullopt}, {"binary digit 2", L"#102", std::nullopt},
        {"don't-care bits are no number", L"#1x0", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseSvdNumber(row.text), row.value) << row.name;
}

TEST(SvdNumbers, DimIndexLists)
{
    using Names = std::vector<std::wstring>;
    const struct
    {
        const char* name;
        const wchar_t* text;
        std::optional<Names> names;
    } rows[] = {
        {"range not from 0", L"8-9", Names{L"8", L"9"}}, {"letter range", L"A-C", Names{L"A", L"B", L"C"}},
        {"list", L"low, high,x_1", Names{L"low", L"high", L"x_1"}}, {"backwards range", L"3-1", std::nullopt},
        {"empty list entry", L"a,,b", std::nullopt}, {"trailing comma", L"a,", std::nullopt},
        {"mixed range", L"0-C", std::nullopt}, {"range longer than the largest dim", L"0-99999999", std::nullopt},
        {"blank in a name", L"a b", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ExpandDimIndex(row.text), row.names) << row.name;
}

TEST(SvdNumbers, ArrayNames)
{
    const struct
    {
        const wchar_t* name;
        const wchar_t* index;
        const wchar_t* expanded;
    } rows[] = {
        {L"CH%s", L"3", L"CH3"}, {L"%s_CTRL", L"A", L"A_CTRL"}, {L"%s%s", L"x", L"xx"}, {L"100%", L"1", L"100%"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ExpandDimName(row.name, row.index), row.expanded) << row.name;
}

TEST(SvdNumbers, BitRanges)
{
    using LsbAndWidth = std::optional<std::pair<int, int>>;
    const struct
    {
        const char* text;
        LsbAndWidth range;
    } rows[] = {
        {"[0:0]", std::pair(0, 1)}, {"[31:16]", std::pair(16, 16)}, {" [ 7 : 4 ] ", std::pair(4, 4)},
        {"[3:4]", std::nullopt},    {"3:0", std::nullopt},          {"[3]", std::nullopt},
        {"[:0]", std::nullopt},     {"[5000:0]", std::nullopt},
    };
    for (const auto& row : rows)
    {
        const std::optional<CBitRange> range = ParseBitRange(std::wstring(row.text, row.text + std::strlen(row.text)));
        EXPECT_EQ(range ? LsbAndWidth(std::pair(range->lsb, range->width)) : std::nullopt, row.range) << row.text;
    }
}

} // namespace
