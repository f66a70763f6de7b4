#pragma once
// A GDB server of our own for the tests: serves qSupported, QStartNoAckMode,
// m, M and (unless told not to) X over a memory map on 127.0.0.1, one client at a time, and
// misbehaves on request: one armed fault spoils the next memory request.

#include "gdbremote/Socket.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

enum class FakeFault
{
    None,
    Nak,           // answers the request with '-' once (acknowledgement mode)
    BadChecksum,   // sends the reply with a wrong checksum, then as it should on '-'
    ErrorReply,    // answers "E01"
    Silence,       // does not answer
    LateReply,     // answers after half a second
    CloseMidReply, // sends half a reply and closes the connection
    NotHex,        // answers with a packet that is not data
};

class CFakeGdbServer
{
public:
    explicit CFakeGdbServer(bool offerNoAckMode = true, bool acceptBinaryWrites = true);
    ~CFakeGdbServer();

    std::uint16_t GetPort() const { return m_listener.GetLocalPort(); }

    void SetMemory(std::uint32_t address, const std::vector<std::uint8_t>& bytes);
    std::vector<std::uint8_t> GetMemory(std::uint32_t address, std::size_t size);
    void ArmFault(FakeFault fault);
    // Memory requests ("m...", "M..." and "X...", unescaped) received, in order.
    std::vector<std::string> GetMemoryRequests();
    // Whether the reply that LateReply held back was sent within a few
    // seconds. A fake serves one late reply: arm LateReply once.
    bool WaitForLateReply() { return m_lateReply.wait_for(std::chrono::seconds(5)) == std::future_status::ready; }

private:
    void Run();
    void Serve(CSocket& client);
    // The reply to a request; empty for one not supported.
    std::string Answer(const std::string& request, bool& noAck);

    CSocket m_listener;
    std::mutex m_lock;
    std::map<std::uint32_t, std::uint8_t> m_memory;
    FakeFault m_fault = FakeFault::None;
    std::vector<std::string> m_requests;
    std::promise<void> m_lateReplySent;
    std::shared_future<void> m_lateReply = m_lateReplySent.get_future().share();
    bool m_offerNoAck;
    bool m_acceptBinaryWrites;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
