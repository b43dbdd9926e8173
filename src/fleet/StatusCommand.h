#pragma once

#include "fleet/DeviceList.h"
#include "fleet/FleetOptions.h"
#include "fleet/FleetReport.h"

#include <vector>

// `status`: one row per device: reachable or why not, system name, firmware version, up
// time and the four lamps (power, LAN, radio 1, radio 2: on, off or blinking).
std::vector<DeviceOutcome> RunStatus(const std::vector<FleetDevice>& devices, const FleetOptions& options);

// The columns of status's table, in order.
const std::vector<std::string>& StatusColumns();

// The lamps as the device's status flags show them, in the order power, LAN, radio 1, radio 2.
std::vector<std::pair<std::string, std::string>> LampStates(int flags);
