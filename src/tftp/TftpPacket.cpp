#include "tftp/TftpPacket.h"

#include <QFile>

namespace TftpPacket {

namespace {

void appendNumber(QByteArray& packet, uint16_t number)
{
    packet.append(static_cast<char>(number >> 8));
    packet.append(static_cast<char>(number & 0xff));
}

QByteArray header(uint16_t opcode, uint16_t number, qsizetype extra)
{
    QByteArray packet;
    packet.reserve(4 + extra);
    appendNumber(packet, opcode);
    appendNumber(packet, number);
    return packet;
}

// A zero-terminated text starting at offset; offset moves past its terminator.
QByteArray takeText(const char* data, qsizetype size, qsizetype& offset)
{
    const qsizetype start = offset;
    while (offset < size && data[offset] != '\0')
        ++offset;
    const QByteArray text(data + start, offset - start);
    if (offset < size)
        ++offset;
    return text;
}

} // namespace

uint16_t opcodeOf(const char* data, qsizetype size)
{
    if (size < 4)
        return 0;
    return static_cast<uint16_t>((static_cast<uint8_t>(data[0]) << 8) | static_cast<uint8_t>(data[1]));
}

uint16_t numberOf(const char* data)
{
    return static_cast<uint16_t>((static_cast<uint8_t>(data[2]) << 8) | static_cast<uint8_t>(data[3]));
}

std::optional<Request> parseRequest(const char* data, qsizetype size)
{
    const uint16_t opcode = opcodeOf(data, size);
    if (opcode != ReadRequest && opcode != WriteRequest)
        return std::nullopt;
    Request request;
    request.opcode = opcode;
    qsizetype offset = 2;
    // File names are bytes on the wire; decode them as the local file system names files.
    request.fileName = QFile::decodeName(takeText(data, size, offset));
    request.mode = QString::fromLatin1(takeText(data, size, offset));
    return request;
}

QByteArray data(uint16_t block, const char* bytes, qsizetype size)
{
    QByteArray packet = header(Data, block, size);
    packet.append(bytes, size);
    return packet;
}

QByteArray acknowledgement(uint16_t block)
{
    return header(Acknowledgement, block, 0);
}

QByteArray error(uint16_t code, const QByteArray& message)
{
    QByteArray packet = header(Error, code, message.size() + 1);
    packet.append(message).append('\0');
    return packet;
}

QByteArray errorText(uint16_t code)
{
    switch (code) {
    case FileNotFound: return QByteArrayLiteral("File not found");
    case AccessViolation: return QByteArrayLiteral("Access violation");
    case DiskFull: return QByteArrayLiteral("Disk full or allocation exceeded");
    case IllegalOperation: return QByteArrayLiteral("Illegal TFTP operation");
    case UnknownTransferId: return QByteArrayLiteral("Unknown transfer ID");
    default: return QByteArrayLiteral("Transfer failed");
    }
}

} // namespace TftpPacket
