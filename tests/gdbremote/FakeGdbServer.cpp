#include "FakeGdbServer.h"

#include "gdbremote/RspCodec.h"

#include <array>
#include <cstdio>
#include <optional>
#include <utility>

constexpr CMilliseconds kPoll(20);

CFakeGdbServer::CFakeGdbServer(bool offerNoAckMode, bool acceptBinaryWrites)
    : m_listener(CSocket::Listen()), m_offerNoAck(offerNoAckMode), m_acceptBinaryWrites(acceptBinaryWrites),
      m_thread([this] { Run(); })
{
}

CFakeGdbServer::~CFakeGdbServer()
{
    m_stop = true;
    m_thread.join();
}

void CFakeGdbServer::SetMemory(std::uint32_t address, const std::vector<std::uint8_t>& bytes)
{
    std::lock_guard guard(m_lock);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        m_memory[address + static_cast<std::uint32_t>(i)] = bytes[i];
}

std::vector<std::uint8_t> CFakeGdbServer::GetMemory(std::uint32_t address, std::size_t size)
{
    std::lock_guard guard(m_lock);
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < size; ++i)
        bytes.push_back(m_memory[address + static_cast<std::uint32_t>(i)]); // unknown bytes read as 0
    return bytes;
}

void CFakeGdbServer::ArmFault(FakeFault fault)
{
    std::lock_guard guard(m_lock);
    m_fault = fault;
}

std::vector<std::string> CFakeGdbServer::GetMemoryRequests()
{
    std::lock_guard guard(m_lock);
    return m_requests;
}

void CFakeGdbServer::Run()
{
    while (!m_stop)
    {
        CSocket client = m_listener.Accept(kPoll);
        if (!client.IsOpen())
            continue;
        try
        {
            Serve(client);
        }
        catch (const CConnectionError&)
        {
            // The client went away: wait for the next one.
        }
    }
}

std::string CFakeGdbServer::Answer(const std::string& request, bool& noAck)
{
    if (request.starts_with("qSupported"))
        return m_offerNoAck ? "PacketSize=4000;QStartNoAckMode+" : "PacketSize=4000";
    if (request == "QStartNoAckMode" && m_offerNoAck)
    {
        noAck = true;
        return "OK";
    }
    unsigned address = 0, size = 0;
    std::sscanf(request.c_str() + 1, "%x,%x", &address, &size);
    const std::string data = request.substr(request.find(':') + 1);
    if (request.starts_with("m"))
        return Rsp::EncodeHex(GetMemory(address, size));
    // Writes are taken as sent: the tests compare the requests themselves.
    if (request.starts_with("M"))
    {
        SetMemory(address, Rsp::DecodeHex(data).value_or(std::vector<std::uint8_t>()));
        return "OK";
    }
    if (request.starts_with("X") && m_acceptBinaryWrites)
    {
        SetMemory(address, std::vector<std::uint8_t>(data.begin(), data.end()));
        return "OK";
    }
    return "";
}

void CFakeGdbServer::Serve(CSocket& client)
{
    Rsp::CPacketReader reader;
    bool noAck = false;
    std::string lastReply;
    while (!m_stop)
    {
        std::array<char, 4096> buffer;
        const std::size_t received = client.Receive(buffer.data(), buffer.size(), kPoll);
        reader.Feed(std::string_view(buffer.data(), received));
        while (std::optional<Rsp::CPacketReader::CItem> item = reader.Next())
        {
            if (item->kind == Rsp::CPacketReader::Kind::Nak && !lastReply.empty())
            {
                client.SendAll(lastReply);
                continue;
            }
            if (item->kind != Rsp::CPacketReader::Kind::Packet)
                continue;
            const std::string& request = item->payload;
            FakeFault fault = FakeFault::None;
            if (request.find_first_of("mMX") == 0)
            {
                std::lock_guard guard(m_lock);
                m_requests.push_back(request);
                fault = std::exchange(m_fault, FakeFault::None);
            }
            if (!noAck)
            {
                if (fault == FakeFault::Nak)
                {
                    client.SendAll("-");
                    continue; // the client sends the request again
                }
                client.SendAll("+");
            }
            lastReply = Rsp::FramePacket(Answer(request, noAck));
            switch (fault)
            {
            case FakeFault::BadChecksum:
                client.SendAll(lastReply.substr(0, lastReply.size() - 1) + (lastReply.back() == '0' ? '1' : '0'));
                break;
            case FakeFault::ErrorReply:
            case FakeFault::NotHex:
                client.SendAll(lastReply = Rsp::FramePacket(fault == FakeFault::ErrorReply ? "E01" : "zz"));
                break;
            case FakeFault::Silence:
                break;
            case FakeFault::LateReply:
                std::this_thread::sleep_for(CMilliseconds(500));
                client.SendAll(lastReply);
                m_lateReplySent.set_value();
                break;
            case FakeFault::CloseMidReply:
                client.SendAll(lastReply.substr(0, lastReply.size() / 2));
                client.Close();
                return;
            default:
                client.SendAll(lastReply);
                break;
            }
        }
    }
}
