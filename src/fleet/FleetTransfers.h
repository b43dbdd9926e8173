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

// The device's IPv4 address (a host name is resolved); null when it has none.
QHostAddress DeviceAddress(const std::string& address);

// The address of this host that the device reaches it by: the source address of the route
// toward the device. Empty when there is no route.
std::string LocalAddressToward(const QHostAddress& device);

}  // namespace FleetTransfers
