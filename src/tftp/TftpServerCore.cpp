#include "tftp/TftpServerCore.h"

#include "tftp/TftpPacket.h"

TftpServerCore::TftpServerCore(ChannelFactory channels, TftpClock clock)
    : m_channels(std::move(channels)), m_clock(std::move(clock))
{
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
    m_status.setCode(TftpStatus::Connected);
    const std::optional<TftpPacket::Request> request = TftpPacket::parseRequest(data, size);
    if (!request)
        return;
    m_status.direction = request->opcode == TftpPacket::ReadRequest ? 1 : 2;
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
    auto session = std::make_unique<TFTPSession>(m_root, m_notify, m_form, m_status, from, fromPort,
                                                 std::move(channel), m_clock);
    TFTPSession* created = session.get();
    if (endpoint)
        endpoint->deliverTo(created);
    m_sessions.push_back(std::move(session));
    created->start();
}

void TftpServerCore::tick()
{
    const int64_t now = m_clock();
    for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it) {
        TFTPSession& session = **it;
        if (session.state() != TFTPSession::Running) {
            m_sessions.erase(it);
            return;
        }
        if (session.deadline() != 0 && session.deadline() <= now) {
            if (!session.retransmit(m_maxSends)) {
                std::unique_ptr<TFTPSession> ending = std::move(*it);
                m_sessions.erase(it);
                ending->Report(TftpStatus::Timeout);
            }
            return;
        }
    }
}
