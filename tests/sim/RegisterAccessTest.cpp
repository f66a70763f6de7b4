// Register memory as a client sees it: masks, lengths, the sparse memory for
// unknown addresses, access types, the server state and argument checks.
#include "tests/sim/SimTestSupport.h"

namespace {

using testing::ElementsAre;

constexpr LONG kController = 1;
constexpr LONG kTransceiver = 2;
constexpr LONG kFreeAddress = 0x7000; // no register of the built-in set lives there

class RegisterAccess : public CSimulatorTest
{
};

TEST_F(RegisterAccess, WriteStoresOnlyTheMaskedBits)
{
    const CRegisterEntry ctrl = FindRegister(kTransceiver, L"CTRL");
    Write(kTransceiver, ctrl.address, 32, {0x11111111}, MakeFullMask(32));
    Write(kTransceiver, ctrl.address, 32, {static_cast<LONG>(0xABCDEF00)}, MakeI4Array({0x0000FF00}));
    EXPECT_THAT(Read(kTransceiver, ctrl.address, 32), ElementsAre(0x1111EF11));
}

TEST_F(RegisterAccess, ReadReturnsOnlyTheMaskedBits)
{
    const CRegisterEntry ctrl = FindRegister(kTransceiver, L"CTRL");
    Write(kTransceiver, ctrl.address, 32, {0x12345678}, MakeFullMask(32));
    EXPECT_THAT(Read(kTransceiver, ctrl.address, 32, MakeI4Array({0x00F0F000})), ElementsAre(0x00305000));
}

TEST_F(RegisterAccess, OneBitRegisterKeepsOneBit)
{
    const CRegisterEntry lock = FindRegister(kController, L"CTRL_LOCK");
    ASSERT_EQ(lock.length, 1);
    Write(kController, lock.address, 1, {-1}, MakeI4Array({-1}));
    EXPECT_THAT(Read(kController, lock.address, 1, MakeI4Array({-1})), ElementsAre(1));
}

TEST_F(RegisterAccess, ThirtyThreeBitRegisterHasTwoWordsTheSecondOneBit)
{
    const CRegisterEntry w33 = FindRegister(kController, L"W33");
    ASSERT_EQ(w33.length, 33);
    Write(kController, w33.address, 33, {-1, -1}, MakeI4Array({-1, -1}));
    EXPECT_THAT(Read(kController, w33.address, 33, MakeI4Array({-1, -1})), ElementsAre(-1, 1));
}

TEST_F(RegisterAccess, FortyBitRegisterMasksTheSecondWordToEightBits)
{
    const CRegisterEntry w40 = FindRegister(kController, L"W40");
    ASSERT_EQ(w40.length, 40);
    Write(kController, w40.address, 40, {0x76543210, 0x7FFFFFFF}, MakeI4Array({-1, -1}));
    EXPECT_THAT(Read(kController, w40.address, 40), ElementsAre(0x76543210, 0xFF));
    Write(kController, w40.address, 40, {0, 0}, MakeI4Array({0, 0x0F}));
    EXPECT_THAT(Read(kController, w40.address, 40), ElementsAre(0x76543210, 0xF0));
}

TEST_F(RegisterAccess, HundredTwentyEightBitRegisterWritesEachWordUnderItsMask)
{
    const CRegisterEntry w128 = FindRegister(kController, L"W128");
    ASSERT_EQ(w128.length, 128);
    Write(kController, w128.address, 128, {1, 2, 3, 4}, MakeFullMask(128));
    Write(kController, w128.address, 128, {-1, -1, -1, -1}, MakeI4Array({0, 0, 0x00FF0000, 0}));
    EXPECT_THAT(Read(kController, w128.address, 128), ElementsAre(1, 2, 0x00FF0003, 4));
    EXPECT_THAT(Read(kController, w128.address, 128, MakeI4Array({0, -1, 0, -1})), ElementsAre(0, 2, 0, 4));
}

TEST_F(RegisterAccess, ResetValuesAreServedBeforeAnyWrite)
{
    const CRegisterEntry w128 = FindRegister(kController, L"W128");
    EXPECT_THAT(Read(kController, w128.address, 128),
                ElementsAre(static_cast<LONG>(0x89ABCDEF), 0x01234567, 0x76543210, static_cast<LONG>(0xFEDCBA98)));
}

TEST_F(RegisterAccess, UnknownAddressIsSparseMemoryPerDevice)
{
    EXPECT_THAT(Read(kController, kFreeAddress, 40), ElementsAre(0, 0));
    Write(kController, kFreeAddress, 40, {0x0BADCAFE, 0x1FF}, MakeFullMask(40));
    EXPECT_THAT(Read(kController, kFreeAddress, 40), ElementsAre(0x0BADCAFE, 0xFF));
    EXPECT_THAT(Read(kTransceiver, kFreeAddress, 40), ElementsAre(0, 0));
    // A later call with another length sees the same memory cut to its length.
    EXPECT_THAT(Read(kController, kFreeAddress, 8), ElementsAre(0xFE));
}

TEST_F(RegisterAccess, MaskAndValueMayBeArraysOfAnyNumberType)
{
    const CRegisterEntry ctrl = FindRegister(kTransceiver, L"CTRL");
    std::vector<double> doubles = {4294967295.0}; // JScript's 0xFFFFFFFF
    const CVariant doubleMask(CSafeArray::MakeR8(doubles));
    std::vector<std::wstring> strings = {L"305419896"};
    const CVariant stringValue(CSafeArray::MakeBStr(strings));
    ASSERT_EQ(m_server->WriteRegister(kTransceiver, ctrl.address, 32, stringValue.Get(), doubleMask.Get(), 0), S_OK);
    std::vector<SHORT> shorts = {0x7FFF};
    const CVariant shortMask(CSafeArray::MakeI2(shorts));
    EXPECT_THAT(Read(kTransceiver, ctrl.address, 32, shortMask), ElementsAre(0x5678));
    EXPECT_THAT(Read(kTransceiver, ctrl.address, 32, MakeVariantArray({-1})), ElementsAre(0x12345678));
}

TEST_F(RegisterAccess, ArraysPassedByReferenceAreRead)
{
    // Scripts pass their variables by reference.
    const CRegisterEntry ctrl = FindRegister(kTransceiver, L"CTRL");
    CVariant value = MakeVariantArray({0x2468});
    CVariant mask = MakeI4Array({-1});
    VARIANT valueReference, maskReference;
    V_VT(&valueReference) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&valueReference) = value.GetPointer();
    V_VT(&maskReference) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&maskReference) = mask.GetPointer();
    ASSERT_EQ(m_server->WriteRegister(kTransceiver, ctrl.address, 32, valueReference, maskReference, 0), S_OK);
    EXPECT_THAT(Read(kTransceiver, ctrl.address, 32), ElementsAre(0x2468));
}

