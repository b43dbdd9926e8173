#pragma once

#include "tftp/QvTFTPMsg.h"
#include "tftp/TFTPSession.h"
#include "tftp/TftpChannel.h"

#include <QHostAddress>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// The server's bookkeeping without sockets or timers: examining requests that reach
// the listening port, the list of live sessions, and the periodic step that removes
// finished sessions and resends lost blocks. QvTFTPServer feeds it from real sockets;
// tests feed it directly with a clock of their own.
class TftpServerCore {
public:
    // Opens a session's own endpoint; nothing when no socket could be opened.
    using ChannelFactory = std::function<std::unique_ptr<TftpChannel>()>;

    TftpServerCore(ChannelFactory channels, TftpClock clock);

    void setRetransmission(int timeout, int maxSends);
    void setNotify(QvTFTPNotify notify, QObject* form);
    // An empty text stays empty (nothing is served); anything else ends with a separator.
    void setRoot(const QString& root);
    void setPort(int port);

    // A datagram that reached the listening port.
    void handleRequest(const char* data, qsizetype size, const QHostAddress& from, uint16_t fromPort);
    // The periodic step: removes at most one finished session, or resends the block of
    // one session whose deadline has passed (ending it with -1113 when it gives up).
    void tick();

    const QvTFTPMsg& status() const { return m_status; }
    QvTFTPMsg& status() { return m_status; }
    const QString& root() const { return m_root; }
    int maxSends() const { return m_maxSends; }
    const std::vector<std::unique_ptr<TFTPSession>>& sessions() const { return m_sessions; }
    void clearSessions() { m_sessions.clear(); }

private:
    ChannelFactory m_channels;
    TftpClock m_clock;
    int m_maxSends = 3;
    QvTFTPMsg m_status;
    QvTFTPNotify m_notify = nullptr;
    QObject* m_form = nullptr;
    QString m_root;
    std::vector<std::unique_ptr<TFTPSession>> m_sessions;
};
