#pragma once
// One connection to a GDB server: the opening exchange (qSupported,
// QStartNoAckMode) and memory reads and writes, each one request and its
// reply, with acknowledgements while the server wants them. Writes go as
// "X" (binary, half the size of "M") until the server answers one with an
// empty reply, the protocol's "not supported"; then as "M".

#include "gdbremote/RspCodec.h"
#include "gdbremote/Socket.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Why an access failed. lost: the connection is closed and the session over.
class CRspFailure : public std::runtime_error
{
public:
    enum class Kind
    {
        ErrorReply, // the server answered "Exx"
        Timeout,    // no reply within the timeout; the connection stays
        Malformed,  // a reply that cannot be used
        Lost,       // the connection is closed or broken
    };
    CRspFailure(Kind kind, const std::string& text) : std::runtime_error(text), m_kind(kind) {}
    Kind GetKind() const { return m_kind; }

private:
    Kind m_kind;
};

class CRspSession
{
public:
    // Connects and runs the opening exchange; throws CConnectionError or CRspFailure.
    CRspSession(const std::string& host, std::uint16_t port, CMilliseconds timeout);

    void SetTimeout(CMilliseconds timeout) { m_timeout = timeout; }
    bool IsOpen() const { return m_socket.IsOpen(); }
    bool IsNoAckMode() const { return m_noAck; }
    std::size_t GetPacketSize() const { return m_packetSize; }

    std::vector<std::uint8_t> ReadMemory(std::uint32_t address, std::size_t size);
    void WriteMemory(std::uint32_t address, std::span<const std::uint8_t> bytes);

    // One request and its reply payload; throws CRspFailure.
    std::string Exchange(const std::string& payload);

private:
    void Send(const std::string& frame);
    Rsp::CPacketReader::CItem ReceiveItem(std::chrono::steady_clock::time_point deadline);
    // Drops what a reply that came too late left in the stream.
    void DropLateReplies();
    [[noreturn]] void Lose(const std::string& why);
    static void CheckWriteReply(const std::string& payload);

    CSocket m_socket;
    Rsp::CPacketReader m_reader;
    CMilliseconds m_timeout;
    bool m_noAck = false;
    bool m_late = false; // a reply may still be on its way
    std::size_t m_packetSize = 0;
    // No qSupported feature announces "X": the first write finds out.
    enum class BinaryWrites
    {
        Unknown,
        Accepted,
        Refused,
    };
    BinaryWrites m_binaryWrites = BinaryWrites::Unknown;
};