TEST_F(RegisterAccess, RegisterWithoutReadFlagRefusesReads)
{
    const CRegisterEntry data = FindRegister(kTransceiver, L"DATA");
    ASSERT_EQ(data.operations, 0x2);
    CVariant value;
    EXPECT_EQ(TryRead(kTransceiver, data.address, 32, MakeFullMask(32), value), kIllegalAccessType);
    EXPECT_EQ(value.GetType(), VT_EMPTY);
}

TEST_F(RegisterAccess, RegisterWithoutWriteTypeFlagRefusesWrites)
{
    const CRegisterEntry version = FindRegister(kController, L"VERSION");
    ASSERT_EQ(version.operations, 0x1);
    EXPECT_EQ(TryWrite(kController, version.address, 16, {0}, MakeFullMask(16)), kIllegalAccessType);
    EXPECT_THAT(Read(kController, version.address, 16), ElementsAre(0x0102));
}

TEST_F(RegisterAccess, AnyWriteTypeFlagAllowsWrites)
{
    // FLUSH has only C, RESET only S.
    const CRegisterEntry flush = FindRegister(kTransceiver, L"FLUSH");
    const CRegisterEntry reset = FindRegister(kController, L"RESET");
    EXPECT_EQ(TryWrite(kTransceiver, flush.address, 1, {1}, MakeFullMask(1)), S_OK);
    EXPECT_EQ(TryWrite(kController, reset.address, 1, {1}, MakeFullMask(1)), S_OK);
}

