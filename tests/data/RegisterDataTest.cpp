#include "data/RegisterData.h"

#include "tests/data/RecordTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int DEC = CRegisterData::FORMAT_DECIMAL;
constexpr int HEX = CRegisterData::FORMAT_HEX;
constexpr int BIN = CRegisterData::FORMAT_BINARY;
constexpr int READ = CRegisterData::SELECT_READ;
constexpr int WRITE = CRegisterData::SELECT_WRITE;
constexpr int MASK = CRegisterData::SELECT_MASK;

CRegisterData MakeRegister(std::int32_t length, const GUID& id = GUID{})
{
    return CRegisterData(7, 0x100, "REG", "a/b", length, 0, 3, id);
}

} // namespace

TEST(RegisterData, NullIdentifierIsReplacedByAFreshUniqueOne)
{
    const CRegisterData first = MakeRegister(32);
    const CRegisterData second = MakeRegister(32);
    EXPECT_FALSE(IsNullGuid(first.GetId()));
    EXPECT_FALSE(SameGuid(first.GetId(), second.GetId()));
    EXPECT_TRUE(SameGuid(MakeRegister(32, TestGuid(1)).GetId(), TestGuid(1)));
}

TEST(RegisterData, NewRegisterHasZeroValuesFullMaskAndIsNotSelected)
{
    const CRegisterData reg = MakeRegister(33);
    EXPECT_EQ(reg.GetWordCount(), 2u);
    EXPECT_EQ(reg.GetValueText(BIN, MASK), std::string(33, '1'));
    EXPECT_EQ(reg.GetValueText(HEX, MASK), "1FFFFFFFF");
    EXPECT_EQ(reg.GetValueText(HEX, READ), "0");
    EXPECT_EQ(reg.GetValueText(DEC, WRITE), "0");
    EXPECT_EQ(reg.State, CRegisterData::STATE_NOT_SELECTED);

    const CRegisterData word = MakeRegister(32);
    EXPECT_EQ(word.GetValueText(BIN, MASK), std::string(32, '1'));
    EXPECT_EQ(word.GetValueText(HEX, MASK), "FFFFFFFF");
    EXPECT_EQ(MakeRegister(8).GetValueText(BIN, MASK), "11111111");
}

TEST(RegisterData, ZeroLengthRegisterHasNoWordsAndEmptyTexts)
{
    CRegisterData reg = MakeRegister(0);
    EXPECT_EQ(reg.GetWordCount(), 0u);
    EXPECT_EQ(reg.SetValueText("1234", HEX, READ | WRITE | MASK), S_OK);
    for (const int format : {DEC, HEX, BIN})
        EXPECT_EQ(reg.GetValueText(format, READ), "");
}

TEST(RegisterData, TextsShowTheWordsInEachBase)
{
    CRegisterData reg = MakeRegister(64);
    reg.ReadValue = {5, 1};
    EXPECT_EQ(reg.GetValueText(DEC, READ), "5"); // only word 0
    EXPECT_EQ(reg.GetValueText(HEX, READ), "100000005");
    EXPECT_EQ(reg.GetValueText(BIN, READ), std::string(31, '0') + "1" + std::string(29, '0') + "101");

    CRegisterData forty = MakeRegister(40);
    forty.WriteValue = {0x12, 0};
    EXPECT_EQ(forty.GetValueText(HEX, WRITE), "12");
    forty.WriteValue = {1, 0};
    EXPECT_EQ(forty.GetValueText(BIN, WRITE), std::string(39, '0') + "1");
}

TEST(RegisterData, BinaryTextDoesNotCutAWordWiderThanTheRegister)
{
    CRegisterData reg = MakeRegister(8);
    reg.ReadValue = {0x1FF};
    EXPECT_EQ(reg.GetValueText(BIN, READ), "111111111");
}

