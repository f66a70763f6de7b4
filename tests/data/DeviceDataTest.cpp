#include "data/DeviceData.h"

#include "data/ResultCodes.h"
#include "tests/data/RecordTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(DeviceData, LookupsTakeTheFirstInListOrderThroughDuplicatesRenamesAndRemovals)
{
    CDeviceData device(1, "DSP");
    CRegisterData& first = device.AddRegister(0x10, "A", "folder", 32, 0, 3, TestGuid(1), false);
    // An unchecked add keeps duplicates.
    CRegisterData& second = device.AddRegister(0x10, "A", "folder", 32, 0, 3, TestGuid(1), false);
    CRegisterData& late = device.AddRegister(0x10, "Y", "folder", 32, 0, 3, TestGuid(2), false);
    device.AddRegister(0x10, "Z", "folder", 32, 0, 3, TestGuid(3), false);
    EXPECT_EQ(device.FindRegisterByName("A"), &first);
    EXPECT_EQ(device.FindRegister(TestGuid(1)), &first);
    EXPECT_EQ(device.FindRegisterByName("a"), nullptr); // case-sensitive

    device.ModifyRegister(TestGuid(3), 0, "A", 0, CDeviceData::CHANGE_NAME);
    EXPECT_EQ(device.FindRegisterByName("A"), &first); // a later rename does not overtake
    device.ModifyRegister(TestGuid(1), 0, "Y", 0, CDeviceData::CHANGE_NAME);
    EXPECT_EQ(device.FindRegisterByName("Y"), &first); // an earlier one does
    EXPECT_EQ(device.FindRegisterByName("A"), &second);
    device.RemoveRegister(TestGuid(1));
    EXPECT_EQ(device.FindRegisterByName("Y"), &late);
    EXPECT_EQ(device.FindRegister(TestGuid(1)), &second);
    EXPECT_EQ(device.GetRegisterCount(), 3);
}

TEST(DeviceData, ModifyRegisterChangesOnlyTheFlaggedFields)
{
    CDeviceData device(1, "DSP");
    CRegisterData& reg = device.AddRegister(0x20, "A", "", 32, 1, CRegisterData::USER_OPERATIONS, TestGuid(1), true);
    reg.WriteValue = {9};
    EXPECT_EQ(device.ModifyRegister(TestGuid(1), 0x44, "B", 64, CDeviceData::CHANGE_ADDRESS), &reg);
    EXPECT_EQ(reg.GetAddress(), 0x44u);
    EXPECT_EQ(reg.GetName(), "A");
    EXPECT_EQ(reg.GetLength(), 32);

    device.ModifyRegister(TestGuid(1), 0, "", 32, CDeviceData::CHANGE_LENGTH); // same length keeps values
    EXPECT_EQ(reg.WriteValue, (std::vector<std::uint32_t>{9}));
    device.ModifyRegister(TestGuid(1), 0, "B", 40, CDeviceData::CHANGE_NAME | CDeviceData::CHANGE_LENGTH);
    EXPECT_EQ(reg.GetName(), "B");
    EXPECT_EQ(reg.WriteValue, (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(reg.GetValueText(CRegisterData::FORMAT_HEX, CRegisterData::SELECT_MASK), "FFFFFFFFFF");
    EXPECT_EQ(reg.GetAddress(), 0x44u);
}

// Register records live in blocks, and the slot of a removed register takes
// a later one: a register added after removals holds its own name, second
// text, length and values, never its predecessor's, however the room came
// (reserved beforehand or not; lengths over 32 bits keep values outside the record).
TEST(DeviceDataSlots, RegistersAddedAfterRemovalsHoldOnlyTheirOwnData)
{
    const std::pair<std::size_t, std::int32_t> rooms[] = {{0, 32}, {0, 72}, {1000, 72}, {7, 40}};
    const std::string longTail(40, 'x'); // past any in-place string
    const std::string value = "123456789ABCDEF0123";
    for (const auto& [reserved, length] : rooms)
    {
        SCOPED_TRACE(std::to_string(reserved) + " reserved, length " + std::to_string(length));
        CDeviceData device(1, "DEV");
        device.ReserveRegisters(reserved);
        std::vector<GUID> ids;
        for (int i = 0; i < 200; ++i)
        {
            CRegisterData& record = device.AddRegister(static_cast<std::uint32_t>(4 * i), "OLD" + std::to_string(i) +
                                                       longTail, "Old/" + longTail, length, i % 2, 3, GUID{}, false);
            record.SetValueText(value, CRegisterData::FORMAT_HEX, CRegisterData::SELECT_READ);
            ids.push_back(record.GetId());
        }
        device.RemoveUserRegisters(); // the odd ones
        for (std::size_t i = 0; i < ids.size(); i += 4)
            device.RemoveRegister(ids[i]);
        device.ReserveRegisters(reserved / 2);
        for (std::uint32_t i = 0; i < 150; ++i)
            device.AddRegister(0x8000u + i, "NEW" + std::to_string(i), "", 8, 1, 3, GUID{}, true);

        ASSERT_EQ(device.GetRegisterCount(), 50 + 150);
        for (int index = 0; index < device.GetRegisterCount(); ++index)
        {
            const CRegisterData& record = device.GetRegister(index);
            const bool old = index < 50;
            const int i = old ? 4 * index + 2 : index - 50; // old: the even ones that were not removed
            EXPECT_EQ(record.GetName(), (old ? "OLD" : "NEW") + std::to_string(i) + (old ? longTail : ""));
            EXPECT_EQ(record.GetSecondText(), old ? "Old/" + longTail : "");
            EXPECT_EQ(record.GetLength(), old ? length : 8);
            EXPECT_EQ(record.GetValueText(CRegisterData::FORMAT_HEX, CRegisterData::SELECT_READ),
                      old ? value.substr(length > 64 ? 0 : length > 32 ? 3 : 11) : "0");
            EXPECT_EQ(record.GetValueText(CRegisterData::FORMAT_HEX, CRegisterData::SELECT_MASK),
                      old ? std::string(static_cast<std::size_t>(length / 4), 'F') : "FF");
            EXPECT_EQ(record.State, CRegisterData::STATE_NOT_SELECTED);
            EXPECT_EQ(device.FindRegister(record.GetId()), &record);
            EXPECT_EQ(device.FindRegisterByName(record.GetName()), &record);
        }
    }
}