TEST_F(RegisterAccess, StateZeroRefusesRegisterAccessButServesTheLists)
{
    const CRegisterEntry ctrl = FindRegister(kTransceiver, L"CTRL");
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    CVariant value;
    EXPECT_EQ(TryRead(kTransceiver, ctrl.address, 32, MakeFullMask(32), value), kNoConnection);
    EXPECT_EQ(TryWrite(kTransceiver, ctrl.address, 32, {1}, MakeFullMask(32)), kNoConnection);
    LONG state = -1;
    EXPECT_EQ(m_server->GetServerState(&state), S_OK);
    EXPECT_EQ(state, 0);
    CVariant names, ids;
    EXPECT_EQ(m_server->GetDevices(names.Out(), ids.Out()), S_OK);
    EXPECT_EQ(FindRegister(kTransceiver, L"CTRL").address, ctrl.address);
    ASSERT_EQ(m_control->SetServerState(1), S_OK);
    EXPECT_EQ(TryRead(kTransceiver, ctrl.address, 32, MakeFullMask(32), value), S_OK);
}

TEST_F(RegisterAccess, LengthOtherThanTheRegistersIsRefused)
{
    const CRegisterEntry ctrl = FindRegister(kTransceiver, L"CTRL");
    CVariant value;
    EXPECT_EQ(TryRead(kTransceiver, ctrl.address, 16, MakeFullMask(16), value), kInvalidAccessLength);
    EXPECT_EQ(TryRead(kController, kFreeAddress, 0, MakeI4Array({}), value), kInvalidAccessLength);
    EXPECT_EQ(TryRead(kController, kFreeAddress, 129, MakeFullMask(128), value), kInvalidAccessLength);
}

TEST_F(RegisterAccess, MaskWithTheWrongWordCountIsIllegal)
{
    const CRegisterEntry w40 = FindRegister(kController, L"W40");
    CVariant value;
    EXPECT_EQ(TryRead(kController, w40.address, 40, MakeI4Array({-1}), value), kIllegalMask);
    EXPECT_EQ(TryWrite(kController, w40.address, 40, {1, 1}, MakeI4Array({-1, -1, -1})), kIllegalMask);
    EXPECT_EQ(TryRead(kController, w40.address, 40, CVariant(LONG{-1}), value), kIllegalMask);
}

TEST_F(RegisterAccess, ValueWithTheWrongWordCountOrNonNumbersIsIllegal)
{
    const CRegisterEntry w40 = FindRegister(kController, L"W40");
    EXPECT_EQ(TryWrite(kController, w40.address, 40, {1}, MakeFullMask(40)), kIllegalParameter);
    std::vector<std::wstring> words = {L"one", L"two"};
    const CVariant text(CSafeArray::MakeBStr(words));
    EXPECT_EQ(m_server->WriteRegister(kController, w40.address, 40, text.Get(), MakeFullMask(40).Get(), 0),
              kIllegalParameter);
}

TEST_F(RegisterAccess, NonZeroLastArgumentIsIllegal)
{
    const CRegisterEntry ctrl = FindRegister(kTransceiver, L"CTRL");
    CVariant value;
    EXPECT_EQ(m_server->ReadRegister(kTransceiver, ctrl.address, 32, value.Out(), MakeFullMask(32).Get(), 1),
              kIllegalParameter);
}

TEST_F(RegisterAccess, UnknownDeviceIsNotSupported)
{
    CVariant value;
    EXPECT_EQ(TryRead(99, 0, 32, MakeFullMask(32), value), kDeviceNotSupported);
    EXPECT_EQ(TryWrite(99, 0, 32, {1}, MakeFullMask(32)), kDeviceNotSupported);
}

TEST_F(RegisterAccess, ReservedSlotsAreNotImplemented)
{
    EXPECT_EQ(m_server->Reserved1(), E_NOTIMPL);
    EXPECT_EQ(m_server->Reserved2(), E_NOTIMPL);
}

TEST_F(RegisterAccess, PokeAndPeekBypassChecksAndSideEffects)
{
    const CRegisterEntry version = FindRegister(kController, L"VERSION");
    ASSERT_EQ(m_control->PokeRegister(kController, version.address, MakeI4Array({0x0203}).Get()), S_OK);
    CVariant peeked;
    ASSERT_EQ(m_control->PeekRegister(kController, version.address, peeked.Out()), S_OK);
    EXPECT_THAT(GetI4Elements(peeked.Get()), ElementsAre(0x0203));
    ASSERT_EQ(m_control->PeekRegister(kController, kFreeAddress, peeked.Out()), S_OK);
    EXPECT_EQ(peeked.GetType(), VT_EMPTY);
    EXPECT_EQ(m_control->PokeRegister(99, 0, MakeI4Array({1}).Get()), E_INVALIDARG);
}

} // namespace
