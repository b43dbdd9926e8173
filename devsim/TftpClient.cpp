#include "TftpClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

enum Opcode : uint16_t { kRrq = 1, kWrq = 2, kData = 3, kAck = 4, kError = 5 };
constexpr size_t kBlock = 512;

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

std::string Numbered(Opcode opcode, uint16_t number, const char* payload = nullptr, size_t length = 0)
{
    std::string packet;
    packet.reserve(4 + length);
    packet += static_cast<char>(0);
    packet += static_cast<char>(opcode);
    packet += static_cast<char>(number >> 8);
    packet += static_cast<char>(number & 0xFF);
    if (length)
        packet.append(payload, length);
    return packet;
}

uint16_t Word(const char* packet, size_t at)
{
    return static_cast<uint16_t>((static_cast<unsigned char>(packet[at]) << 8) |
                                 static_cast<unsigned char>(packet[at + 1]));
}

std::string ErrorText(const char* packet, size_t size)
{
    const std::string text = size > 4 ? std::string(packet + 4, strnlen(packet + 4, size - 4)) : std::string();
    return "server error " + std::to_string(Word(packet, 2)) + (text.empty() ? "" : ": " + text);
}

}  // namespace

std::unique_ptr<TftpTransfer> TftpTransfer::Read(const TftpEndpoint& server, const std::string& fileName)
{
    std::unique_ptr<TftpTransfer> transfer(new TftpTransfer(server, Direction::Read, {}));
    transfer->m_block = 1;
    transfer->start(Request(kRrq, fileName));
    return transfer;
}

std::unique_ptr<TftpTransfer> TftpTransfer::Write(const TftpEndpoint& server, const std::string& fileName,
                                                  std::string data)
{
    std::unique_ptr<TftpTransfer> transfer(new TftpTransfer(server, Direction::Write, std::move(data)));
    transfer->m_block = 0;
    transfer->start(Request(kWrq, fileName));
    return transfer;
}

TftpTransfer::TftpTransfer(const TftpEndpoint& server, Direction direction, std::string data)
    : m_server(server), m_direction(direction), m_data(std::move(data))
{
}

TftpTransfer::~TftpTransfer()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void TftpTransfer::start(const std::string& request)
{
    in_addr peer{};
    if (::inet_pton(AF_INET, m_server.address.c_str(), &peer) != 1)
        return fail("the server address '" + m_server.address + "' is not an IPv4 address");
    m_peer = peer.s_addr;
    m_peerPort = htons(m_server.port);
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return fail(std::string("cannot open a UDP socket: ") + std::strerror(errno));
    // A device sends from its own address: a server that serves each device only its own
    // file tells the devices of one host apart by it.
    if (!m_server.localAddress.empty()) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        if (::inet_pton(AF_INET, m_server.localAddress.c_str(), &local.sin_addr) != 1 ||
            ::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) < 0)
            return fail("cannot send from " + m_server.localAddress + ": " + std::strerror(errno));
    }
    send(request);
}

void TftpTransfer::send(std::string packet)
{
    m_packet = std::move(packet);
    m_sends = 0;
    transmit();
}

void TftpTransfer::expire(Clock::time_point now)
{
    if (!m_ended && now >= m_deadline)
        transmit();
}

void TftpTransfer::transmit()
{
    if (m_sends > m_server.retries)
        return fail("no answer from " + m_server.address + ":" + std::to_string(m_server.port) + " (time-out)");
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = m_peer;
    to.sin_port = m_peerPort;
    if (::sendto(m_fd, m_packet.data(), m_packet.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0)
        return fail(std::string("send failed: ") + std::strerror(errno));
    ++m_sends;
    m_deadline = Clock::now() + std::chrono::milliseconds(m_server.timeoutMs);
}

void TftpTransfer::receive()
{
    // One datagram a call: in lock-step there is rarely a second, and the agent's loop comes
    // back while one waits, so looking for more would cost a failing system call per block.
    char buffer[kBlock + 4 + 512];
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t n = ::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (m_ended || n < 4 || from.sin_addr.s_addr != m_peer)
        return;
    if (m_tidKnown && from.sin_port != m_peerPort) {
        // Another transfer ID of the same host: told so, and the transfer goes on.
        const std::string reject = Numbered(kError, 5, "Unknown transfer ID", sizeof "Unknown transfer ID");
        ::sendto(m_fd, reject.data(), reject.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
        return;
    }
    if (Word(buffer, 0) == kError)
        return fail(ErrorText(buffer, static_cast<size_t>(n)));
    if (!m_tidKnown) {
        m_peerPort = from.sin_port;  // the server's transfer ID from now on
        m_tidKnown = true;
    }
    answered(buffer, static_cast<size_t>(n));
}

// A packet of the server's transfer ID. Duplicates and strays are passed over: the deadline
// of the last packet sent stays, so they cannot keep a dead transfer alive.
void TftpTransfer::answered(const char* packet, size_t size)
{
    if (m_direction == Direction::Read) {
        if (Word(packet, 0) != kData || Word(packet, 2) != m_block)
            return;
        m_result.data.append(packet + 4, size - 4);
        if (m_result.data.size() > kTftpMaxFileBytes)
            return fail("the file is larger than the device accepts");
        const std::string acknowledgement = Numbered(kAck, m_block++);
        if (size - 4 < kBlock) {
            // The final acknowledgement is not answered.
            send(acknowledgement);
            return finish(true);
        }
        return send(acknowledgement);
    }
    if (Word(packet, 0) != kAck || Word(packet, 2) != m_block)
        return;
    if (m_lastSent)
        return finish(true);
    const size_t length = std::min(kBlock, m_data.size() - m_offset);
    const char* chunk = m_data.data() + m_offset;
    m_offset += length;
    m_lastSent = length < kBlock;
    send(Numbered(kData, ++m_block, chunk, length));
}

void TftpTransfer::finish(bool ok)
{
    m_result.ok = ok && m_result.error.empty();
    if (!m_result.ok)
        m_result.data.clear();
    m_ended = true;
}

void TftpTransfer::fail(const std::string& why)
{
    if (m_result.error.empty())
        m_result.error = why;
    finish(false);
}
