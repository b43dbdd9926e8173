#include "tftp/QvTFTPServer.h"

#include "snmp/QvException.h"
#include "platform/TimeScale.h"
#include "tftp/TftpPacket.h"
#include "tftp/TftpSharedPort.h"
#include "tftp/TftpUdp.h"

#include <QEventLoop>
#include <QElapsedTimer>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QSocketNotifier>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int64_t steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A session's own socket, bound to any local address and a port the system chooses. A site
// tool runs a hundred transfers at once and each block costs a datagram each way, so the
// socket is a plain one watched by a notifier: none of a Qt socket's per-datagram bookkeeping
// and set-up, which a transfer in lock-step with one peer has no use for.
class UdpTftpChannel : public TftpChannel {
public:
    ~UdpTftpChannel() override
    {
        m_notifier.reset();  // before its descriptor goes
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool open()
    {
        m_fd = TftpUdp::OpenAnyPort();
        if (m_fd < 0)
            return false;
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { receive(); });
        return true;
    }

    bool send(const QByteArray& datagram, const QHostAddress& address, uint16_t port) override
    {
        bool isIPv4 = false;
        const quint32 to = address.toIPv4Address(&isIPv4);
        return isIPv4 && TftpUdp::SendTo(m_fd, datagram, TftpUdp::Endpoint(to, port)) == datagram.size();
    }

    void deliverTo(TFTPSession* session) override { m_session = session; }

private:
    // One datagram per notification: the socket notifier fires again while more are waiting,
    // and a transfer in lock-step spares the system call that would look for a second one.
    void receive()
    {
        char buffer[TftpPacket::BufferSize];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t size =
            ::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (size >= 0 && m_session && from.sin_family == AF_INET)
            m_session->handleDatagram(buffer, size, QHostAddress(ntohl(from.sin_addr.s_addr)), ntohs(from.sin_port));
    }

    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    TFTPSession* m_session = nullptr;
};

std::unique_ptr<TftpChannel> openChannel()
{
    auto channel = std::make_unique<UdpTftpChannel>();
    if (!channel->open())
        return nullptr;
    return channel;
}

QString firstAddressOfThisHost()
{
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    for (const QHostAddress& address : info.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toString();
    }
    return QStringLiteral("127.0.0.1");
}

[[noreturn]] void raiseSocketFailure()
{
    throw QvException(TftpStatus::text(TftpStatus::SocketOpenFailed).toStdString(),
                      TftpStatus::SocketOpenFailed);
}

} // namespace

QvTFTPServer::QvTFTPServer(QObject* owner)
    : QObject(owner),
      m_core([this] { return m_sharedPort ? m_sharedPort->openChannel() : openChannel(); }, steadyMilliseconds,
             [this](const QByteArray& datagram, const QHostAddress& to, uint16_t port) {
                 if (m_listener)
                     m_listener->writeDatagram(datagram, to, port);
             })
{
    m_core.status().localAddress = firstAddressOfThisHost();
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_core.tick(); });
}

QvTFTPServer::~QvTFTPServer()
{
    Stop();
    m_core.clearSessions();
}

void QvTFTPServer::SetRetransmission(int timeout, int maxSends)
{
    m_core.setRetransmission(timeout, maxSends);
}

void QvTFTPServer::ShareOneTransferPort()
{
    if (m_sharedPort)
        return;
    auto port = std::make_unique<TftpSharedPort>();
    if (!port->open())
        raiseSocketFailure();
    port->explainErrors(m_explain);
    m_sharedPort = std::move(port);
}

void QvTFTPServer::ExplainErrors(bool explain)
{
    m_explain = explain;
    m_core.explainErrors(explain);
    if (m_sharedPort)
        m_sharedPort->explainErrors(explain);
}

void QvTFTPServer::SetNotify(QvTFTPNotify notify, QObject* form)
{
    m_core.setNotify(notify, form);
}

void QvTFTPServer::Listen(const QString& root, int port)
{
    m_core.setRoot(root);
    m_core.setPort(port);
    if (m_listener)
        return;
    if (port < 0 || port > 65535)
        raiseSocketFailure();
    auto listener = std::make_unique<QUdpSocket>();
    // Devices reach this server directly on their LAN. Without this, every bind asks the
    // desktop's proxy configuration (on some desktops a lookup taking seconds), for a
    // protocol no proxy carries.
    listener->setProxy(QNetworkProxy::NoProxy);
    // No address reuse: on a port another server holds, the bind fails instead of both
    // servers sharing it and the newer one taking the other device's requests.
    if (!listener->bind(QHostAddress::AnyIPv4, static_cast<quint16>(port), QUdpSocket::DontShareAddress)) {
        m_listenError = listener->error();
        m_listenErrorText = listener->errorString();
        raiseSocketFailure();
    }
    m_listenError = QAbstractSocket::UnknownSocketError;
    m_listener = std::move(listener);
    connect(m_listener.get(), &QUdpSocket::readyRead, this, [this] { readRequests(); });
    m_timer.start(TimeScale::scaled(20));
}

void QvTFTPServer::Stop()
{
    // The wait below runs an event loop; a handler in it that stops the server again
    // (a page closing, a second signal) must not start a wait of its own inside it.
    if (m_stopping)
        return;
    m_stopping = true;
    m_listener.reset();
    QElapsedTimer waited;
    waited.start();
    const int limit = TimeScale::scaled(10000);
    while (m_timer.isActive() && m_core.transferring() && waited.elapsed() < limit) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    m_timer.stop();
    // Sessions that have ended need no wait for the periodic step to go.
    m_core.dropFinished();
    m_stopping = false;
}

QString QvTFTPServer::listenFailure() const
{
    switch (m_listenError) {
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("ports below 1024 need root or the capability to bind them (CAP_NET_BIND_SERVICE)");
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("another program holds it");
    default:
        return m_listenErrorText;
    }
}

uint16_t QvTFTPServer::boundPort() const
{
    return m_listener ? m_listener->localPort() : 0;
}

void QvTFTPServer::readRequests()
{
    char buffer[TftpPacket::BufferSize];
    while (m_listener && m_listener->hasPendingDatagrams()) {
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 size = m_listener->readDatagram(buffer, sizeof buffer, &from, &fromPort);
        if (size < 0)
            break;
        m_core.handleRequest(buffer, size, from, fromPort);
    }
}
