// A session against our fake GDB server: the opening exchange, reads and
// writes, and every fault a server or the line can produce.
#include "FakeGdbServer.h"

#include "gdbremote/RspSession.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr std::uint32_t kAddress = 0x20000000;
const std::vector<std::uint8_t> kBytes = {0x31, 0xC2, 0x0F, 0x41};
constexpr CMilliseconds kTimeout(300);

struct CFaultCase
{
    const char* name;
    bool acknowledgements; // the server keeps acknowledgements on
    FakeFault fault;
    std::optional<CRspFailure::Kind> failure; // none: the read succeeds
    const char* message;                       // part of the failure's text
    bool stillConnected;
};

void PrintTo(const CFaultCase& row, std::ostream* out) { *out << row.name; }

const CFaultCase kFaults[] = {
    {"NakIsAnsweredWithAResend", true, FakeFault::Nak, std::nullopt, "", true},
    {"BadChecksumIsAnsweredWithANak", true, FakeFault::BadChecksum, std::nullopt, "", true},
    {"BadChecksumWithoutAcknowledgementsFailsTheAccess", false, FakeFault::BadChecksum, CRspFailure::Kind::Malformed,
     "bad checksum", true},
    {"ErrorReplyIsNamed", false, FakeFault::ErrorReply, CRspFailure::Kind::ErrorReply, "the server answers E01", true},
    {"SilenceEndsAtTheTimeout", false, FakeFault::Silence, CRspFailure::Kind::Timeout, "no reply within 300 ms", true},
    {"LateReplyIsDroppedBeforeTheNextRequest", false, FakeFault::LateReply, CRspFailure::Kind::Timeout, "no reply",
     true},
    {"ConnectionClosedInTheMiddleOfAReply", false, FakeFault::CloseMidReply, CRspFailure::Kind::Lost,
     "closed the connection", false},
    {"GarbageOutsidePacketsIsSkipped", false, FakeFault::Garbage, std::nullopt, "", true},
    {"GarbageWithAcknowledgementsIsSkipped", true, FakeFault::Garbage, std::nullopt, "", true},
    {"ReplyThatIsNotDataFails", false, FakeFault::NotHex, CRspFailure::Kind::Malformed, "not hexadecimal", true},
};

class RspSessionFault : public ::testing::TestWithParam<CFaultCase>
{
};

TEST_P(RspSessionFault, FailsOnlyThatAccess)
{
    const CFaultCase& row = GetParam();
    CFakeGdbServer server(!row.acknowledgements);
    server.SetMemory(kAddress, kBytes);
    server.SetLateDelay(2 * static_cast<int>(kTimeout.count()));
    CRspSession session("127.0.0.1", server.GetPort(), kTimeout);
    EXPECT_EQ(session.IsNoAckMode(), !row.acknowledgements);

    server.ArmFault(row.fault);
    if (row.failure)
    {
        try
        {
            session.ReadMemory(kAddress, 4);
            ADD_FAILURE() << "the read succeeded";
        }
        catch (const CRspFailure& failure)
        {
            EXPECT_EQ(failure.GetKind(), *row.failure);
            EXPECT_NE(std::string(failure.what()).find(row.message), std::string::npos) << failure.what();
        }
    }
    else
        EXPECT_EQ(session.ReadMemory(kAddress, 4), kBytes);

    EXPECT_EQ(session.IsOpen(), row.stillConnected);
    if (row.fault == FakeFault::LateReply)
        std::this_thread::sleep_for(2 * kTimeout); // the late reply is in by now
    if (row.stillConnected)
    {
        server.SetMemory(kAddress, {1, 2, 3, 4});
        EXPECT_EQ(session.ReadMemory(kAddress, 4), (std::vector<std::uint8_t>{1, 2, 3, 4}));
    }
    else
        EXPECT_THROW(session.ReadMemory(kAddress, 4), CRspFailure);
}

INSTANTIATE_TEST_SUITE_P(Faults, RspSessionFault, ::testing::ValuesIn(kFaults),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(RspSession, OneRequestPerAccessOfExactlyItsSize)
{
    CFakeGdbServer server;
    CRspSession session("127.0.0.1", server.GetPort(), kTimeout);
    EXPECT_EQ(session.GetPacketSize(), 0x4000u);
    const std::uint8_t bytes[] = {0xAA, 0xBB};
    session.WriteMemory(0x40000010, bytes);
    EXPECT_EQ(session.ReadMemory(0x40000010, 2), (std::vector<std::uint8_t>{0xAA, 0xBB}));
    EXPECT_EQ(session.ReadMemory(0x40000000, 16), std::vector<std::uint8_t>(16, 0)); // a run-length reply
    EXPECT_EQ(server.GetMemoryRequests(),
              (std::vector<std::string>{"M40000010,2:aabb", "m40000010,2", "m40000000,10"}));
}

TEST(RspSession, WriteRefusedByTheServer)
{
    CFakeGdbServer server;
    CRspSession session("127.0.0.1", server.GetPort(), kTimeout);
    server.ArmFault(FakeFault::ErrorReply);
    const std::uint8_t bytes[] = {1};
    EXPECT_THROW(session.WriteMemory(0x0, bytes), CRspFailure);
}

TEST(RspSession, RefusedConnectionNamesHostAndPort)
{
    std::uint16_t port = 0;
    {
        CSocket listener = CSocket::Listen();
        port = listener.GetLocalPort();
    }
    try
    {
        CRspSession session("127.0.0.1", port, kTimeout);
        ADD_FAILURE() << "connected";
    }
    catch (const CConnectionError& error)
    {
        EXPECT_NE(std::string(error.what()).find("127.0.0.1:" + std::to_string(port)), std::string::npos)
            << error.what();
    }
}

TEST(RspSession, HostAndPortText)
{
    const struct
    {
        const char* text;
        bool valid;
        const char* host;
        std::uint16_t port;
    } rows[] = {
        {"127.0.0.1:1234", true, "127.0.0.1", 1234}, {"localhost:3333", true, "localhost", 3333},
        {"board:65535", true, "board", 65535},       {"board:65536", false, "", 0},
        {"board:0", false, "", 0},                   {":1234", false, "", 0},
        {"board", false, "", 0},                     {"board:12a", false, "", 0},
    };
    for (const auto& row : rows)
    {
        std::string host;
        std::uint16_t port = 0;
        ASSERT_EQ(SplitHostPort(row.text, host, port), row.valid) << row.text;
        if (row.valid)
        {
            EXPECT_EQ(host, row.host);
            EXPECT_EQ(port, row.port);
        }
    }
}

} // namespace
