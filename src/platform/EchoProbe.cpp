#include "platform/EchoProbe.h"

#include "platform/DottedAddress.h"
#include "platform/ExchangeWait.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>

namespace {

constexpr uint8_t kEchoRequest = 8;
constexpr uint8_t kEchoReply = 0;
constexpr size_t kRequestSize = 12;  // type, code, checksum, identifier, sequence, 32-bit tick
constexpr size_t kReceiveSize = 1024;

// A process-wide sequence number, one per request.
std::atomic<uint16_t> g_sequence{0};

bool resolve(const std::string& host, in_addr& address)
{
    if (const auto dotted = ParseDottedAddress(host)) {
        address.s_addr = htonl(*dotted);
        return true;
    }
    // The resolver would read "010.0.0.1" as octal and "0x0A.1" as hexadecimal: a number the
    // checks did not approve. Such a text names no host here.
    in_addr numeric{};
    if (inet_aton(host.c_str(), &numeric) != 0)
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

// The Internet checksum (RFC 1071).
uint16_t checksum(const uint8_t* data, size_t size)
{
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
    if (size % 2)
        sum += static_cast<uint32_t>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

void buildRequest(uint8_t (&request)[kRequestSize])
{
    std::memset(request, 0, sizeof request);
    request[0] = kEchoRequest;
    const uint16_t identifier = static_cast<uint16_t>(getpid() & 0xFFFF);
    const uint16_t sequence = g_sequence++;
    const auto ticks = static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    request[4] = static_cast<uint8_t>(identifier >> 8);
    request[5] = static_cast<uint8_t>(identifier);
    request[6] = static_cast<uint8_t>(sequence >> 8);
    request[7] = static_cast<uint8_t>(sequence);
    std::memcpy(request + 8, &ticks, sizeof ticks);
    const uint16_t sum = checksum(request, sizeof request);
    request[2] = static_cast<uint8_t>(sum >> 8);
    request[3] = static_cast<uint8_t>(sum);
}

// A raw socket delivers the IP header too, and every ICMP message of the host (our own
// request on loopback among them); a datagram socket delivers only the ICMP message.
bool isEchoReply(const uint8_t* data, size_t size, bool raw)
{
    size_t headerLength = 0;
    if (raw) {
        if (size < 1)
            return false;
        headerLength = static_cast<size_t>(data[0] & 0x0F) * 4;
    }
    return headerLength + kRequestSize <= size && data[headerLength] == kEchoReply;
}

class Socket {
public:
    Socket()
    {
        m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (m_fd < 0) {
            m_fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
            m_raw = true;
        }
    }
    ~Socket()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool open() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    bool raw() const { return m_raw; }

private:
    int m_fd = -1;
    bool m_raw = false;
};

// Waits at most waitMs for the socket to become readable. In a program with an event loop
// the loop runs meanwhile, as for a waiting exchange (ExchangeWait): the window paints, its
// timers and exchanges go on, and closing the window that probes ends the probe at once.
bool waitReadable(int fd, int waitMs)
{
    pollfd readable{fd, POLLIN, 0};
    if (!QCoreApplication::instance())
        return poll(&readable, 1, waitMs) > 0;
    ExchangeWait wait;
    return wait.Wait(fd, waitMs) && poll(&readable, 1, 0) > 0;
}

// One attempt: a request, then whatever arrives within the wait, until an echo reply.
bool attempt(const Socket& socket, const sockaddr_in& target, int waitMs)
{
    uint8_t request[kRequestSize];
    buildRequest(request);
    if (sendto(socket.fd(), request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&target), sizeof target) < 0)
        return false;  // unreachable from here: nobody can be using it on our network
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return false;
        if (!waitReadable(socket.fd(), static_cast<int>(left)))
            return false;
        uint8_t received[kReceiveSize];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size =
            recvfrom(socket.fd(), received, sizeof received, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size > 0 && from.sin_addr.s_addr == target.sin_addr.s_addr
            && isEchoReply(received, static_cast<size_t>(size), socket.raw()))
            return true;
    }
}

} // namespace

EchoResult ProbeEcho(const std::string& host, int attempts, int waitMs)
{
    sockaddr_in target{};
    target.sin_family = AF_INET;
    if (!resolve(host, target.sin_addr))
        return EchoResult::Unresolved;
    const Socket socket;
    if (!socket.open())
        return EchoResult::NoSocket;
    for (int i = 0; i < attempts; ++i)
        if (attempt(socket, target, waitMs))
            return EchoResult::Answered;
    return EchoResult::Silent;
}
