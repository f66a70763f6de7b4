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
              (std::vector<std::string>{"X40000010,2:\xaa\xbb", "m40000010,2", "m40000000,10"}));
}

struct CWriteCase
{
    const char* name;
    bool serverAcceptsX;
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> requests; // of two writes of the bytes, as the server reads them
};

void PrintTo(const CWriteCase& row, std::ostream* out) { *out << row.name; }

const CWriteCase kWrites[] = {
    {"BinaryWhenTheServerAcceptsX", true, {0x12, 0x34, 0x56, 0x78},
     {"X20000000,4:\x12\x34\x56\x78", "X20000000,4:\x12\x34\x56\x78"}},
    // '#', '$', '}' and '*' would end the packet or read as an escape or a run length.
    {"FramingBytesEscaped", true, {0x23, 0x24, 0x7D, 0x2A}, {"X20000000,4:#$}*", "X20000000,4:#$}*"}},
    {"ZeroBytesAndHighBytes", true, {0x00, 0xFF, 0x00, 0x80}, {std::string("X20000000,4:\0\xff\0\x80", 16),
                                                               std::string("X20000000,4:\0\xff\0\x80", 16)}},
    // An empty reply is "not supported": M for this write and every later one.
    {"FallsBackToMOnAnEmptyReply", false, {0x23, 0x24, 0x7D, 0x2A},
     {"X20000000,4:#$}*", "M20000000,4:23247d2a", "M20000000,4:23247d2a"}},
};

class RspSessionWrite : public ::testing::TestWithParam<CWriteCase>
{
};

TEST_P(RspSessionWrite, OneRequestOfExactlyTheSizeTheServerUnderstands)
{
    const CWriteCase& row = GetParam();
    CFakeGdbServer server(true, row.serverAcceptsX);
    CRspSession session("127.0.0.1", server.GetPort(), kTimeout);
    session.WriteMemory(kAddress, row.bytes);
    EXPECT_EQ(server.GetMemory(kAddress, row.bytes.size()), row.bytes);
    server.SetMemory(kAddress, std::vector<std::uint8_t>(row.bytes.size(), 0));
    session.WriteMemory(kAddress, row.bytes);
    EXPECT_EQ(server.GetMemory(kAddress, row.bytes.size()), row.bytes);
    EXPECT_EQ(session.ReadMemory(kAddress, row.bytes.size()), row.bytes);
    std::vector<std::string> requests = server.GetMemoryRequests();
    requests.pop_back(); // the read
    EXPECT_EQ(requests, row.requests);
}

INSTANTIATE_TEST_SUITE_P(Writes, RspSessionWrite, ::testing::ValuesIn(kWrites),
                         [](const auto& row) { return std::string(row.param.name); });

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
