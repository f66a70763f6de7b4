// Register memory as a client sees it: masks, lengths, the sparse memory for
// unknown addresses, the refusals with an error object that says why, and the
// state event that every advised sink hears.
#include "tests/sim/SimTestSupport.h"

#include <olectl.h>

#include <utility>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

constexpr LONG kController = 1;
constexpr LONG kTransceiver = 2;
constexpr LONG kFreeAddress = 0x7000; // no register of the built-in set lives there

using RegisterAccess = CSimulatorTest;

using CWrite = std::pair<std::vector<LONG>, std::vector<LONG>>; // value and mask

TEST_F(RegisterAccess, ReadsAndWritesKeepToTheMaskAndTheLength)
{
    // The controller's registers: the writes in turn under their masks, then one read under its mask (empty: all
    // ones).
    const struct
    {
        const char* name;
        const wchar_t* reg;
        std::vector<CWrite> writes;
        std::vector<LONG> readMask;
        std::vector<LONG> expected;
    } rows[] = {
        {"reset value read under a mask", L"W128", {}, {-1, -1, 0, LONG(0xFFFF0000)},
         {LONG(0x89ABCDEF), 0x01234567, 0, LONG(0xFEDC0000)}},
        {"33 bits", L"W33", {{{-1, -1}, {-1, -1}}}, {-1, -1}, {-1, 1}},
        {"128 bits word by word", L"W128",
         {{{1, 2, 3, 4}, {-1, -1, -1, -1}}, {{-1, -1, -1, -1}, {0, 0, 0x00FF0000, 0}}}, {}, {1, 2, 0x00FF0003, 4}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        const CRegisterEntry entry = FindRegister(kController, row.reg);
        for (const CWrite& write : row.writes)
            Write(kController, entry.address, entry.length, write.first, MakeI4Array(write.second));
        const CVariant mask = row.readMask.empty() ? CVariant() : MakeI4Array(row.readMask);
        EXPECT_EQ(Read(kController, entry.address, entry.length, mask), row.expected);
    }
}

TEST_F(RegisterAccess, UnknownAddressIsSparseMemoryOfItsDevice)
{
    EXPECT_THAT(Read(kController, kFreeAddress, 40), ElementsAre(0, 0));
    Write(kController, kFreeAddress, 40, {0x0BADCAFE, 0x1FF});
    EXPECT_THAT(Read(kController, kFreeAddress, 40), ElementsAre(0x0BADCAFE, 0xFF));
    EXPECT_THAT(Read(kTransceiver, kFreeAddress, 40), ElementsAre(0, 0));
    EXPECT_THAT(Read(kController, kFreeAddress, 8), ElementsAre(0xFE)); // the same memory cut to another length
}

TEST_F(RegisterAccess, ArraysOfAnyNumberTypeAreRead)
{
    const CRegisterEntry ctrl = FindRegister(kTransceiver, L"CTRL");
    // A decimal string under JScript's 0xFFFFFFFF.
    const CVariant strings(CSafeArray::MakeBStr(std::vector<std::wstring>{L"305419896"}));
    const CVariant doubles(CSafeArray::MakeR8(std::vector<double>{4294967295.0}));
    ASSERT_EQ(m_server->WriteRegister(kTransceiver, ctrl.address, 32, strings.Get(), doubles.Get(), 0), S_OK);
    const CVariant shorts(CSafeArray::MakeI2(std::vector<SHORT>{0x7FFF}));
    EXPECT_THAT(Read(kTransceiver, ctrl.address, 32, shorts), ElementsAre(0x5678));
    EXPECT_THAT(Read(kTransceiver, ctrl.address, 32, MakeVariantArray({-1})), ElementsAre(0x12345678));
}

TEST_F(RegisterAccess, RefusedAccessesFailWithTheirCodeAndSayWhy)
{
    const CRegisterEntry data = FindRegister(kTransceiver, L"DATA"), ctrl = FindRegister(kTransceiver, L"CTRL");
    const CRegisterEntry version = FindRegister(kController, L"VERSION");
    const CRegisterEntry w40 = FindRegister(kController, L"W40");
    const CRegisterEntry flush = FindRegister(kTransceiver, L"FLUSH");
    const CVariant none, one = MakeVariantArray({1});
    const CVariant words(CSafeArray::MakeBStr(std::vector<std::wstring>{L"one", L"two"}));
    // A row with a value writes it, one without reads; a mask left empty is all ones.
    const struct
    {
        const char* name;
        LONG device, address, length;
        HRESULT code;
        const char* message;
        CVariant value = {}, mask = {};
        LONG flags = 0;
    } rows[] = {
        {"read without R", kTransceiver, data.address, 32, kIllegalAccessType,
         "illegal access type: register DATA cannot be read"},
        {"write without a write type", kController, version.address, 16, kIllegalAccessType,
         "register VERSION cannot be written", one},
        {"write with C only", kTransceiver, flush.address, 1, S_OK, "", one},
        {"length not the register's", kTransceiver, ctrl.address, 16, kInvalidAccessLength,
         "register CTRL has 32 bits, not 16"},
        {"length 129", kController, kFreeAddress, 129, kInvalidAccessLength, "129 bits is not 1 to"},
        {"mask a word short", kController, w40.address, 40, kIllegalMask, "illegal mask: 1 elements instead of 2",
         none, MakeI4Array({-1})},
        {"mask not an array", kController, w40.address, 40, kIllegalMask, "illegal mask: not an array", none,
         CVariant(LONG{-1})},
        {"value a word short", kController, w40.address, 40, kIllegalParameter, "the value is 1 elements instead of 2",
         one},
        {"value of words", kController, w40.address, 40, kIllegalParameter, "illegal parameter: the value is ", words},
        {"last argument not 0", kTransceiver, ctrl.address, 32, kIllegalParameter, "the last argument is 1, not 0",
         none, none, 1},
        {"unknown device, high address", 99, LONG(0xFFFF0000u), 32, kDeviceNotSupported,
         "device 99, address 0xFFFF0000: the device is not supported"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        const CVariant mask = MaskFor(row.mask, row.length);
        const bool write = row.value.GetType() != VT_EMPTY;
        CVariant value;
        EXPECT_EQ(write ? m_server->WriteRegister(row.device, row.address, row.length, row.value.Get(), mask.Get(),
                                                  row.flags)
                        : m_server->ReadRegister(row.device, row.address, row.length, value.Out(), mask.Get(),
                                                 row.flags),
                  row.code);
        EXPECT_THAT(Narrow(TakeDescription()), HasSubstr(row.message));
        EXPECT_EQ(value.GetType(), VT_EMPTY);
    }
    EXPECT_THAT(Read(kController, version.address, 16), ElementsAre(0x0102));
}

using StateEvents = CSimulatorTest;

TEST_F(StateEvents, ReachEveryAdvisedSinkAlsoWhenSinksLeaveOrReleaseTheServerDuringTheEvent)
{
    // Only the point is held: the sink below must be able to drop the last reference.
    CComPtr<IConnectionPoint> point = FindEventPoint();
    ASSERT_TRUE(point);
    const CComPtr<CStateSink> sinks[] = {CStateSink::Create(), CStateSink::Create()};
    DWORD cookies[2] = {};
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(point->Advise(static_cast<IDispatch*>(sinks[i].Get()), &cookies[i]), S_OK);
    ASSERT_EQ(m_control->SetServerState(0), S_OK);
    ASSERT_EQ(point->Unadvise(cookies[0]), S_OK);
    EXPECT_EQ(point->Unadvise(cookies[0]), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(m_control->SetServerState(5), S_OK);
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(sinks[0].Get()), &cookies[0]), S_OK);

    // Whichever sink hears the event first takes both sinks away and drops the last
    // references to the simulator: the other still hears that event, and the call still returns.
    IVexilSimControl* control = m_control.Get();
    CComPtr<IVexilFN> server = std::move(m_server);
    CComPtr<IVexilSimControl> controlOwner = std::move(m_control);
    bool left = false;
    const auto leave = [&] {
        if (std::exchange(left, true))
            return;
        EXPECT_EQ(point->Unadvise(cookies[0]), S_OK);
        EXPECT_EQ(point->Unadvise(cookies[1]), S_OK);
        point.Reset();
        controlOwner.Reset();
        server.Reset();
    };
    sinks[0]->onEvent = sinks[1]->onEvent = leave;
    EXPECT_EQ(control->SetServerState(1), S_OK);
    EXPECT_THAT(sinks[0]->states, ElementsAre(0, 1));
    EXPECT_THAT(sinks[1]->states, ElementsAre(0, 5, 1));
}

} // namespace
