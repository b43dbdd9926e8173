#pragma once

#include "fleet/DeviceList.h"
#include "fleet/FleetOptions.h"
#include "fleet/FleetReport.h"

#include <string>
#include <vector>

// `backup DIR`: every device stores its configuration file through the run's one TFTP
// server as DIR/<device>/<UTC time>.cfg. The device writes a temporary name that is renamed
// only when it reports success; a failed backup leaves no file and says why. False (with
// the reason) when the run cannot start at all, e.g. the folder or the server's port.
// Once the folder refuses a file for lack of room (a full disk, a quota), no further device
// starts, since each would fail the same way: halted then says why, and the devices not
// begun are reported as not started.
bool RunBackup(const std::vector<FleetDevice>& devices, const std::string& folder, const FleetOptions& options,
               std::vector<DeviceOutcome>& outcomes, std::string& error, std::string& halted);
