// A register's values and their decimal, hexadecimal and binary texts, for
// registers of no word up to four words.
#include "data/RegisterData.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Words = std::vector<std::uint32_t>;
constexpr int DEC = CRegisterData::FORMAT_DECIMAL;
constexpr int HEX = CRegisterData::FORMAT_HEX;
constexpr int BIN = CRegisterData::FORMAT_BINARY;
constexpr int READ = CRegisterData::SELECT_READ;
constexpr int WRITE = CRegisterData::SELECT_WRITE;
constexpr int MASK = CRegisterData::SELECT_MASK;

CRegisterData MakeRegister(std::int32_t length)
{
    return CRegisterData(7, 0x100, "REG", "a/b", length, 0, 3, GUID{});
}

std::string Ones(std::size_t n) { return std::string(n, '1'); }
std::string Zeros(std::size_t n) { return std::string(n, '0'); }

struct CShownCase
{
    const char* name;
    std::int32_t length;
    int selector;      // of the text; also the value that receives the words
    Words words;       // none: the initial values (read and write zero, mask all ones)
    int format;
    std::string text;
};

const Words WIDE = {0x89ABCDEF, 0x01234567, 0x76543210, 0xFEDCBA98};

TEST(RegisterData, ShowsTheSelectedValueInTheBase)
{
    const CShownCase rows[] = {
    {"Mask8Bits", 8, MASK, {}, BIN, "11111111"}, {"Mask33Hex", 33, MASK, {}, HEX, "1FFFFFFFF"},
    {"Mask33Bin", 33, MASK, {}, BIN, Ones(33)},
    {"Mask128Bin", 128, MASK, {}, BIN, Ones(128)}, {"InitialWriteIsZero", 33, WRITE, {}, DEC, "0"},
    {"HexWithoutLeadingZeros", 40, WRITE, {0x12, 0}, HEX, "12"},
    {"BinaryTopWordPaddedToItsBits", 40, WRITE, {1, 0}, BIN, Zeros(39) + "1"},
    {"BinaryDoesNotCutAWideWord", 8, READ, {0x1FF}, BIN, "111111111"},
    {"DecimalOfFourWords", 128, READ, WIDE, DEC, "2309737967"},
    {"HexOfFourWords", 128, WRITE, WIDE, HEX, "FEDCBA98765432100123456789ABCDEF"},
    {"HexOfFourWordsLowWordsPadded", 128, READ, {1, 2, 0, 3}, HEX, "3000000000000000200000001"},
    {"BinaryOfFourWords", 128, READ, {1, 0, 0, 0x80000000}, BIN, "1" + Zeros(126) + "1"},
    {"BinaryOfFourWordsTopPadded", 100, READ, {0, 0, 2, 0x9}, BIN, "1001" + Zeros(30) + "1" + Zeros(65)},
    {"SelectorFourIsTheMask", 16, 4, {}, HEX, "FFFF"}, {"SelectorEightIsTheMask", 16, 8, {}, HEX, "FFFF"},
    {"UnknownFormat", 16, READ, {1}, 3, ""}, {"NoWords", 0, MASK, {}, HEX, ""}};
    for (const CShownCase& row : rows)
    {
        SCOPED_TRACE(row.name);
        CRegisterData reg = MakeRegister(row.length);
        CValueWords& value = row.selector == READ ? reg.ReadValue : row.selector == WRITE ? reg.WriteValue : reg.Mask;
        std::ranges::copy(row.words, value.begin());
        EXPECT_EQ(reg.GetValueText(row.format, row.selector), row.text);
    }
}

struct CTypedCase
{
    const char* name;
    std::int32_t length;
    std::string text;
    int format;
    int selector;
    Words words; // what every selected value holds after; none: nothing changes
};

// Read and write start as all sevens, the mask as all ones: the values the
// selector leaves out must keep them.
TEST(RegisterData, TypedTextSetsEverySelectedValueAndNoOther)
{
    const std::string wideHex = "FEDCBA98765432100123456789ABCDEF";
    const CTypedCase rows[] = {
    {"HexFillsWordsFromTheRight", 40, "1FFFFFFFF", HEX, WRITE, {0xFFFFFFFF, 1}},
    {"EmptyHexIsZero", 40, "", HEX, MASK, {0, 0}}, {"HexMaskThroughBitFour", 40, "5", HEX, 4, {5, 0}},
    {"HexBeyondTheWordsIsIgnored", 32, "9abcdef01", HEX, READ, {0xABCDEF01}},
    {"HexChunkReadUpToANonDigit", 64, "G00000011G", HEX, READ, {0x11, 0}},
    {"HexOfFourWords", 128, wideHex, HEX, READ | WRITE, WIDE},
    {"HexOfFourWordsCutFromTheLeft", 128, "77" + wideHex, HEX, WRITE, WIDE},
    {"HexShortOfFourWords", 128, "3" + Zeros(14) + "2", HEX, MASK, {2, 0x30000000, 0, 0}},
    {"BinaryCountsOnlyOnes", 40, "1x" + Zeros(31) + "1", BIN, READ, {1, 2}},
    {"MaskBinaryKind", 40, "1021", CRegisterData::FORMAT_MASK_BINARY, MASK, {9, 0}},
    {"BinaryOfFourWords", 128, "1" + Zeros(62) + "11" + Zeros(63), BIN, WRITE, {0, 0x80000000, 1, 0x80000000}},
    {"BinaryLastWordOfHundredBits", 100, "1001" + Ones(96), BIN, READ, {~0u, ~0u, ~0u, 9}},
    {"DecimalSetsWordZeroOfEachSelected", 40, "12", DEC, READ | WRITE, {12, 0}},
    {"DecimalClearsHigherWordsOfFour", 128, "4294967295", DEC, MASK, {~0u, 0, 0, 0}},
    {"DecimalEmpty", 32, "", DEC, WRITE, {0}}, {"DecimalNoDigits", 32, "abc", DEC, WRITE, {0}},
    {"DecimalBlanksAndSign", 32, "  +42x", DEC, WRITE, {42}}, {"DecimalLargest", 32, "4294967295", DEC, WRITE, {~0u}},
    {"DecimalTooLarge", 32, "99999999999", DEC, WRITE, {~0u}}, {"DecimalMinusOne", 32, "-1", DEC, WRITE, {~0u}},
    {"DecimalNegativeTooLarge", 32, "-4294967296", DEC, WRITE, {~0u}},
    {"UnknownFormatChangesNothing", 32, "5", 8, READ | WRITE | MASK, {}},
    {"NoWords", 0, "1234", HEX, READ | WRITE | MASK, {}}};
    for (const CTypedCase& row : rows)
    {
        SCOPED_TRACE(row.name);
        CRegisterData reg = MakeRegister(row.length);
        const Words sevens(reg.GetWordCount(), 7);
        reg.ReadValue = reg.WriteValue = CValueWords(sevens.size(), 7);
        const Words mask = reg.Mask;
        EXPECT_EQ(reg.SetValueText(row.text, row.format, row.selector), S_OK);
        const bool changes = !row.words.empty();
        EXPECT_EQ(reg.ReadValue, changes && (row.selector & READ) ? row.words : sevens);
        EXPECT_EQ(reg.WriteValue, changes && (row.selector & WRITE) ? row.words : sevens);
        EXPECT_EQ(reg.Mask, changes && (row.selector & MASK) ? row.words : mask);
    }
}

} // namespace
