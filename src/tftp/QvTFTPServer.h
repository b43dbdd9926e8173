#pragma once

#include "tftp/QvTFTPMsg.h"
#include "tftp/TftpServerCore.h"

#include <QAbstractSocket>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class QUdpSocket;
class TftpSharedPort;

// The TFTP server a page runs while it is open: it listens on one UDP port (69 unless
// told otherwise), gives each accepted request its own session on its own socket (or on
// one socket shared by all, see ShareOneTransferPort), and every 20 ms (scaled by the
// process-wide time scale) removes finished sessions and resends lost blocks. Runs on the
// thread that created it, driven by its event loop; a block goes out as soon as the
// previous one is acknowledged.
class QvTFTPServer : public QObject {
    Q_OBJECT
public:
    explicit QvTFTPServer(QObject* owner = nullptr);
    ~QvTFTPServer() override;

    // Timeout in units of 10 ms; a data block goes out at most maxSends times.
    void SetRetransmission(int timeout, int maxSends);
    void SetNotify(QvTFTPNotify notify, QObject* form);
    // Serves the folder on the port. When already listening only the folder and the port
    // field change; the socket stays bound where it is. Throws QvException -1109 when the
    // port cannot be bound.
    void Listen(const QString& root, int port = 69);
    // Closes the listening socket, then lets running sessions finish for up to 10 s. A
    // call made while it waits (from a handler its event loop runs) returns at once.
    void Stop();

    // Off (the default): any host may read and write the files of the folder. On: only
    // the transfers announced with Expect are served; every other request gets error 2.
    void AdmitOnlyExpected(bool only) { m_core.admitOnlyExpected(only); }
    // Off (the default): a file a device writes reaches the disk and only then takes its name.
    // On: it is written straight to its name, unflushed, and a broken transfer removes it; for
    // an owner that announces names of its own and flushes and renames the files itself.
    void WriteInPlace(bool inPlace)
    {
        m_core.storeWrittenFiles(inPlace ? TftpIncomingFile::Mode::InPlace : TftpIncomingFile::Mode::SafeReplace);
    }
    // From now on, transfers share one socket and port of their own (not the listening one),
    // told apart by their peers' addresses and ports, and their datagrams are taken and sent
    // in batches: for an owner that runs many transfers at once. By default each transfer
    // has a socket of its own. Throws QvException -1109 when the socket cannot be opened.
    void ShareOneTransferPort();
    // Off (the default): error packets carry an empty message, as the pages' server sends
    // them. On: they say why (the file system's error, the refused request), so a peer's log
    // shows it.
    void ExplainErrors(bool explain);
    // On: files are served and every write request is refused with error 2.
    void ServeReadOnly(bool readOnly) { m_core.refuseWrites(readOnly); }
    // Told of every request turned away without a session (not announced, or a write to a
    // read-only server).
    void SetRefusalNotify(TftpRefusalNotify notify) { m_core.setRefusalNotify(std::move(notify)); }
    // Ends every running transfer at once: each peer gets an error packet and stops too, and
    // each session ends with -1114 and the reason.
    void AbortAll(const QString& why) { m_core.abortAll(why); }
    // Announces a transfer; several may stand at once, each for its own peer.
    void Expect(const TftpExpected& transfer) { m_core.expect(transfer); }
    void Forget(const TftpExpected& transfer) { m_core.forget(transfer); }
    void ForgetAll() { m_core.forgetAll(); }

    bool isListening() const { return m_listener != nullptr; }
    // The port the listening socket is bound to; 0 when not listening.
    uint16_t boundPort() const;
    // Why the last Listen could not bind its port: SocketAccessError for a port the process
    // may not bind (below 1024 without the right to), AddressInUseError for one another
    // program holds; UnknownSocketError when nothing failed.
    QAbstractSocket::SocketError listenError() const { return m_listenError; }
    // The same in words for a person: "ports below 1024 need root or the capability to bind
    // them", "another program holds it", or the socket's own words.
    QString listenFailure() const;
    const QvTFTPMsg& status() const { return m_core.status(); }
    const QString& root() const { return m_core.root(); }
    std::size_t sessionCount() const { return m_core.sessions().size(); }

private:
    void readRequests();

    std::unique_ptr<TftpSharedPort> m_sharedPort;  // outlives the sessions that use it
    TftpServerCore m_core;
    std::unique_ptr<QUdpSocket> m_listener;
    QTimer m_timer;
    bool m_stopping = false;
    bool m_explain = false;
    QAbstractSocket::SocketError m_listenError = QAbstractSocket::UnknownSocketError;
    QString m_listenErrorText;
};
