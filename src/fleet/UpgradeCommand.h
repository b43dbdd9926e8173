#pragma once

#include "fleet/DeviceList.h"
#include "fleet/FleetOptions.h"
#include "fleet/FleetReport.h"

#include <string>
#include <vector>

// `upgrade IMAGE`: every device fetches the image through the run's one TFTP server, is
// restarted when it took it, and is waited for until it answers again; at most
// options.maxParallel devices do so at once. A device that refuses the image (it runs a
// newer firmware) is reported and not tried again; one that already runs the image's version
// is left alone ("already 2.10") unless options.force. False (with the reason) when the run
// cannot start at all: no image, an empty or unreadable one, or the server's port.
bool RunUpgrade(const std::vector<FleetDevice>& devices, const std::string& image, const FleetOptions& options,
                std::vector<DeviceOutcome>& outcomes, std::string& error);
