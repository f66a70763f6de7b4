#pragma once
// A TCP connection with timeouts: Winsock on Windows, BSD sockets natively
// (where the tests run under the sanitizers).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <winsock2.h>
using CSocketHandle = SOCKET;
#else
using CSocketHandle = int;
#endif

using CMilliseconds = std::chrono::milliseconds;

// A connection that cannot be made or is lost.
class CConnectionError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class CSocket
{
public:
    CSocket() = default;
    explicit CSocket(CSocketHandle handle) : m_handle(handle) {}
    CSocket(CSocket&& other) noexcept;
    CSocket& operator=(CSocket&& other) noexcept;
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;
    ~CSocket();

    // A connection to host:port within the timeout, with Nagle's delay off:
    // every request is one small packet that waits for its answer.
    static CSocket Connect(const std::string& host, std::uint16_t port, CMilliseconds timeout);
    // A socket listening on 127.0.0.1 at a port the system picks (tests).
    static CSocket Listen();
    std::uint16_t GetLocalPort() const;
    // The next connection, within the timeout.
    CSocket Accept(CMilliseconds timeout) const;

    bool IsOpen() const;
    void Close();
    void SendAll(std::string_view bytes);
    // Up to capacity bytes, 0 when none came within the timeout; throws when
    // the peer closed the connection or it broke.
    std::size_t Receive(char* buffer, std::size_t capacity, CMilliseconds timeout);
    // Whether bytes (or the end) wait to be received.
    bool IsReadable(CMilliseconds timeout) const;

private:
    CSocketHandle m_handle = kInvalid;
#ifdef _WIN32
    static constexpr CSocketHandle kInvalid = INVALID_SOCKET;
#else
    static constexpr CSocketHandle kInvalid = -1;
#endif
};

// "host:port" split; false when the port is not 1 to 65535.
bool SplitHostPort(std::string_view text, std::string& host, std::uint16_t& port);
