#include "fleet/FleetTransfers.h"

#include "snmp/QvException.h"
#include "tftp/QvTFTPServer.h"

#include <QHostInfo>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace FleetTransfers {

namespace {
// Per block, in hundredths of a second, and sends of one block: a site shares one server.
constexpr int kRetransmission = 300;
constexpr int kSends = 3;
}  // namespace

std::unique_ptr<QvTFTPServer> StartServer(const QString& root, int port, std::string& error)
{
    auto server = std::make_unique<QvTFTPServer>();
    server->SetRetransmission(kRetransmission, kSends);
    server->AdmitOnlyExpected(true);
    try {
        // A site's transfers run at once: one socket carries them all, in batches.
        server->ShareOneTransferPort();
    } catch (const QvException& failure) {
        error = std::string("the TFTP server cannot open its transfer socket: ") + failure.what();
        return nullptr;
    }
    try {
        server->Listen(root, port);
    } catch (const QvException& failure) {
        error = "the TFTP server cannot listen on port " + std::to_string(port) + ": " + failure.what();
        return nullptr;
    }
    return server;
}

QHostAddress DeviceAddress(const std::string& address)
{
    const QHostAddress literal(QString::fromStdString(address));
    if (!literal.isNull())
        return literal.protocol() == QAbstractSocket::IPv4Protocol ? literal : QHostAddress();
    for (const QHostAddress& found : QHostInfo::fromName(QString::fromStdString(address)).addresses())
        if (found.protocol() == QAbstractSocket::IPv4Protocol)
            return found;
    return {};
}

std::string LocalAddressToward(const QHostAddress& device)
{
    const int probe = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (probe < 0)
        return {};
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);  // no datagram leaves: connecting a UDP socket only picks the route
    to.sin_addr.s_addr = htonl(device.toIPv4Address());
    sockaddr_in local{};
    socklen_t length = sizeof local;
    std::string result;
    if (::connect(probe, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 &&
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&local), &length) == 0) {
        char text[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &local.sin_addr, text, sizeof text))
            result = text;
    }
    ::close(probe);
    return result;
}

}  // namespace FleetTransfers
