#pragma once

#include "tftp/TftpServerCore.h"

#include <QObject>
#include <QPointer>

#include <string>
#include <unordered_map>

class QvTFTPServer;

// What the run's TFTP server saw of each device's transfer, so a device whose command failed
// is told why as this host saw it: the file system's error, the request the server turned
// away, or that no request reached the server at all. A device only reports a general
// error for any of these.
class TransferWatch : public QObject {
public:
    // Takes the server's status and refusal callbacks for as long as it lives; the server may
    // end first (a run ends its transfers with it), and is then left alone.
    TransferWatch(QvTFTPServer& server, int port);
    ~TransferWatch() override;

    // Why the transfer failed on this host's side, for the device's result; empty when the
    // server saw nothing wrong with it.
    std::string why(const TftpExpected& transfer) const;
    // The file system's errno behind that failure (ENOSPC: the disk is full); 0 for none.
    int systemError(const TftpExpected& transfer) const;

private:
    struct Seen {
        bool requested = false;
        std::string failure;  // the server's reason when the transfer failed or was refused
        int systemError = 0;
    };
    static void onStatus(QObject* watch, const QvTFTPMsg& status, bool& cancel);
    void refused(const TftpRefusal& refusal);
    const Seen* seenOf(const TftpExpected& transfer) const;

    QPointer<QvTFTPServer> m_server;
    int m_port;
    std::unordered_map<std::string, Seen> m_transfers;  // by peer and file name
    // Requests refused because they came from another address than the device's, by file name.
    std::unordered_map<std::string, std::string> m_strangers;
};
