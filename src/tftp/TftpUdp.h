#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstdint>
#include <netinet/in.h>
#include <sys/types.h>

// The plain UDP calls the server's transfer sockets share: a socket on any local address and
// a port the system chooses, an IPv4 endpoint, and one datagram sent.
namespace TftpUdp {

// A non-blocking socket bound to any local address and a port the system chooses; -1 when
// none could be had.
int OpenAnyPort();
// address and port in host byte order.
sockaddr_in Endpoint(quint32 address, uint16_t port);
// What sendto returns, tried again when a signal interrupts it.
ssize_t SendTo(int fd, const QByteArray& datagram, const sockaddr_in& to);

}  // namespace TftpUdp
