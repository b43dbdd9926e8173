#pragma once

#include <QString>
#include <cstdint>

// Status codes of the TFTP server; their texts are the server's own message table.
namespace TftpStatus {
constexpr int Success = 3;
constexpr int Transferring = 2;
constexpr int Connected = 1;
constexpr int Disconnected = 0;
constexpr int Undefined = -1101;
constexpr int FileNotFound = -1102;
constexpr int AccessViolation = -1103;
constexpr int DiskFull = -1104;
constexpr int BadOperation = -1105;
constexpr int UnknownPort = -1106;
constexpr int FileExists = -1107;
constexpr int NoSuchUser = -1108;
constexpr int SocketOpenFailed = -1109;
constexpr int SendReceiveFailed = -1110;
constexpr int SocketNotReady = -1111;
constexpr int BadPacket = -1112;
constexpr int Timeout = -1113;
constexpr int Canceled = -1114;

// The text of a status code; empty for a code outside the table.
QString text(int code);
} // namespace TftpStatus

// The status record the server keeps and each session copies: what a status callback sees.
struct QvTFTPMsg {
    int32_t code = TftpStatus::SocketNotReady;
    QString text = TftpStatus::text(TftpStatus::SocketNotReady);
    // 1: the peer reads a file from this host; 2: the peer writes a file to this host.
    int32_t direction = 0;
    // As sent by the peer; the bytes of a file travel unchanged whatever it says.
    QString mode = QStringLiteral("octet");
    QString peerAddress = QStringLiteral("0.0.0.0");
    QString localAddress = QStringLiteral("127.0.0.1");
    int32_t serverPort = 69;
    QString unusedText;
    QString fileName;
    // 64-bit: block numbers roll over, so a transfer may pass 2 GiB.
    int64_t totalBytes = 0;
    // Data length of the last block sent or received; -1 before the first.
    int32_t lastBlockLength = -1;
    int32_t peerPort = 0;
    // 0 for the first accepted request, one more for each further one.
    int32_t sessionNumber = -1;
    int32_t unusedNumber = 0;
    // In units of 10 ms.
    int32_t timeout = 1000;
    // How often the current block has been sent.
    int32_t sendCount = 0;
    // Why the session failed when the status text does not say it all: the file system's
    // words ("cannot write NAME: No space left on device"); empty otherwise.
    QString reason;
    // The file system's errno behind that reason (ENOSPC, EDQUOT: no room left); 0 otherwise.
    int32_t systemError = 0;

    // Sets the code and its text together.
    void setCode(int newCode);
};

class QObject;
// Called with the page's form, the session's status record and the session's cancel
// flag; setting the flag ends the session with -1114 at its next step.
using QvTFTPNotify = void (*)(QObject* form, const QvTFTPMsg& status, bool& cancel);
