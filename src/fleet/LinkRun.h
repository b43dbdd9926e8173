#pragma once

#include "fleet/DeviceLink.h"
#include "fleet/FleetOptions.h"
#include "fleet/FleetReport.h"

#include <functional>
#include <string>
#include <vector>

// A command that only talks SNMP: for each device, once its address is known, the job gets the
// device's link and its label and calls done once (a device whose name does not resolve ends
// with why, without the job). A stop signal gives up every link's exchanges.
using LinkJob =
    std::function<void(DeviceLink& link, const std::string& label, std::function<void(DeviceOutcome)> done)>;
std::vector<DeviceOutcome> RunOverLinks(const std::vector<FleetDevice>& devices, const FleetOptions& options,
                                        const std::string& activity, const LinkJob& job);
