#include "gdbremote/RspSession.h"

#include <array>

namespace {

constexpr int kMaxResends = 3;
constexpr std::size_t kDefaultPacketSize = 400; // what GDB assumes without PacketSize

} // namespace

CRspSession::CRspSession(const std::string& host, std::uint16_t port, CMilliseconds timeout)
    : m_socket(CSocket::Connect(host, port, timeout)), m_timeout(timeout)
{
    // The server may have sent a stop reply or a '+' of its own before we ask.
    m_socket.SendAll("+");
    const Rsp::CFeatures features = Rsp::ParseSupported(Exchange("qSupported:swbreak+;hwbreak+"));
    m_packetSize = features.packetSize ? features.packetSize : kDefaultPacketSize;
    if (features.noAckMode && Exchange("QStartNoAckMode") == "OK")
        m_noAck = true;
}

void CRspSession::Lose(const std::string& why)
{
    m_socket.Close();
    throw CRspFailure(CRspFailure::Kind::Lost, why);
}

void CRspSession::Send(const std::string& frame)
{
    try
    {
        m_socket.SendAll(frame);
    }
    catch (const CConnectionError& error)
    {
        Lose(error.what());
    }
}

Rsp::CPacketReader::CItem CRspSession::ReceiveItem(std::chrono::steady_clock::time_point deadline)
{
    for (;;)
    {
        if (std::optional<Rsp::CPacketReader::CItem> item = m_reader.Next())
            return std::move(*item);
        const auto left = std::chrono::duration_cast<CMilliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
        {
            m_late = true;
            throw CRspFailure(CRspFailure::Kind::Timeout,
                              "no reply within " + std::to_string(m_timeout.count()) + " ms");
        }
        std::array<char, 4096> buffer;
        std::size_t received = 0;
        try
        {
            received = m_socket.Receive(buffer.data(), buffer.size(), left + CMilliseconds(1));
        }
        catch (const CConnectionError& error)
        {
            Lose(error.what());
        }
        m_reader.Feed(std::string_view(buffer.data(), received));
    }
}

void CRspSession::DropLateReplies()
{
    if (!m_late)
        return;
    m_late = false;
    std::array<char, 4096> buffer;
    try
    {
        while (m_socket.IsReadable(CMilliseconds(0)))
            m_socket.Receive(buffer.data(), buffer.size(), CMilliseconds(0));
    }
    catch (const CConnectionError& error)
    {
        Lose(error.what());
    }
    m_reader.Reset();
}

std::string CRspSession::Exchange(const std::string& payload)
{
    if (!m_socket.IsOpen())
        throw CRspFailure(CRspFailure::Kind::Lost, "not connected");
    DropLateReplies();
    const std::string frame = Rsp::FramePacket(payload);
    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    Send(frame);
    int resends = 0;
    for (;;)
    {
        Rsp::CPacketReader::CItem item = ReceiveItem(deadline);
        switch (item.kind)
        {
        case Rsp::CPacketReader::Kind::Ack:
            break;
        case Rsp::CPacketReader::Kind::Nak:
            if (m_noAck)
                break;
            if (++resends > kMaxResends)
                throw CRspFailure(CRspFailure::Kind::Malformed,
                                  "the server refused the request " + std::to_string(resends) + " times");
            Send(frame);
            break;
        case Rsp::CPacketReader::Kind::BadChecksum:
            if (m_noAck)
            {
                // Nobody resends now: whatever else belongs to the reply is dropped later.
                m_late = true;
                throw CRspFailure(CRspFailure::Kind::Malformed, "a reply with a bad checksum");
            }
            if (++resends > kMaxResends)
                throw CRspFailure(CRspFailure::Kind::Malformed, "replies with bad checksums, " +
                                                                    std::to_string(resends) + " times");
            Send("-");
            break;
        case Rsp::CPacketReader::Kind::Packet:
            if (!m_noAck)
                Send("+");
            // Console output ("O" and hex text) is not the reply.
            if (item.payload.size() > 1 && item.payload[0] == 'O' && item.payload != "OK")
                break;
            return std::move(item.payload);
        }
    }
}

std::vector<std::uint8_t> CRspSession::ReadMemory(std::uint32_t address, std::size_t size)
{
    auto reply = Rsp::ParseReadReply(Exchange(Rsp::MakeReadRequest(address, size)), size);
    if (Rsp::CReplyProblem* problem = std::get_if<Rsp::CReplyProblem>(&reply))
        throw CRspFailure(problem->errorReply ? CRspFailure::Kind::ErrorReply : CRspFailure::Kind::Malformed,
                          problem->errorReply ? "the server answers " + problem->text : problem->text);
    return std::get<std::vector<std::uint8_t>>(std::move(reply));
}

void CRspSession::CheckWriteReply(const std::string& payload)
{
    if (std::optional<Rsp::CReplyProblem> problem = Rsp::ParseWriteReply(payload))
        throw CRspFailure(problem->errorReply ? CRspFailure::Kind::ErrorReply : CRspFailure::Kind::Malformed,
                          problem->errorReply ? "the server answers " + problem->text : problem->text);
}

void CRspSession::WriteMemory(std::uint32_t address, std::span<const std::uint8_t> bytes)
{
    if (m_binaryWrites != BinaryWrites::Refused)
    {
        std::string reply = Exchange(Rsp::MakeBinaryWriteRequest(address, bytes));
        // An empty reply to the first "X" says the server does not know it (and wrote nothing).
        if (!reply.empty() || m_binaryWrites == BinaryWrites::Accepted)
        {
            m_binaryWrites = BinaryWrites::Accepted;
            CheckWriteReply(reply);
            return;
        }
        m_binaryWrites = BinaryWrites::Refused;
    }
    CheckWriteReply(Exchange(Rsp::MakeWriteRequest(address, bytes)));
}
