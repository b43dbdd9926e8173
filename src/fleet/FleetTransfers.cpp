#include "fleet/FleetTransfers.h"

#include "snmp/QvException.h"
#include "tftp/QvTFTPServer.h"

#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace FleetTransfers {

namespace {
// Per block, in hundredths of a second, and sends of one block: a site shares one server.
constexpr int kRetransmission = 300;
constexpr int kSends = 3;
// How long a stopped run still answers requests: a device's request follows its command within
// milliseconds, a busy one's within a few tens.
constexpr int kLingerMilliseconds = 300;
}  // namespace

std::unique_ptr<QvTFTPServer> StartServer(const QString& root, int port, std::string& error)
{
    auto server = std::make_unique<QvTFTPServer>();
    server->SetRetransmission(kRetransmission, kSends);
    server->AdmitOnlyExpected(true);
    // A device's log then shows why a transfer failed.
    server->ExplainErrors(true);
    try {
        // A site's transfers run at once: one socket carries them all, in batches.
        server->ShareOneTransferPort();
    } catch (const QvException& failure) {
        error = std::string("the TFTP server cannot open its transfer socket: ") + failure.what();
        return nullptr;
    }
    try {
        server->Listen(root, port);
    } catch (const QvException&) {
        error = "the TFTP server cannot listen on UDP port " + std::to_string(port) + ": " +
                server->listenFailure().toStdString();
        switch (server->listenError()) {
        case QAbstractSocket::SocketAccessError:
            error += "; run it with that capability (setcap cap_net_bind_service=+ep vta-fleet), or give another "
                     "port with --tftp-port PORT and forward the devices' requests to it";
            break;
        case QAbstractSocket::AddressInUseError:
            error += " (a TFTP server?); stop that program, or give another port with --tftp-port PORT";
            break;
        default:
            break;
        }
        return nullptr;
    }
    return server;
}

void EndTransfers(QvTFTPServer& server)
{
    server.ForgetAll();
    server.AbortAll(QStringLiteral("vta-fleet was stopped"));
    QEventLoop linger;
    QTimer::singleShot(kLingerMilliseconds, &linger, &QEventLoop::quit);
    linger.exec();
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
