#pragma once

#include "fleet/DeviceList.h"
#include "fleet/FleetOptions.h"
#include "fleet/FleetReport.h"

#include <vector>

// `metrics`: what a monitoring system keeps of each device. One get brings its name, firmware,
// up time, lamps and radio 1's traffic counters; then, as the client information page does, the
// radio is told to gather its station list (the device keeps none unasked) and the list is
// walked for the number of stations. A device that does not take the command (no write access,
// firmware without the list) is reported without that number. An outcome's fields carry the
// values as the device gave them (see MetricsExposition for the names).
std::vector<DeviceOutcome> RunMetrics(const std::vector<FleetDevice>& devices, const FleetOptions& options);
