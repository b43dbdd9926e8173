#include "support/BulkSpoilingProxy.h"

#include "support/Ber.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Ber;

namespace {

constexpr unsigned char kGet = 0xA0;
constexpr unsigned char kGetNext = 0xA1;
constexpr unsigned char kResponse = 0xA2;
constexpr unsigned char kGetBulk = 0xA5;
constexpr int kTooBig = 1;
constexpr int kGenErr = 5;

int LoopbackSocket(uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) < 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// The parts of an SNMPv1 / SNMPv2c message: version and community as they stand, the PDU's
// type, request ID, its two numbers and its bindings.
struct Message {
    std::string head;  // version and community TLVs
    unsigned char type = 0;
    std::string requestId;  // its TLV
    long long second = 0;   // error status, or non-repeaters
    long long third = 0;    // error index, or max-repetitions
    std::string bindings;   // the content of the binding list
};

bool Parse(const std::string& data, Message& m)
{
    size_t at = 0, start = 0, length = 0;
    unsigned char tag = 0;
    if (!ReadTlv(data, at, tag, start, length) || tag != 0x30)
        return false;
    const size_t headStart = at;
    if (!ReadTlv(data, at, tag, start, length) || tag != 0x02)
        return false;
    at = start + length;
    if (!ReadTlv(data, at, tag, start, length) || tag != 0x04)
        return false;
    at = start + length;
    m.head = data.substr(headStart, at - headStart);
    if (!ReadTlv(data, at, m.type, start, length))
        return false;
    const size_t idStart = at;
    if (!ReadTlv(data, at, tag, start, length))
        return false;
    at = start + length;
    m.requestId = data.substr(idStart, at - idStart);
    for (long long* number : {&m.second, &m.third}) {
        if (!ReadTlv(data, at, tag, start, length))
            return false;
        *number = ReadInteger(data, start, length);
        at = start + length;
    }
    if (!ReadTlv(data, at, tag, start, length) || tag != 0x30)
        return false;
    m.bindings = data.substr(start, length);
    return true;
}

// Visits the name of each binding of a list: its whole TLV and its content.
template <typename Visit>
void EachName(const std::string& bindings, Visit visit)
{
    size_t at = 0, start = 0, length = 0;
    unsigned char tag = 0;
    while (at < bindings.size() && ReadTlv(bindings, at, tag, start, length)) {
        const size_t end = start + length;
        size_t inner = start, nameStart = 0, nameLength = 0;
        if (!ReadTlv(bindings, inner, tag, nameStart, nameLength))
            break;
        visit(bindings.substr(start, nameStart + nameLength - start), bindings.substr(nameStart, nameLength));
        at = end;
    }
}

// Every binding of the list with its name kept and its value replaced.
std::string Revalued(const std::string& bindings, const std::string& value)
{
    std::string out;
    EachName(bindings, [&](const std::string& name, const std::string&) { out += Sequence(name + value); });
    return out;
}

size_t CountBindings(const std::string& bindings)
{
    size_t count = 0, at = 0, start = 0, length = 0;
    unsigned char tag = 0;
    while (at < bindings.size() && ReadTlv(bindings, at, tag, start, length)) {
        ++count;
        at = start + length;
    }
    return count;
}

// The sub-identifiers of an OID's BER content, and back.
std::vector<uint32_t> SubIds(const std::string& content)
{
    std::vector<uint32_t> oid;
    uint32_t value = 0;
    for (const char c : content) {
        const auto byte = static_cast<unsigned char>(c);
        value = value << 7 | (byte & 0x7F);
        if (byte & 0x80)
            continue;
        if (oid.empty()) {
            oid.push_back(value < 80 ? value / 40 : 2);
            oid.push_back(value < 80 ? value % 40 : value - 80);
        } else {
            oid.push_back(value);
        }
        value = 0;
    }
    return oid;
}

std::string OidTlv(const std::vector<uint32_t>& oid)
{
    std::string content;
    for (size_t i = 1; i < oid.size(); ++i) {
        uint32_t value = i == 1 ? oid[0] * 40 + oid[1] : oid[i];
        std::string bytes(1, static_cast<char>(value & 0x7F));
        while (value >>= 7)
            bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
        content += bytes;
    }
    return Tlv(0x06, content);
}

// The names of the bindings of a list.
std::vector<std::vector<uint32_t>> Names(const std::string& bindings)
{
    std::vector<std::vector<uint32_t>> names;
    EachName(bindings, [&](const std::string&, const std::string& content) { names.push_back(SubIds(content)); });
    return names;
}

// The rows no agent holds: column.99999.k.
constexpr uint32_t kInventedRows = 99999;

// What a misbehaving walk answers to a get-next of name.
std::vector<uint32_t> Following(std::vector<uint32_t> name, bool looping)
{
    if (name.size() >= 2 && name[name.size() - 2] == kInventedRows) {
        uint32_t& row = name.back();
        row = looping ? (row == 1 ? 2 : 1) : row + 1;
        return name;
    }
    name.push_back(kInventedRows);
    name.push_back(1);
    return name;
}

// The bindings that answer a get-next (one for each asked) or a get-bulk (its non-repeaters
// once, the others row after row) inside the columns asked.
std::string WalkWithoutEnd(const Message& m, bool looping)
{
    std::vector<std::vector<uint32_t>> names = Names(m.bindings);
    const bool bulk = m.type == kGetBulk;
    const size_t nonRepeaters =
        bulk ? std::min(static_cast<size_t>(std::max(0LL, m.second)), names.size()) : names.size();
    const long long rows = bulk ? std::clamp(m.third, 0LL, 100LL) : 0;
    std::string bindings;
    for (size_t n = 0; n < nonRepeaters; ++n)
        bindings += Sequence(OidTlv(Following(names[n], looping)) + Integer(7));
    for (long long row = 0; row < rows; ++row) {
        for (size_t n = nonRepeaters; n < names.size(); ++n) {
            names[n] = Following(names[n], looping);
            bindings += Sequence(OidTlv(names[n]) + Integer(7));
        }
    }
    return bindings;
}

}  // namespace

