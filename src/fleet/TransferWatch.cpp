#include "fleet/TransferWatch.h"

#include "tftp/QvTFTPServer.h"

namespace {

std::string Key(const QString& peer, const QString& fileName, int direction)
{
    return peer.toStdString() + '\n' + fileName.toStdString() + '\n' + std::to_string(direction);
}

}  // namespace

TransferWatch::TransferWatch(QvTFTPServer& server, int port) : m_server(&server), m_port(port)
{
    server.SetNotify(&TransferWatch::onStatus, this);
    server.SetRefusalNotify([this](const TftpRefusal& refusal) { refused(refusal); });
}

TransferWatch::~TransferWatch()
{
    if (!m_server)
        return;
    m_server->SetNotify(nullptr, nullptr);
    m_server->SetRefusalNotify({});
}

void TransferWatch::onStatus(QObject* watch, const QvTFTPMsg& status, bool&)
{
    // Called for every block: only a session's start and its failure matter here.
    if (status.code != TftpStatus::Connected && status.code >= 0)
        return;
    auto& self = *static_cast<TransferWatch*>(watch);
    Seen& seen = self.m_transfers[Key(status.peerAddress, status.fileName, status.direction)];
    seen.requested = true;
    if (status.code < 0 && status.code != TftpStatus::Canceled) {
        seen.failure = "this host's TFTP server: " + (status.reason.isEmpty() ? status.text : status.reason).toStdString();
        seen.systemError = status.systemError;
    }
}

void TransferWatch::refused(const TftpRefusal& refusal)
{
    const QString peer = refusal.peer.toString();
    const std::string why = "this host's TFTP server refused the request from " + peer.toStdString() + ": " +
                            refusal.why.toStdString();
    Seen& seen = m_transfers[Key(peer, refusal.fileName, refusal.direction)];
    seen.requested = true;
    seen.failure = why;
    m_strangers[refusal.fileName.toStdString()] = why;
}

const TransferWatch::Seen* TransferWatch::seenOf(const TftpExpected& transfer) const
{
    const QString peer = QHostAddress(transfer.peer.toIPv4Address()).toString();
    const auto seen = m_transfers.find(Key(peer, transfer.fileName, transfer.direction));
    return seen == m_transfers.end() ? nullptr : &seen->second;
}

int TransferWatch::systemError(const TftpExpected& transfer) const
{
    const Seen* seen = seenOf(transfer);
    return seen ? seen->systemError : 0;
}

std::string TransferWatch::why(const TftpExpected& transfer) const
{
    if (const Seen* seen = seenOf(transfer))
        return seen->failure;
    // A device that sends from another address than the one it is reached by.
    if (const auto stranger = m_strangers.find(transfer.fileName.toStdString()); stranger != m_strangers.end())
        return stranger->second;
    return "no TFTP request from the device reached this host's UDP port " + std::to_string(m_port) +
           " (a firewall between them, or a device that sends to another port: see --tftp-port)";
}
