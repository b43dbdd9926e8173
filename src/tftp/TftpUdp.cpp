#include "tftp/TftpUdp.h"

#include <arpa/inet.h>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace TftpUdp {

int OpenAnyPort()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const sockaddr_in any = Endpoint(INADDR_ANY, 0);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

sockaddr_in Endpoint(quint32 address, uint16_t port)
{
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    endpoint.sin_addr.s_addr = htonl(address);
    return endpoint;
}

ssize_t SendTo(int fd, const QByteArray& datagram, const sockaddr_in& to)
{
    ssize_t sent;
    do
        sent = ::sendto(fd, datagram.constData(), static_cast<size_t>(datagram.size()), 0,
                        reinterpret_cast<const sockaddr*>(&to), sizeof to);
    while (sent < 0 && errno == EINTR);
    return sent;
}

}  // namespace TftpUdp
