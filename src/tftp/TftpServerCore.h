#pragma once

#include "tftp/QvTFTPMsg.h"
#include "tftp/TFTPSession.h"
#include "tftp/TftpChannel.h"
#include "tftp/TftpPacket.h"

#include <QHostAddress>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// A transfer a caller announced: the peer's address, the file name exactly as the peer
// will ask for it, and the direction (1: the peer reads, 2: the peer writes).
struct TftpExpected {
    QHostAddress peer;
    QString fileName;
    int direction = 1;

    bool operator==(const TftpExpected& other) const;
};

// A request the server turned away without a session: who asked for what, and why.
struct TftpRefusal {
    QHostAddress peer;
    uint16_t peerPort = 0;
    QString fileName;
    int direction = 1;
    QString why;
};
using TftpRefusalNotify = std::function<void(const TftpRefusal&)>;

// The server's bookkeeping without sockets or timers: examining requests that reach
// the listening port, the list of live sessions, and the periodic step that removes
// finished sessions and resends lost blocks. QvTFTPServer feeds it from real sockets;
// tests feed it directly with a clock of their own.
class TftpServerCore {
public:
    // Opens a session's own endpoint; nothing when no socket could be opened.
    using ChannelFactory = std::function<std::unique_ptr<TftpChannel>()>;
    // Answers a requester from the listening port (refusals, and requests no session
    // socket could be opened for).
    using ListenerReply = std::function<void(const QByteArray&, const QHostAddress&, uint16_t)>;

    TftpServerCore(ChannelFactory channels, TftpClock clock, ListenerReply reply = {});

    void setRetransmission(int timeout, int maxSends);
    void setNotify(QvTFTPNotify notify, QObject* form);
    // An empty text stays empty (nothing is served); anything else ends with a separator.
    void setRoot(const QString& root);
    void setPort(int port);

    // Whether only announced transfers are served. Off: every request for a file of the
    // folder is served (a folder offered to anyone). On: a request that matches no
    // announced transfer gets error 2 and no session.
    void admitOnlyExpected(bool only) { m_onlyExpected = only; }
    void storeWrittenFiles(TftpIncomingFile::Mode mode) { m_writeMode = mode; }
    // Off (the default): error packets carry an empty message. On: they say why.
    void explainErrors(bool explain) { m_explain = explain; }
    // On: every write request is refused with error 2; files are only served.
    void refuseWrites(bool refuse) { m_refuseWrites = refuse; }
    // Told of every request turned away without a session.
    void setRefusalNotify(TftpRefusalNotify notify) { m_refusalNotify = std::move(notify); }
    // Ends every running session at once; each peer gets an error packet (see
    // TFTPSession::abort).
    void abortAll(const QString& why);
    // Several transfers may be announced at once, each answered only for its own peer.
    void expect(const TftpExpected& transfer);
    void forget(const TftpExpected& transfer);
    void forgetAll() { m_expected.clear(); }
    bool admits(const QHostAddress& from, const QString& fileName, int direction) const;

    // A datagram that reached the listening port.
    void handleRequest(const char* data, qsizetype size, const QHostAddress& from, uint16_t fromPort);
    // The periodic step: removes every finished session and resends the block of every
    // session whose deadline has passed (ending it with -1113 when it gives up).
    void tick();

    const QvTFTPMsg& status() const { return m_status; }
    QvTFTPMsg& status() { return m_status; }
    const QString& root() const { return m_root; }
    int maxSends() const { return m_maxSends; }
    const std::vector<std::unique_ptr<TFTPSession>>& sessions() const { return m_sessions; }
    // Whether a session is still under way (finished ones stay listed until the next step).
    bool transferring() const;
    void dropFinished();
    void clearSessions() { m_sessions.clear(); }

private:
    void reply(const QByteArray& datagram, const QHostAddress& to, uint16_t port) const;
    void refuse(const TftpPacket::Request& request, const QHostAddress& from, uint16_t fromPort, const QString& why);

    ChannelFactory m_channels;
    TftpClock m_clock;
    ListenerReply m_reply;
    bool m_onlyExpected = false;
    TftpIncomingFile::Mode m_writeMode = TftpIncomingFile::Mode::SafeReplace;
    bool m_explain = false;
    bool m_refuseWrites = false;
    TftpRefusalNotify m_refusalNotify;
    std::vector<TftpExpected> m_expected;
    int m_maxSends = 3;
    QvTFTPMsg m_status;
    QvTFTPNotify m_notify = nullptr;
    QObject* m_form = nullptr;
    QString m_root;
    std::vector<std::unique_ptr<TFTPSession>> m_sessions;
};
