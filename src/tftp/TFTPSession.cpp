#include "tftp/TFTPSession.h"

#include "tftp/TftpPacket.h"
#include "tftp/TftpPath.h"
#include "platform/TimeScale.h"

namespace {
const QString kOutsideFolder = QStringLiteral("the name leads outside the served folder");
}

TFTPSession::TFTPSession(const QString& root, QvTFTPNotify notify, QObject* form,
                         const QvTFTPMsg& status, const QHostAddress& peerAddress, uint16_t peerPort,
                         std::unique_ptr<TftpChannel> channel, TftpClock clock)
    : m_root(root), m_notify(notify), m_form(form), m_status(status), m_peerAddress(peerAddress),
      m_peerPort(peerPort), m_channel(std::move(channel)), m_clock(std::move(clock))
{
    // The callback sees every new session first, even one whose socket failed.
    Report(TftpStatus::Connected);
    if (!m_channel)
        Report(TftpStatus::SocketOpenFailed);
}

TFTPSession::~TFTPSession()
{
    closeFile();
}

bool TFTPSession::matchesRequest(const QvTFTPMsg& request) const
{
    return m_status.direction == request.direction && m_status.mode == request.mode
        && m_status.peerAddress == request.peerAddress && m_status.peerPort == request.peerPort
        && m_status.fileName == request.fileName;
}

void TFTPSession::start()
{
    if (m_state != Running)
        return;
    if (m_cancel) {
        Report(TftpStatus::Canceled);
        return;
    }
    switch (m_status.direction) {
    case 1: startRead(m_status.fileName); break;
    case 2: startWrite(m_status.fileName); break;
    default: fail(TftpPacket::IllegalOperation, TftpStatus::BadOperation); break;
    }
}

void TFTPSession::startRead(const QString& name)
{
    const TftpPath target = TftpPath::forReading(m_root, name);
    if (target.verdict == TftpPath::Refused) {
        fail(TftpPacket::AccessViolation, TftpStatus::AccessViolation, kOutsideFolder);
        return;
    }
    if (target.verdict == TftpPath::Missing) {
        fail(TftpPacket::FileNotFound, TftpStatus::FileNotFound);
        return;
    }
    m_readFile = std::make_unique<QFile>(target.path);
    if (!m_readFile->open(QIODevice::ReadOnly)) {
        const QString reason = QStringLiteral("cannot read the file: ") + m_readFile->errorString();
        m_readFile.reset();
        fail(TftpPacket::FileNotFound, TftpStatus::FileNotFound, reason);
        return;
    }
    if (sendNextBlock())
        Report(TftpStatus::Transferring);
}

void TFTPSession::startWrite(const QString& name)
{
    const TftpPath target = TftpPath::forWriting(m_root, name);
    if (target.verdict != TftpPath::Inside) {
        fail(TftpPacket::AccessViolation, TftpStatus::AccessViolation,
             target.verdict == TftpPath::Refused ? kOutsideFolder : QStringLiteral("no such folder"));
        return;
    }
    m_writeFile = std::make_unique<TftpIncomingFile>(target.path, m_writeMode);
    if (!m_writeFile->open()) {
        const QString reason = m_writeFile->failure();
        m_status.systemError = m_writeFile->errorNumber();
        m_writeFile.reset();
        fail(TftpPacket::AccessViolation, TftpStatus::AccessViolation, reason);
        return;
    }
    m_lastSent = TftpPacket::acknowledgement(0);
    if (!send(m_lastSent)) {
        Report(TftpStatus::SendReceiveFailed);
        return;
    }
    armDeadline();
    Report(TftpStatus::Transferring);
}

void TFTPSession::handleDatagram(const char* data, qsizetype size, const QHostAddress& from,
                                 uint16_t fromPort)
{
    if (m_state != Running || (!m_readFile && !m_writeFile))
        return;
    if (size < 4)
        return;
    // Only the peer of the request takes part; anyone else is told so and changes nothing.
    if (fromPort != m_peerPort || from != m_peerAddress) {
        sendError(TftpPacket::UnknownTransferId, from, fromPort);
        return;
    }
    const uint16_t opcode = TftpPacket::opcodeOf(data, size);
    const uint16_t number = TftpPacket::numberOf(data);
    // Error packets from the peer are ignored too: the session then ends by its deadline.
    if (m_status.direction == 1 && opcode == TftpPacket::Acknowledgement)
        handleAcknowledgement(number);
    else if (m_status.direction == 2 && opcode == TftpPacket::Data)
        handleData(number, data + 4, size - 4);
}

void TFTPSession::handleAcknowledgement(uint16_t block)
{
    // Old and repeated acknowledgements cause no resend: answering them would double
    // every later block.
    if (block != static_cast<uint16_t>(m_blocks))
        return;
    m_deadline = 0;
    if (m_cancel) {
        Report(TftpStatus::Canceled);
        return;
    }
    const bool lastWasFull = m_status.lastBlockLength == TftpPacket::BlockSize;
    if (!lastWasFull && m_readFile->atEnd()) {
        Report(TftpStatus::Success);
        return;
    }
    if (sendNextBlock())
        Report(TftpStatus::Transferring);
}

