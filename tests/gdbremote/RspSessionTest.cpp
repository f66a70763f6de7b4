// A session against our fake GDB server: writes in the form the server
// understands and refusals. (Reads, the faults of a server or the line and the
// host and port text are checked through the GDB server's COM interface.)
#include "FakeGdbServer.h"

#include "gdbremote/RspSession.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kAddress = 0x20000000;
constexpr CMilliseconds kTimeout(300);

TEST(RspSession, WritesInOneRequestOfTheFormTheServerUnderstandsAndARefusalThrows)
{
    const struct
    {
        const char* name;
        bool serverAcceptsX;
        std::vector<std::uint8_t> bytes;
        std::vector<std::string> requests; // of two writes of the bytes, as the server reads them
    } rows[] = {
        // '#', '$', '}' and '*' would end the packet or read as an escape or a run length.
        {"binary, framing bytes escaped", true, {0x23, 0x24, 0x7D, 0x2A, 0x00, 0xFF},
         {std::string("X20000000,6:#$}*\0\xff", 18), std::string("X20000000,6:#$}*\0\xff", 18)}},
        // An empty reply is "not supported": M for this write and every later one.
        {"M after an empty reply", false, {0x23, 0x24, 0x7D, 0x2A},
         {"X20000000,4:#$}*", "M20000000,4:23247d2a", "M20000000,4:23247d2a"}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        CFakeGdbServer server(true, row.serverAcceptsX);
        CRspSession session("127.0.0.1", server.GetPort(), kTimeout);
        session.WriteMemory(kAddress, row.bytes);
        EXPECT_EQ(server.GetMemory(kAddress, row.bytes.size()), row.bytes);
        session.WriteMemory(kAddress, row.bytes);
        EXPECT_EQ(server.GetMemoryRequests(), row.requests);
        server.ArmFault(FakeFault::ErrorReply);
        EXPECT_THROW(session.WriteMemory(kAddress, row.bytes), CRspFailure);
    }
}

} // namespace
