#pragma once

#include "tftp/QvTFTPMsg.h"
#include "tftp/TftpChannel.h"
#include "tftp/TftpIncomingFile.h"

#include <QFile>
#include <QHostAddress>
#include <QString>
#include <memory>

class QObject;

// One transfer with one peer, in lock-step with 512-byte blocks: the peer reads a file
// (direction 1: this side sends data and waits for each acknowledgement) or writes one
// (direction 2: this side acknowledges each data block). Created and driven by the
// server; the session itself never touches a socket or a timer.
class TFTPSession {
public:
    enum State { Failed = 0, Running = 1, Finished = 2 };

    // A null channel means the session's socket could not be opened: the session ends at
    // once with -1109.
    TFTPSession(const QString& root, QvTFTPNotify notify, QObject* form, const QvTFTPMsg& status,
                const QHostAddress& peerAddress, uint16_t peerPort,
                std::unique_ptr<TftpChannel> channel, TftpClock clock);
    ~TFTPSession();
    TFTPSession(const TFTPSession&) = delete;
    TFTPSession& operator=(const TFTPSession&) = delete;

    // How a written file is stored (see TftpIncomingFile); safely replaced by default.
    void storeWrittenFiles(TftpIncomingFile::Mode mode) { m_writeMode = mode; }
    // Off (the default): error packets carry an empty message. On: they say why.
    void explainErrors(bool explain) { m_explain = explain; }
    // Opens the file and sends the first data block or the acknowledgement of block 0.
    void start();
    // A datagram that arrived for the session.
    void handleDatagram(const char* data, qsizetype size, const QHostAddress& from, uint16_t fromPort);
    // A datagram the channel took to send later could not be sent: the session ends with
    // -1110, as when a send fails at once.
    void sendFailed();
    // Called when the deadline has passed. A data block is sent again while it has gone
    // out fewer than maxSends times; false when the session gives up (a write never
    // resends its acknowledgement, so it gives up at once).
    bool retransmit(int maxSends);
    // Sets the status, tells the callback, closes the file and sets the state: finished
    // for 3, failed for a negative code, running otherwise.
    void Report(int code);
    // Ends a running session at once: the peer gets an error packet (saying why when errors
    // are explained), so it stops too instead of waiting for its time-outs; then -1114 with
    // the reason.
    void abort(const QString& why);

    State state() const { return m_state; }
    // Clock time at which the last packet sent counts as lost; 0 when none is outstanding.
    int64_t deadline() const { return m_deadline; }
    const QvTFTPMsg& status() const { return m_status; }
    const QHostAddress& peerAddress() const { return m_peerAddress; }
    uint16_t peerPort() const { return m_peerPort; }
    bool cancelRequested() const { return m_cancel; }
    bool matchesRequest(const QvTFTPMsg& request) const;

private:
    void startRead(const QString& path);
    void startWrite(const QString& path);
    void handleAcknowledgement(uint16_t block);
    void handleData(uint16_t block, const char* bytes, qsizetype length);
    // Reads and sends the next data block; false when the send failed (already reported).
    bool sendNextBlock();
    bool send(const QByteArray& datagram);
    void sendError(uint16_t code, const QHostAddress& address, uint16_t port);
    // Ends the session after a failed file operation: error packet, then the status with
    // the reason (the file system's words), if any.
    void fail(uint16_t errorCode, int statusCode, const QString& reason = {});
    // What an error packet says: nothing, unless errors are explained.
    QByteArray errorMessage(uint16_t errorCode, const QString& reason) const;
    void armDeadline();
    void closeFile();

    QString m_root;
    QvTFTPNotify m_notify;
    QObject* m_form;
    QvTFTPMsg m_status;
    QHostAddress m_peerAddress;
    uint16_t m_peerPort;
    std::unique_ptr<TftpChannel> m_channel;
    TftpClock m_clock;

    State m_state = Running;
    int64_t m_deadline = 0;
    bool m_cancel = false;
    // Blocks sent (read) or received (write) so far; the wire carries the low 16 bits,
    // so block numbers roll over from 65535 to 0 as common servers do.
    int64_t m_blocks = 0;
    QByteArray m_lastSent;
    std::unique_ptr<QFile> m_readFile;
    // A write goes to a temporary file beside the target, renamed into place only when
    // the last block has arrived: a broken transfer never leaves a short file behind.
    std::unique_ptr<TftpIncomingFile> m_writeFile;
    TftpIncomingFile::Mode m_writeMode = TftpIncomingFile::Mode::SafeReplace;
    bool m_explain = false;
};
