#include "TftpClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

enum Opcode : uint16_t { kRrq = 1, kWrq = 2, kData = 3, kAck = 4, kError = 5 };
constexpr size_t kBlock = 512;

class Socket {
public:
    Socket() : m_fd(::socket(AF_INET, SOCK_DGRAM, 0)) {}
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int fd() const { return m_fd; }

private:
    int m_fd;
};

std::string Request(Opcode opcode, const std::string& fileName)
{
    std::string packet;
    packet += static_cast<char>(0);
    packet += static_cast<char>(opcode);
    packet += fileName;
    packet += '\0';
    packet += "octet";
    packet += '\0';
    return packet;
}

std::string Numbered(Opcode opcode, uint16_t number, const std::string& payload = {})
{
    std::string packet;
    packet += static_cast<char>(0);
    packet += static_cast<char>(opcode);
    packet += static_cast<char>(number >> 8);
    packet += static_cast<char>(number & 0xFF);
    packet += payload;
    return packet;
}

uint16_t Word(const std::string& packet, size_t at)
{
    return static_cast<uint16_t>((static_cast<unsigned char>(packet[at]) << 8) |
                                 static_cast<unsigned char>(packet[at + 1]));
}

std::string ErrorText(const std::string& packet)
{
    std::string text = packet.size() > 4 ? std::string(packet.c_str() + 4) : std::string();
    return "server error " + std::to_string(Word(packet, 2)) + (text.empty() ? "" : ": " + text);
}

// One lock-step exchange: sends `packet` to `to` and waits for a datagram from the server's
// address. Packets from another transfer ID of the same host are answered with error 5.
class Exchange {
public:
    Exchange(const TftpEndpoint& server, TftpResult& result) : m_server(server), m_result(result)
    {
        std::memset(&m_to, 0, sizeof m_to);
        m_to.sin_family = AF_INET;
        m_to.sin_port = htons(server.port);
        if (::inet_pton(AF_INET, server.address.c_str(), &m_to.sin_addr) != 1)
            fail("the server address '" + server.address + "' is not an IPv4 address");
        else if (m_socket.fd() < 0)
            fail(std::string("cannot open a UDP socket: ") + std::strerror(errno));
        else if (!server.localAddress.empty())
            bindLocal(server.localAddress);
    }

    // A device sends from its own address: a server that serves each device only its own
    // file tells the devices of one host apart by it.
    void bindLocal(const std::string& address)
    {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        if (::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 ||
            ::bind(m_socket.fd(), reinterpret_cast<sockaddr*>(&local), sizeof local) < 0)
            fail("cannot send from " + address + ": " + std::strerror(errno));
    }

    bool failed() const { return !m_result.error.empty(); }
    void fail(const std::string& why)
    {
        if (m_result.error.empty())
            m_result.error = why;
    }

    // Sends the packet (again on each time-out) until `accept` takes an answer.
    template <typename Accept>
    bool send(const std::string& packet, Accept accept)
    {
        for (int attempt = 0; attempt <= m_server.retries && !failed(); ++attempt) {
            if (::sendto(m_socket.fd(), packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&m_to),
                         sizeof m_to) < 0) {
                fail(std::string("send failed: ") + std::strerror(errno));
                return false;
            }
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_server.timeoutMs);
            while (!failed()) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                      deadline - std::chrono::steady_clock::now())
                                      .count();
                if (left <= 0)
                    break;
                pollfd waiting{m_socket.fd(), POLLIN, 0};
                if (::poll(&waiting, 1, static_cast<int>(left)) <= 0)
                    continue;
                char buffer[kBlock + 4 + 512];
                sockaddr_in from{};
                socklen_t fromLength = sizeof from;
                const ssize_t n = ::recvfrom(m_socket.fd(), buffer, sizeof buffer, 0,
                                             reinterpret_cast<sockaddr*>(&from), &fromLength);
                if (n < 4 || from.sin_addr.s_addr != m_to.sin_addr.s_addr)
                    continue;
                if (m_tidKnown && from.sin_port != m_to.sin_port) {
                    const std::string reject = Numbered(kError, 5, std::string("Unknown transfer ID") + '\0');
                    ::sendto(m_socket.fd(), reject.data(), reject.size(), 0, reinterpret_cast<sockaddr*>(&from),
                             fromLength);
                    continue;
                }
                const std::string answer(buffer, static_cast<size_t>(n));
                if (Word(answer, 0) == kError) {
                    fail(ErrorText(answer));
                    return false;
                }
                if (!m_tidKnown) {
                    m_to.sin_port = from.sin_port;  // the server's transfer ID from now on
                    m_tidKnown = true;
                }
                if (accept(answer))
                    return true;
            }
        }
        fail("no answer from " + m_server.address + ":" + std::to_string(m_server.port) + " (time-out)");
        return false;
    }

    void sendOnly(const std::string& packet)
    {
        ::sendto(m_socket.fd(), packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&m_to), sizeof m_to);
    }

private:
    TftpEndpoint m_server;
    TftpResult& m_result;
    Socket m_socket;
    sockaddr_in m_to{};
    bool m_tidKnown = false;
};

}  // namespace

TftpResult TftpRead(const TftpEndpoint& server, const std::string& fileName)
{
    TftpResult result;
    Exchange exchange(server, result);
    std::string packet = Request(kRrq, fileName);
    uint16_t expected = 1;
    bool done = false;
    while (!done && !exchange.failed()) {
        const bool answered = exchange.send(packet, [&](const std::string& answer) {
            if (Word(answer, 0) != kData || Word(answer, 2) != expected)
                return false;  // a duplicate or stray packet: keep waiting
            result.data.append(answer, 4, std::string::npos);
            if (result.data.size() > kTftpMaxFileBytes) {
                exchange.fail("the file is larger than the device accepts");
                return true;
            }
            done = answer.size() - 4 < kBlock;
            return true;
        });
        if (!answered || exchange.failed())
            break;
        packet = Numbered(kAck, expected);
        ++expected;
        if (done)
            exchange.sendOnly(packet);  // the final acknowledgement is not answered
    }
    result.ok = done && !exchange.failed();
    if (!result.ok)
        result.data.clear();
    return result;
}

TftpResult TftpWrite(const TftpEndpoint& server, const std::string& fileName, const std::string& data)
{
    TftpResult result;
    Exchange exchange(server, result);
    std::string packet = Request(kWrq, fileName);
    uint16_t acknowledged = 0;
    size_t offset = 0;
    bool lastSent = false;
    while (!exchange.failed()) {
        const uint16_t wanted = acknowledged;
        const bool answered = exchange.send(packet, [&](const std::string& answer) {
            return Word(answer, 0) == kAck && Word(answer, 2) == wanted;
        });
        if (!answered)
            break;
        if (lastSent) {
            result.ok = true;
            break;
        }
        const std::string chunk = data.substr(offset, kBlock);
        offset += chunk.size();
        lastSent = chunk.size() < kBlock;
        ++acknowledged;
        packet = Numbered(kData, acknowledged, chunk);
    }
    return result;
}