TEST(RegisterData, SelectorPicksTheShownValueAndUnknownOnesShowZero)
{
    CRegisterData reg = MakeRegister(16);
    reg.ReadValue = {1};
    reg.WriteValue = {2};
    EXPECT_EQ(reg.GetValueText(HEX, 4), "FFFF");
    EXPECT_EQ(reg.GetValueText(HEX, 8), "FFFF");
    EXPECT_EQ(reg.GetValueText(HEX, 3), "0");
    EXPECT_EQ(reg.GetValueText(BIN, 0), std::string(16, '0'));
    EXPECT_EQ(reg.GetValueText(3, READ), "");
}

TEST(RegisterData, HexTextFillsWordsFromTheRight)
{
    CRegisterData reg = MakeRegister(40);
    reg.SetValueText("1FFFFFFFF", HEX, WRITE);
    EXPECT_EQ(reg.WriteValue, (std::vector<std::uint32_t>{0xFFFFFFFF, 1}));
    EXPECT_EQ(reg.GetValueText(DEC, WRITE), "4294967295");
    EXPECT_EQ(reg.ReadValue, (std::vector<std::uint32_t>{0, 0}));

    reg.SetValueText("", HEX, MASK);
    EXPECT_EQ(reg.Mask, (std::vector<std::uint32_t>{0, 0}));

    CRegisterData word = MakeRegister(32);
    word.SetValueText("9abcdef01", HEX, READ); // the rightmost 8 digits fit
    EXPECT_EQ(word.ReadValue[0], 0xABCDEF01u);
}

TEST(RegisterData, HexChunkIsReadUpToItsFirstNonDigitAndAsZeroWithoutALeadingDigit)
{
    CRegisterData reg = MakeRegister(64);
    reg.SetValueText("G00000011G", HEX, READ);
    EXPECT_EQ(reg.ReadValue, (std::vector<std::uint32_t>{0x11, 0}));
}

TEST(RegisterData, BinaryTextCountsOnlyOnesInChunksOf32)
{
    CRegisterData reg = MakeRegister(40);
    reg.SetValueText("1x" + std::string(31, '0') + "1", BIN, READ);
    EXPECT_EQ(reg.ReadValue, (std::vector<std::uint32_t>{1, 2})); // "1x": x counts 0
    reg.SetValueText("1021", CRegisterData::FORMAT_MASK_BINARY, MASK);
    EXPECT_EQ(reg.Mask, (std::vector<std::uint32_t>{9, 0}));
}

TEST(RegisterData, DecimalTextSetsTheLowWordOfEverySelectedValue)
{
    CRegisterData reg = MakeRegister(40);
    reg.ReadValue = {7, 7};
    reg.WriteValue = {7, 7};
    reg.SetValueText("12", DEC, READ | WRITE);
    EXPECT_EQ(reg.ReadValue, (std::vector<std::uint32_t>{12, 0}));
    EXPECT_EQ(reg.WriteValue, (std::vector<std::uint32_t>{12, 0}));
    EXPECT_EQ(reg.GetValueText(HEX, MASK), "FFFFFFFFFF");
}

TEST(RegisterData, DecimalTextConvertsLikeUnsignedLong)
{
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"", 0},          {"abc", 0},       {"  +42x", 42}, {"4294967295", 4294967295u},
        {"99999999999", 4294967295u},       {"-1", 4294967295u}, {"-4294967296", 4294967295u},
    };
    CRegisterData reg = MakeRegister(32);
    for (const auto& [text, expected] : cases)
    {
        reg.SetValueText(text, DEC, WRITE);
        EXPECT_EQ(reg.WriteValue[0], expected) << text;
    }
}

TEST(RegisterData, UnknownInputFormatChangesNothing)
{
    CRegisterData reg = MakeRegister(32);
    EXPECT_EQ(reg.SetValueText("5", 8, READ | WRITE | MASK), S_OK);
    EXPECT_EQ(reg.GetValueText(HEX, READ), "0");
    EXPECT_EQ(reg.GetValueText(HEX, MASK), "FFFFFFFF");
}