void TFTPSession::handleData(uint16_t block, const char* bytes, qsizetype length)
{
    if (m_blocks > 0 && block == static_cast<uint16_t>(m_blocks)) {
        // The peer did not get our acknowledgement and sent the block again: acknowledge
        // it again without writing it twice.
        if (!send(m_lastSent))
            Report(TftpStatus::SendReceiveFailed);
        return;
    }
    if (block != static_cast<uint16_t>(m_blocks + 1))
        return;
    m_deadline = 0;
    if (m_cancel) {
        Report(TftpStatus::Canceled);
        return;
    }
    if (!m_writeFile->write(bytes, length)) {
        m_status.systemError = m_writeFile->errorNumber();
        fail(TftpPacket::DiskFull, TftpStatus::DiskFull, m_writeFile->failure());
        return;
    }
    ++m_blocks;
    m_status.totalBytes += length;
    m_status.lastBlockLength = static_cast<int32_t>(length);
    const bool last = length < TftpPacket::BlockSize;
    // The file takes its name before the last acknowledgement goes out, so a peer told
    // "done" always finds the whole file in place.
    if (last && !m_writeFile->commit()) {
        const QString reason = m_writeFile->failure();
        m_status.systemError = m_writeFile->errorNumber();
        m_writeFile.reset();
        fail(TftpPacket::DiskFull, TftpStatus::DiskFull, reason);
        return;
    }
    m_lastSent = TftpPacket::acknowledgement(static_cast<uint16_t>(m_blocks));
    if (!send(m_lastSent)) {
        Report(TftpStatus::SendReceiveFailed);
        return;
    }
    if (last) {
        Report(TftpStatus::Success);
        return;
    }
    armDeadline();
    Report(TftpStatus::Transferring);
}

bool TFTPSession::sendNextBlock()
{
    char buffer[TftpPacket::BlockSize];
    const qint64 length = m_readFile->read(buffer, sizeof buffer);
    if (length < 0) {
        fail(TftpPacket::NotDefined, TftpStatus::Undefined, QStringLiteral("cannot read the file: ") + m_readFile->errorString());
        return false;
    }
    ++m_blocks;
    m_lastSent = TftpPacket::data(static_cast<uint16_t>(m_blocks), buffer, length);
    m_status.totalBytes += length;
    m_status.lastBlockLength = static_cast<int32_t>(length);
    m_status.sendCount = 1;
    if (!send(m_lastSent)) {
        Report(TftpStatus::SendReceiveFailed);
        return false;
    }
    armDeadline();
    return true;
}

bool TFTPSession::retransmit(int maxSends)
{
    // Acknowledgements are never resent: the writing peer resends its data instead.
    if (m_status.direction != 1 || m_status.sendCount >= maxSends)
        return false;
    ++m_status.sendCount;
    if (!send(m_lastSent)) {
        Report(TftpStatus::SendReceiveFailed);
        return true;
    }
    armDeadline();
    Report(TftpStatus::Transferring);
    return true;
}

void TFTPSession::sendFailed()
{
    if (m_state == Running)
        Report(TftpStatus::SendReceiveFailed);
}

void TFTPSession::Report(int code)
{
    m_status.setCode(code);
    if (m_notify)
        m_notify(m_form, m_status, m_cancel);
    if (code == TftpStatus::Success || code < 0) {
        closeFile();
        m_deadline = 0;
        m_state = code == TftpStatus::Success ? Finished : Failed;
    } else {
        m_state = Running;
    }
}

bool TFTPSession::send(const QByteArray& datagram)
{
    return m_channel && m_channel->send(datagram, m_peerAddress, m_peerPort);
}

void TFTPSession::abort(const QString& why)
{
    if (m_state != Running)
        return;
    send(TftpPacket::error(TftpPacket::NotDefined, errorMessage(TftpPacket::NotDefined, why)));
    m_status.reason = why;
    Report(TftpStatus::Canceled);
}

QByteArray TFTPSession::errorMessage(uint16_t errorCode, const QString& reason) const
{
    if (!m_explain)
        return {};
    return reason.isEmpty() ? TftpPacket::errorText(errorCode) : reason.toUtf8();
}

void TFTPSession::sendError(uint16_t code, const QHostAddress& address, uint16_t port)
{
    if (m_channel)
        m_channel->send(TftpPacket::error(code, errorMessage(code, {})), address, port);
}

void TFTPSession::fail(uint16_t errorCode, int statusCode, const QString& reason)
{
    m_status.reason = reason;
    const bool sent = send(TftpPacket::error(errorCode, errorMessage(errorCode, reason)));
    Report(sent ? statusCode : TftpStatus::SendReceiveFailed);
}

void TFTPSession::armDeadline()
{
    m_deadline = m_clock() + TimeScale::scaled(m_status.timeout * 10);
}

void TFTPSession::closeFile()
{
    m_readFile.reset();
    // A write not committed by now is incomplete: its temporary file goes, and any file
    // it was to replace stays as it was.
    if (m_writeFile) {
        m_writeFile->cancel();
        m_writeFile.reset();
    }
}
