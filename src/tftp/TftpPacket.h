#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// The five TFTP packets: building what the server sends and reading what it accepts.
// All numbers are 16-bit in network byte order.
namespace TftpPacket {

enum Opcode : uint16_t {
    ReadRequest = 1,
    WriteRequest = 2,
    Data = 3,
    Acknowledgement = 4,
    Error = 5,
};

// Error codes of the error packet.
enum ErrorCode : uint16_t {
    NotDefined = 0,
    FileNotFound = 1,
    AccessViolation = 2,
    DiskFull = 3,
    IllegalOperation = 4,
    UnknownTransferId = 5,
};

constexpr int BlockSize = 512;
// Every datagram is received into a buffer of this size.
constexpr int BufferSize = 2048;

struct Request {
    uint16_t opcode = 0;
    QString fileName;
    QString mode;
};

// The opcode of a datagram, or 0 when it is shorter than 4 bytes (the shortest packet
// the server accepts).
uint16_t opcodeOf(const char* data, qsizetype size);
// The block number of a data or acknowledgement packet, or the error code of an error
// packet (bytes 2 and 3); the caller has checked the size.
uint16_t numberOf(const char* data);

// A read or write request: the file name and the mode, each ending with a zero byte.
// A missing terminator ends the text at the end of the datagram; anything after the
// mode (options of later extensions) is ignored. Nothing when the opcode is not 1 or 2.
std::optional<Request> parseRequest(const char* data, qsizetype size);

QByteArray data(uint16_t block, const char* bytes, qsizetype size);
QByteArray acknowledgement(uint16_t block);
// The error packet carries an empty message (5 bytes in all) unless a message is given.
QByteArray error(uint16_t code, const QByteArray& message = {});
// The usual text of an error code ("File not found"), for a server that explains its errors.
QByteArray errorText(uint16_t code);

} // namespace TftpPacket
