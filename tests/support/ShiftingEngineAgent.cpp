#include "support/ShiftingEngineAgent.h"

#include "support/Ber.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace {

using namespace Ber;

// The message ID of an SNMPv3 message, which a report must repeat to be matched.
std::optional<long long> MessageId(const std::string& message)
{
    size_t at = 0, start = 0, length = 0;
    unsigned char tag = 0;
    if (!ReadTlv(message, at, tag, start, length) || tag != 0x30)
        return std::nullopt;
    if (!ReadTlv(message, at, tag, start, length) || tag != 0x02 || ReadInteger(message, start, length) != 3)
        return std::nullopt;
    at = start + length;
    if (!ReadTlv(message, at, tag, start, length) || tag != 0x30)  // msgGlobalData
        return std::nullopt;
    if (!ReadTlv(message, at, tag, start, length) || tag != 0x02)
        return std::nullopt;
    return ReadInteger(message, start, length);
}

std::string Report(long long messageId, const std::string& engineId, int reports)
{
    const std::string global = Sequence(Integer(messageId) + Integer(65507) + Octets(std::string(1, '\0')) + Integer(3));
    const std::string security =
        Octets(Sequence(Octets(engineId) + Integer(1) + Integer(100) + Octets("") + Octets("") + Octets("")));
    // usmStatsUnknownEngineIDs.0, a Counter32
    const std::string oid = Tlv(0x06, std::string("\x2b\x06\x01\x06\x03\x0f\x01\x01\x04\x00", 10));
    const std::string bindings = Sequence(Sequence(oid + Integer(reports, 0x41)));
    const std::string pdu = Tlv(0xA8, Integer(messageId) + Integer(0) + Integer(0) + bindings);
    const std::string scoped = Sequence(Octets(engineId) + Octets("") + pdu);
    return Sequence(Integer(3) + global + security + scoped);
}

}  // namespace

ShiftingEngineAgent::ShiftingEngineAgent()
{
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) < 0) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

ShiftingEngineAgent::~ShiftingEngineAgent()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
}

void ShiftingEngineAgent::serve()
{
    while (!m_stop) {
        pollfd waiting{m_fd, POLLIN, 0};
        if (::poll(&waiting, 1, 50) <= 0)
            continue;
        char buffer[4096];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n <= 0)
            continue;
        const std::optional<long long> id = MessageId(std::string(buffer, static_cast<size_t>(n)));
        if (!id)
            continue;  // not SNMPv3: no answer
        const int count = ++m_reports;
        // An engine ID in the enterprise format (RFC 3411): enterprise 32473, then octets.
        std::string engineId("\x80\x00\x7e\xd9\x04shift", 10);
        engineId += std::to_string(count);
        const std::string report = Report(*id, engineId, count);
        ::sendto(m_fd, report.data(), report.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
    }
}
