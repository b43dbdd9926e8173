#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <cstdint>
#include <functional>

class TFTPSession;

// A session's UDP endpoint as the protocol core sees it (a socket of its own, or its share
// of one socket that carries all transfers): it only sends. The server feeds what arrives
// for the session to it, so the core runs without sockets in tests.
class TftpChannel {
public:
    virtual ~TftpChannel() = default;
    // False when the datagram could not be sent.
    virtual bool send(const QByteArray& datagram, const QHostAddress& address, uint16_t port) = 0;
    // Names the session that receives what arrives here; called once it exists.
    virtual void deliverTo(TFTPSession* session) {}
};

// Milliseconds of a monotonic clock.
using TftpClock = std::function<int64_t()>;
