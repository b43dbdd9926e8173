#pragma once

#include "tftp/TftpChannel.h"

#include <QByteArray>
#include <QHostAddress>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>

class QSocketNotifier;

// One UDP socket that carries every transfer of a server, each told apart by its peer's
// address and port (a peer picks a new port for each transfer). A site tool runs a hundred
// transfers at once and each block costs a datagram each way; here the datagrams that have
// arrived are taken in one system call, and the answers they cause go out in one more,
// where a socket per transfer costs a call for every datagram. A datagram from any other
// sender is answered with error 5, as a session's own socket answers a stranger.
class TftpSharedPort {
public:
    TftpSharedPort();
    ~TftpSharedPort();
    TftpSharedPort(const TftpSharedPort&) = delete;
    TftpSharedPort& operator=(const TftpSharedPort&) = delete;

    // Binds any local address and a port the system chooses; false when it cannot.
    bool open();
    // The endpoint of one more transfer on this socket.
    std::unique_ptr<TftpChannel> openChannel();
    // Off (the default): the error 5 a stranger gets carries an empty message.
    void explainErrors(bool explain) { m_explain = explain; }

private:
    class Channel;
    static constexpr int kBatch = 64;
    static constexpr int kPasses = 4;  // batches taken per notification

    void receive();
    bool send(const QByteArray& datagram, const QHostAddress& address, uint16_t port);
    // Sends what the batch caused; a datagram that cannot be sent ends its session.
    void flush();
    void failed(const sockaddr_in& to);

    int m_fd = -1;
    bool m_explain = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unordered_map<uint64_t, Channel*> m_channels;  // by the peer's address and port
    // While a batch of datagrams is handled, what they cause to be sent waits here.
    bool m_batching = false;
    struct Outgoing {
        QByteArray datagram;
        sockaddr_in to;
    };
    std::vector<Outgoing> m_outgoing;
    std::vector<mmsghdr> m_messages;  // for m_outgoing, kept to spare allocations
    std::vector<iovec> m_vectors;
    std::vector<char> m_buffers;  // kBatch receive buffers
};