struct BulkSpoilingProxy::Peer {
    sockaddr_in address{};
    socklen_t length = 0;
};

BulkSpoilingProxy::BulkSpoilingProxy(uint16_t agentPort, Spoil spoil, int bulkLimit)
    : m_spoil(spoil), m_bulkLimit(bulkLimit), m_manager(new Peer)
{
    m_front = LoopbackSocket(m_port);
    uint16_t ignored = 0;
    m_back = LoopbackSocket(ignored);
    sockaddr_in agent{};
    agent.sin_family = AF_INET;
    agent.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    agent.sin_port = htons(agentPort);
    if (m_back >= 0 && ::connect(m_back, reinterpret_cast<sockaddr*>(&agent), sizeof agent) < 0) {
        ::close(m_back);
        m_back = -1;
    }
    if (started())
        m_thread = std::thread([this] { serve(); });
}

BulkSpoilingProxy::~BulkSpoilingProxy()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : {m_front, m_back})
        if (fd >= 0)
            ::close(fd);
    delete m_manager;
}

void BulkSpoilingProxy::serve()
{
    while (!m_stop) {
        pollfd waiting[2] = {{m_front, POLLIN, 0}, {m_back, POLLIN, 0}};
        if (::poll(waiting, 2, 50) <= 0)
            continue;
        char buffer[65536];
        if (waiting[0].revents & POLLIN) {
            m_manager->length = sizeof m_manager->address;
            const ssize_t n = ::recvfrom(m_front, buffer, sizeof buffer, 0,
                                         reinterpret_cast<sockaddr*>(&m_manager->address), &m_manager->length);
            if (n > 0)
                fromManager(std::string(buffer, static_cast<size_t>(n)));
        }
        if (waiting[1].revents & POLLIN) {
            const ssize_t n = ::recv(m_back, buffer, sizeof buffer, 0);
            if (n > 0 && m_manager->length)
                ::sendto(m_front, buffer, static_cast<size_t>(n), 0,
                         reinterpret_cast<sockaddr*>(&m_manager->address), m_manager->length);
        }
    }
}

void BulkSpoilingProxy::fromManager(const std::string& data)
{
    Message m;
    const bool parsed = Parse(data, m);
    if (parsed && m.type == kGetNext)
        ++m_next;
    if (parsed && m.type == kGet) {
        ++m_get;
        if (m_spoil == Spoil::TooBigGet && CountBindings(m.bindings) > static_cast<size_t>(m_bulkLimit)) {
            const std::string reply = Sequence(
                m.head + Tlv(kResponse, m.requestId + Integer(kTooBig) + Integer(0) + Sequence(m.bindings)));
            ::sendto(m_front, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&m_manager->address),
                     m_manager->length);
            return;
        }
    }
    const bool walkWithoutEnd = m_spoil == Spoil::Looping || m_spoil == Spoil::Endless;
    if (parsed && walkWithoutEnd && (m.type == kGetNext || m.type == kGetBulk)) {
        if (m.type == kGetBulk)
            ++m_bulk;
        const std::string bindings = WalkWithoutEnd(m, m_spoil == Spoil::Looping);
        const std::string reply =
            Sequence(m.head + Tlv(kResponse, m.requestId + Integer(0) + Integer(0) + Sequence(bindings)));
        ::sendto(m_front, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&m_manager->address),
                 m_manager->length);
        return;
    }
    if (!parsed || m.type != kGetBulk) {
        ::send(m_back, data.data(), data.size(), 0);
        return;
    }
    ++m_bulk;
    const int repetitions = static_cast<int>(m.third);
    std::string answer;
    switch (m_spoil) {
    case Spoil::None:
    case Spoil::TooBigGet:
    case Spoil::Looping:
    case Spoil::Endless:
        break;
    case Spoil::GenErr:
        answer = Integer(kGenErr) + Integer(1) + Sequence(m.bindings);
        break;
    case Spoil::TooBig:
        if (repetitions > m_bulkLimit)
            answer = Integer(kTooBig) + Integer(0) + Sequence(m.bindings);
        break;
    case Spoil::NoProgress:
        answer = Integer(0) + Integer(0) + Sequence(Revalued(m.bindings, Integer(7)));
        break;
    case Spoil::WrongType:
        answer = Integer(0) + Integer(0) + Sequence(Revalued(m.bindings, Tlv(0x81, "")));
        break;
    }
    if (answer.empty()) {
        if (repetitions > m_largestPassed)
            m_largestPassed = repetitions;
        ::send(m_back, data.data(), data.size(), 0);
        return;
    }
    const std::string reply = Sequence(m.head + Tlv(kResponse, m.requestId + answer));
    ::sendto(m_front, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&m_manager->address),
             m_manager->length);
}
