#include "fleet/DeviceAddress.h"

#include <QHostInfo>

namespace {

void Answer(const FleetDevice& device, const QList<QHostAddress>& addresses, const Resolved& resolved)
{
    for (const QHostAddress& found : addresses)
        if (found.protocol() == QAbstractSocket::IPv4Protocol)
            return resolved(found, {});
    resolved({}, "the host name " + device.address + " does not resolve to an IPv4 address");
}

}  // namespace

void ResolveDevice(const FleetDevice& device, QObject* context, Resolved resolved)
{
    const QHostAddress literal(QString::fromStdString(device.address));
    if (!literal.isNull())
        return Answer(device, {literal}, resolved);
    QHostInfo::lookupHost(QString::fromStdString(device.address), context,
                          [device, resolved](const QHostInfo& info) { Answer(device, info.addresses(), resolved); });
}
