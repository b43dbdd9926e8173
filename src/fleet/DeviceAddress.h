#pragma once

#include "fleet/DeviceList.h"

#include <QHostAddress>

#include <functional>
#include <string>

class QObject;

// Where a device is reached: its listed address, or the IPv4 address its host name resolves
// to. Every sub-command resolves the same way, so a name that does not resolve reads the
// same in each. A dotted address is answered at once, a name when the lookup ends (on the
// event loop, without holding up the other devices); found is null and why says why when
// there is no IPv4 address. Nothing is called once context is gone.
using Resolved = std::function<void(const QHostAddress& found, const std::string& why)>;
void ResolveDevice(const FleetDevice& device, QObject* context, Resolved resolved);
