#include "tftp/TftpServerCore.h"

#include "tftp/TftpPacket.h"

#include <algorithm>

namespace {

// What a requester is told when this host has no socket left for its transfer.
const QByteArray kNoSocketMessage = QByteArrayLiteral("Server cannot open a socket for this transfer");

} // namespace

bool TftpExpected::operator==(const TftpExpected& other) const
{
    return direction == other.direction && fileName == other.fileName
        && peer.isEqual(other.peer, QHostAddress::ConvertV4MappedToIPv4);
}

TftpServerCore::TftpServerCore(ChannelFactory channels, TftpClock clock, ListenerReply reply)
    : m_channels(std::move(channels)), m_clock(std::move(clock)), m_reply(std::move(reply))
{
}

void TftpServerCore::expect(const TftpExpected& transfer)
{
    if (std::find(m_expected.begin(), m_expected.end(), transfer) == m_expected.end())
        m_expected.push_back(transfer);
}

void TftpServerCore::forget(const TftpExpected& transfer)
{
    std::erase(m_expected, transfer);
}

bool TftpServerCore::admits(const QHostAddress& from, const QString& fileName, int direction) const
{
    if (!m_onlyExpected)
        return true;
    const TftpExpected request{from, fileName, direction};
    return std::find(m_expected.begin(), m_expected.end(), request) != m_expected.end();
}

void TftpServerCore::reply(const QByteArray& datagram, const QHostAddress& to, uint16_t port) const
{
    if (m_reply)
        m_reply(datagram, to, port);
}

void TftpServerCore::refuse(const TftpPacket::Request& request, const QHostAddress& from, uint16_t fromPort,
                            const QString& why)
{
    reply(TftpPacket::error(TftpPacket::AccessViolation, m_explain ? why.toUtf8() : QByteArray()), from, fromPort);
    if (m_refusalNotify)
        m_refusalNotify({from, fromPort, request.fileName, request.opcode == TftpPacket::ReadRequest ? 1 : 2, why});
}

void TftpServerCore::abortAll(const QString& why)
{
    // By index: a session's callback may look at the list.
    for (size_t i = 0; i < m_sessions.size(); ++i)
        m_sessions[i]->abort(why);
}

void TftpServerCore::setRetransmission(int timeout, int maxSends)
{
    m_status.timeout = timeout;
    m_maxSends = maxSends;
}

void TftpServerCore::setNotify(QvTFTPNotify notify, QObject* form)
{
    m_notify = notify;
    m_form = form;
}

void TftpServerCore::setRoot(const QString& root)
{
    m_root = root;
    if (!m_root.isEmpty() && !m_root.endsWith(QLatin1Char('/')) && !m_root.endsWith(QLatin1Char('\\')))
        m_root += QLatin1Char('/');
}

void TftpServerCore::setPort(int port)
{
    m_status.serverPort = port;
}

void TftpServerCore::handleRequest(const char* data, qsizetype size, const QHostAddress& from,
                                   uint16_t fromPort)
{
    if (size < 4)
        return;
    const std::optional<TftpPacket::Request> request = TftpPacket::parseRequest(data, size);
    const int direction = request && request->opcode == TftpPacket::ReadRequest ? 1 : 2;
    // A refused request leaves no trace but the answer: no session, no status change.
    if (request && m_refuseWrites && direction == 2) {
        refuse(*request, from, fromPort, QStringLiteral("this server takes no writes"));
        return;
    }
    if (request && !admits(from, request->fileName, direction)) {
        refuse(*request, from, fromPort, QStringLiteral("no such transfer is expected from ") + from.toString());
        return;
    }
    m_status.setCode(TftpStatus::Connected);
    if (!request)
        return;
    m_status.direction = direction;
    m_status.fileName = request->fileName;
    m_status.mode = request->mode;
    m_status.peerAddress = from.toString();
    m_status.peerPort = fromPort;
    // A peer that repeats its request while the transfer runs gets no second session.
    for (const auto& session : m_sessions) {
        if (session->state() == TFTPSession::Running && session->matchesRequest(m_status))
            return;
    }
    m_status.sendCount = 0;
    m_status.totalBytes = 0;
    m_status.lastBlockLength = -1;
    ++m_status.sessionNumber;
    std::unique_ptr<TftpChannel> channel = m_channels();
    TftpChannel* endpoint = channel.get();
    if (!endpoint)
        reply(TftpPacket::error(TftpPacket::NotDefined, kNoSocketMessage), from, fromPort);
    auto session = std::make_unique<TFTPSession>(m_root, m_notify, m_form, m_status, from, fromPort,
                                                 std::move(channel), m_clock);
    TFTPSession* created = session.get();
    created->storeWrittenFiles(m_writeMode);
    created->explainErrors(m_explain);
    if (endpoint)
        endpoint->deliverTo(created);
    m_sessions.push_back(std::move(session));
    created->start();
}

bool TftpServerCore::transferring() const
{
    return std::any_of(m_sessions.begin(), m_sessions.end(),
                       [](const auto& session) { return session->state() == TFTPSession::Running; });
}

void TftpServerCore::dropFinished()
{
    std::erase_if(m_sessions, [](const auto& session) { return session->state() != TFTPSession::Running; });
}

void TftpServerCore::tick()
{
    // Every finished session goes at once: after a flood of requests their sockets must
    // not linger for seconds.
    dropFinished();
    const int64_t now = m_clock();
    std::vector<std::unique_ptr<TFTPSession>> givenUp;
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        TFTPSession& session = **it;
        if (session.deadline() != 0 && session.deadline() <= now && !session.retransmit(m_maxSends)) {
            givenUp.push_back(std::move(*it));
            it = m_sessions.erase(it);
        } else {
            ++it;
        }
    }
    // Reported once the list is settled: a callback may look at the server.
    for (const auto& ending : givenUp)
        ending->Report(TftpStatus::Timeout);
}
