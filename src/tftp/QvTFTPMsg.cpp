#include "tftp/QvTFTPMsg.h"

namespace TftpStatus {

QString text(int code)
{
    switch (code) {
    case Success: return QStringLiteral("(QvTFTP) Success to transfer file.");
    case Transferring: return QStringLiteral("(QvTFTP) File is transferring...");
    case Connected: return QStringLiteral("(QvTFTP) A TFTP session is connected...");
    case Disconnected: return QStringLiteral("(QvTFTP) A TFTP session is disconnected...");
    case Undefined: return QStringLiteral("(QvTFTP) Undefined error:");
    case FileNotFound: return QStringLiteral("(QvTFTP) File not found!");
    case AccessViolation: return QStringLiteral("(QvTFTP) Access violation!");
    case DiskFull: return QStringLiteral("(QvTFTP) Disk full!");
    case BadOperation: return QStringLiteral("(QvTFTP) Bad operation!");
    case UnknownPort: return QStringLiteral("(QvTFTP) Unknown port!");
    case FileExists: return QStringLiteral("(QvTFTP) File already exist!");
    case NoSuchUser: return QStringLiteral("(QvTFTP) No such user!");
    case SocketOpenFailed:
        return QStringLiteral("(QvTFTP) Fail to open socket!Please check if the network is ready.");
    case SendReceiveFailed: return QStringLiteral("(QvTFTP) Fail to send or receive socket packet!");
    case SocketNotReady: return QStringLiteral("(QvTFTP) Socket is not ready!");
    case BadPacket: return QStringLiteral("(QvTFTP) Bad packet!");
    case Timeout: return QStringLiteral("(QvTFTP) Timeout!");
    case Canceled: return QStringLiteral("(QvTFTP) Transfer has been canceled.");
    default: return QString();
    }
}

} // namespace TftpStatus

void QvTFTPMsg::setCode(int newCode)
{
    code = newCode;
    text = TftpStatus::text(newCode);
}
