#include "tftp/TftpSharedPort.h"

#include "tftp/TFTPSession.h"
#include "tftp/TftpPacket.h"
#include "tftp/TftpUdp.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <unistd.h>

namespace {

uint64_t PeerKey(quint32 address, uint16_t port)
{
    return (static_cast<uint64_t>(address) << 16) | port;
}

// A full send buffer or a short spell without memory loses the datagram as the network
// may: the peer, or this side's retransmission, sends again.
bool IsPassing(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == ENOBUFS || error == ENOMEM;
}

}  // namespace

// A transfer's view of the shared socket: it sends through it, and the socket hands it
// what its peer sends once the session is known.
class TftpSharedPort::Channel : public TftpChannel {
public:
    explicit Channel(TftpSharedPort& port) : m_port(port) {}
    ~Channel() override
    {
        const auto it = m_port.m_channels.find(m_key);
        if (m_session && it != m_port.m_channels.end() && it->second == this)
            m_port.m_channels.erase(it);
    }

    bool send(const QByteArray& datagram, const QHostAddress& address, uint16_t port) override
    {
        return m_port.send(datagram, address, port);
    }

    void deliverTo(TFTPSession* session) override
    {
        bool isIPv4 = false;
        const quint32 address = session->peerAddress().toIPv4Address(&isIPv4);
        if (!isIPv4)
            return;
        m_session = session;
        m_key = PeerKey(address, session->peerPort());
        // A peer that starts again from the same port takes over from its ended transfer.
        m_port.m_channels[m_key] = this;
    }

    TFTPSession* session() const { return m_session; }

private:
    TftpSharedPort& m_port;
    TFTPSession* m_session = nullptr;
    uint64_t m_key = 0;
};

TftpSharedPort::TftpSharedPort() = default;

TftpSharedPort::~TftpSharedPort()
{
    m_notifier.reset();  // before its descriptor goes
    if (m_fd >= 0)
        ::close(m_fd);
}

bool TftpSharedPort::open()
{
    m_fd = TftpUdp::OpenAnyPort();
    if (m_fd < 0)
        return false;
    // Every transfer may have a block on its way at the same moment: room for as many as the
    // system grants (a datagram that finds no room is lost, and sent again after a timeout).
    const int room = 4 * 1024 * 1024;
    ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
    ::setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
    m_buffers.resize(static_cast<size_t>(kBatch) * TftpPacket::BufferSize);
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { receive(); });
    return true;
}

std::unique_ptr<TftpChannel> TftpSharedPort::openChannel()
{
    if (m_fd < 0)
        return nullptr;
    return std::make_unique<Channel>(*this);
}

void TftpSharedPort::receive()
{
    if (m_batching) {
        // A status callback runs an event loop of its own: the batch under way still owns
        // the buffers, so what arrives meanwhile waits until it has been handled.
        m_notifier->setEnabled(false);
        return;
    }
    mmsghdr messages[kBatch];
    iovec vectors[kBatch];
    sockaddr_in senders[kBatch];
    m_batching = true;
    // A few batches at most, then back to the event loop: a flood of datagrams must not
    // hold up everything else the loop does (the notifier fires again at once).
    for (int pass = 0; pass < kPasses; ++pass) {
        for (int i = 0; i < kBatch; ++i) {
            vectors[i] = {m_buffers.data() + static_cast<size_t>(i) * TftpPacket::BufferSize, TftpPacket::BufferSize};
            messages[i] = {};
            messages[i].msg_hdr.msg_name = &senders[i];
            messages[i].msg_hdr.msg_namelen = sizeof senders[i];
            messages[i].msg_hdr.msg_iov = &vectors[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
        const int count = ::recvmmsg(m_fd, messages, kBatch, MSG_DONTWAIT, nullptr);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        for (int i = 0; i < count; ++i) {
            const sockaddr_in& from = senders[i];
            if (messages[i].msg_hdr.msg_namelen < sizeof from || from.sin_family != AF_INET)
                continue;
            const quint32 address = ntohl(from.sin_addr.s_addr);
            const uint16_t port = ntohs(from.sin_port);
            const char* data = static_cast<const char*>(vectors[i].iov_base);
            const qsizetype size = messages[i].msg_len;
            // Looked up for each datagram: handling one may end a session.
            const auto it = m_channels.find(PeerKey(address, port));
            if (it != m_channels.end()) {
                TFTPSession* session = it->second->session();
                session->handleDatagram(data, size, session->peerAddress(), port);
            } else if (size >= 4) {
                const QByteArray refusal = TftpPacket::error(
                    TftpPacket::UnknownTransferId,
                    m_explain ? TftpPacket::errorText(TftpPacket::UnknownTransferId) : QByteArray());
                m_outgoing.push_back({refusal, TftpUdp::Endpoint(address, port)});
            }
        }
        flush();
        if (count < kBatch)
            break;
    }
    m_batching = false;
    m_notifier->setEnabled(true);
}

bool TftpSharedPort::send(const QByteArray& datagram, const QHostAddress& address, uint16_t port)
{
    bool isIPv4 = false;
    const quint32 to = address.toIPv4Address(&isIPv4);
    if (!isIPv4)
        return false;
    if (m_batching) {
        m_outgoing.push_back({datagram, TftpUdp::Endpoint(to, port)});
        return true;
    }
    const ssize_t sent = TftpUdp::SendTo(m_fd, datagram, TftpUdp::Endpoint(to, port));
    return sent == datagram.size() || (sent < 0 && IsPassing(errno));
}

void TftpSharedPort::flush()
{
    const size_t count = m_outgoing.size();
    m_messages.resize(count);
    m_vectors.resize(count);
    for (size_t i = 0; i < count; ++i) {
        Outgoing& out = m_outgoing[i];
        m_vectors[i] = {const_cast<char*>(out.datagram.constData()), static_cast<size_t>(out.datagram.size())};
        m_messages[i] = {};
        m_messages[i].msg_hdr.msg_name = &out.to;
        m_messages[i].msg_hdr.msg_namelen = sizeof out.to;
        m_messages[i].msg_hdr.msg_iov = &m_vectors[i];
        m_messages[i].msg_hdr.msg_iovlen = 1;
    }
    size_t done = 0;
    while (done < count) {
        const int sent = ::sendmmsg(m_fd, m_messages.data() + done, static_cast<unsigned>(count - done), 0);
        if (sent > 0) {
            done += static_cast<size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        // The first datagram left could not go; the others may still.
        if (sent == 0 || !IsPassing(errno))
            failed(m_outgoing[done].to);
        ++done;
    }
    m_outgoing.clear();
}

void TftpSharedPort::failed(const sockaddr_in& to)
{
    const auto it = m_channels.find(PeerKey(ntohl(to.sin_addr.s_addr), ntohs(to.sin_port)));
    if (it != m_channels.end())
        it->second->session()->sendFailed();
}
