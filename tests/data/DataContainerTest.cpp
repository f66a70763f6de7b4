#include "data/DataContainer.h"

#include "data/ResultCodes.h"
#include "tests/data/RecordTestSupport.h"

#include <gtest/gtest.h>

// One container walked through lookups, checked adds and renames, states and removals.
TEST(DataContainer, LookupsChecksStatesAndRemovalsReachTheRightDeviceAndRegister)
{
    CDataContainer container;
    container.AddDevice(0x1A, "DSP", 1);
    container.AddDevice(-1, "ASIC", 0);
    container.AddRegister(0x1A, 0x10, "SRV", "f/g", 32, 0, 3, TestGuid(1));
    container.AddRegister(0x1A, 0x20, "USR", "", 32, 1, CRegisterData::USER_OPERATIONS, TestGuid(2));
    container.AddRegister(-1, 0x30, "USR", "", 32, 1, CRegisterData::USER_OPERATIONS, TestGuid(3));

    // Devices are found by id, by index and by the first of their name.
    CDeviceData& again = container.AddDevice(0x1A, "Other", 0); // an existing device comes back unchanged
    EXPECT_EQ(&again, container.FindDevice(0x1A));
    EXPECT_EQ(container.GetUserRegisterFlag(0x1A), 1);
    container.AddDevice(5, "DSP", 0);
    EXPECT_EQ(container.GetDeviceCount(), 3);
    EXPECT_EQ(container.GetDeviceID(1), -1);
    EXPECT_EQ(container.GetDeviceIDByName("DSP"), 0x1A);
    EXPECT_EQ(container.GetDeviceIDByName("ASIC"), -1);
    EXPECT_EQ(RaisedCode([&] { container.GetDeviceIDByName("dsp"); }), Vx::E_DEVICE_NOT_FOUND);
    EXPECT_EQ(RaisedCode([&] { container.GetDeviceID(3); }), Vx::E_INVALID_INDEX);
    EXPECT_EQ(RaisedCode([&] { container.GetDeviceName(7); }), Vx::E_INVALID_INDEX);
    EXPECT_EQ(RaisedCode([&] { container.GetRegister(0x1A, 2); }), Vx::E_INVALID_INDEX);

    // Names of user registers and renames are checked before anything changes.
    EXPECT_EQ(RaisedCode([&] { container.AddRegister(0x1A, 0, "SRV", "", 8, 1, 0, TestGuid(9)); }),
              Vx::E_REGISTER_NAME_EXISTS);
    container.AddRegister(0x1A, 0, "SRV", "", 8, 0, 0, TestGuid(9)); // a server register is not checked
    EXPECT_EQ(container.GetRegisterCount(0x1A), 3);
    EXPECT_EQ(container.FindRegisterByName(0x1A, "SRV")->GetAddress(), 0x10u);

    EXPECT_EQ(RaisedCode([&] { container.ModifyRegister(0x1A, TestGuid(2), 0x99, "SRV", 8, 7); }),
              Vx::E_REGISTER_NAME_EXISTS);
    const CRegisterData& reg = container.GetRegister(0x1A, 1);
    EXPECT_EQ(reg.GetAddress(), 0x20u);
    EXPECT_EQ(reg.GetLength(), 32);
    container.ModifyRegister(0x1A, TestGuid(2), 0, "NEW", 0, CDeviceData::CHANGE_NAME); // a free name is taken
    EXPECT_EQ(container.FindRegisterByName(0x1A, "NEW"), &reg);
    EXPECT_EQ(RaisedCode([&] { container.ModifyRegister(0x1A, TestGuid(3), 1, "", 8, 1); }),
              Vx::E_REGISTER_NOT_FOUND);

    // States and removals reach every device; a missing register is not found.
    EXPECT_EQ(container.SetRegisterState(0x1A, TestGuid(3), 2), Vx::E_REGISTER_NOT_FOUND);
    EXPECT_EQ(container.SetRegisterStateByName(0x1A, "NONE", 2), Vx::E_REGISTER_NOT_FOUND);
    EXPECT_EQ(container.SetRegisterStateByName(0x1A, "NEW", 2), S_OK);
    EXPECT_EQ(container.SetRegisterState(-1, TestGuid(3), 2), S_OK);
    EXPECT_EQ(container.GetRegister(-1, 0).State, 2);
    container.ClearStates();
    EXPECT_EQ(container.GetRegister(-1, 0).State, 1);

    container.RemoveRegister(0x1A, TestGuid(1));
    EXPECT_EQ(container.GetRegister(0x1A, 0).GetName(), "NEW");
    EXPECT_EQ(RaisedCode([&] { container.RemoveRegister(0x1A, TestGuid(1)); }), Vx::E_REGISTER_NOT_FOUND);
    container.RemoveUserRegisters();
    EXPECT_EQ(container.GetRegisterCount(-1), 0);
    EXPECT_EQ(container.GetRegisterCount(0x1A), 1);
    EXPECT_EQ(container.GetRegister(0x1A, 0).GetName(), "SRV");
}
