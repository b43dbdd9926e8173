#pragma once

#include <QHostAddress>
#include <QString>

#include <memory>
#include <string>

class QvTFTPServer;

// What backup and upgrade share around the run's one TFTP server.
namespace FleetTransfers {

// The device's transfer directions as the TFTP server counts them.
enum Direction { DeviceReads = 1, DeviceWrites = 2 };

// The run's server on the port, serving root, answering only announced transfers. Null
// with the reason in error when the port cannot be had.
std::unique_ptr<QvTFTPServer> StartServer(const QString& root, int port, std::string& error);

// Ends the run's transfers when it is told to stop: every transfer under way ends at once and
// its device gets an error packet, then the server stays a moment to refuse the requests of
// devices that took their command just now. Either way a device stops at once instead of
// waiting out its time-outs against a closed port, busy for the next run.
void EndTransfers(QvTFTPServer& server);

// The address of this host that the device reaches it by: the source address of the route
// toward the device. Empty when there is no route.
std::string LocalAddressToward(const QHostAddress& device);

}  // namespace FleetTransfers
