#include "gdbremote/Socket.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#endif

#include <memory>
#include <utility>

namespace {

#ifdef _WIN32
// Winsock is started once per process and stays: the DLL may connect again at any time.
void StartSockets()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        throw CConnectionError("Winsock cannot be started");
}
int CloseHandle(CSocketHandle handle) { return closesocket(handle); }
int GetLastSocketError() { return WSAGetLastError(); }
bool IsConnectPending(int error) { return error == WSAEWOULDBLOCK; }
void SetBlocking(CSocketHandle handle, bool blocking)
{
    u_long nonBlocking = blocking ? 0 : 1;
    ioctlsocket(handle, FIONBIO, &nonBlocking);
}
int Wait(CSocketHandle handle, short events, CMilliseconds timeout)
{
    WSAPOLLFD entry{handle, events, 0};
    return WSAPoll(&entry, 1, static_cast<INT>(timeout.count()));
}
using CSocketLength = int;
#else
void StartSockets() {}
int CloseHandle(CSocketHandle handle) { return close(handle); }
int GetLastSocketError() { return errno; }
bool IsConnectPending(int error) { return error == EINPROGRESS; }
void SetBlocking(CSocketHandle handle, bool blocking)
{
    const int flags = fcntl(handle, F_GETFL, 0);
    fcntl(handle, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK);
}
int Wait(CSocketHandle handle, short events, CMilliseconds timeout)
{
    pollfd entry{handle, events, 0};
    return poll(&entry, 1, static_cast<int>(timeout.count()));
}
using CSocketLength = socklen_t;
#endif

struct CAddressListDeleter
{
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

} // namespace

CSocket::CSocket(CSocket&& other) noexcept : m_handle(std::exchange(other.m_handle, kInvalid)) {}

CSocket& CSocket::operator=(CSocket&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_handle = std::exchange(other.m_handle, kInvalid);
    }
    return *this;
}

CSocket::~CSocket() { Close(); }

bool CSocket::IsOpen() const { return m_handle != kInvalid; }

void CSocket::Close()
{
    if (m_handle != kInvalid)
        CloseHandle(std::exchange(m_handle, kInvalid));
}

CSocket CSocket::Connect(const std::string& host, std::uint16_t port, CMilliseconds timeout)
{
    StartSockets();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
        throw CConnectionError("the host " + host + " is not found");
    const std::unique_ptr<addrinfo, CAddressListDeleter> addresses(found);

    CSocket socket(::socket(found->ai_family, found->ai_socktype, found->ai_protocol));
    if (!socket.IsOpen())
        throw CConnectionError("no socket can be made");
    SetBlocking(socket.m_handle, false);
    if (connect(socket.m_handle, found->ai_addr, static_cast<CSocketLength>(found->ai_addrlen)) != 0)
    {
        if (!IsConnectPending(GetLastSocketError()))
            throw CConnectionError("the connection to " + host + ":" + service + " is refused");
        if (Wait(socket.m_handle, POLLOUT, timeout) <= 0)
            throw CConnectionError("no connection to " + host + ":" + service + " within " +
                                   std::to_string(timeout.count()) + " ms");
        int error = 0;
        CSocketLength length = sizeof error;
        getsockopt(socket.m_handle, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
        if (error != 0)
            throw CConnectionError("the connection to " + host + ":" + service + " is refused");
    }
    SetBlocking(socket.m_handle, true);
    const int noDelay = 1;
    setsockopt(socket.m_handle, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    return socket;
}

CSocket CSocket::Listen()
{
    StartSockets();
    CSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (!socket.IsOpen() || bind(socket.m_handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(socket.m_handle, 4) != 0)
        throw CConnectionError("cannot listen on 127.0.0.1");
    return socket;
}

std::uint16_t CSocket::GetLocalPort() const
{
    sockaddr_in address{};
    CSocketLength length = sizeof address;
    getsockname(m_handle, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

CSocket CSocket::Accept(CMilliseconds timeout) const
{
    if (Wait(m_handle, POLLIN, timeout) <= 0)
        return CSocket();
    CSocket accepted(accept(m_handle, nullptr, nullptr));
    const int noDelay = 1;
    if (accepted.IsOpen())
        setsockopt(accepted.m_handle, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                   sizeof noDelay);
    return accepted;
}

void CSocket::SendAll(std::string_view bytes)
{
    while (!bytes.empty())
    {
        if (!IsOpen())
            throw CConnectionError("the connection is closed");
        const int sent = static_cast<int>(send(m_handle, bytes.data(), static_cast<int>(bytes.size()), 0));
        if (sent <= 0)
        {
            Close();
            throw CConnectionError("the connection is lost while sending");
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

bool CSocket::IsReadable(CMilliseconds timeout) const { return IsOpen() && Wait(m_handle, POLLIN, timeout) > 0; }

std::size_t CSocket::Receive(char* buffer, std::size_t capacity, CMilliseconds timeout)
{
    if (!IsOpen())
        throw CConnectionError("the connection is closed");
    if (Wait(m_handle, POLLIN, timeout) <= 0)
        return 0;
    const int received = static_cast<int>(recv(m_handle, buffer, static_cast<int>(capacity), 0));
    if (received <= 0)
    {
        Close();
        throw CConnectionError(received == 0 ? "the server closed the connection" : "the connection is broken");
    }
    return static_cast<std::size_t>(received);
}

bool SplitHostPort(std::string_view text, std::string& host, std::uint16_t& port)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size() || text.size() - colon > 6)
        return false;
    unsigned value = 0;
    for (char c : text.substr(colon + 1))
    {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value < 1 || value > 65535)
        return false;
    host = std::string(text.substr(0, colon));
    port = static_cast<std::uint16_t>(value);
    return true;
}
