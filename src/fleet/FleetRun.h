#pragma once

#include "fleet/FleetReport.h"

#include <functional>

// A job for one device: starts its exchanges and calls done exactly once, from the event
// loop, when the device's outcome is known.
using DeviceJob = std::function<void(size_t index, std::function<void(DeviceOutcome)> done)>;

// Runs the job for devices 0 .. count-1 in the Qt event loop, at most `parallel` at once,
// until every one has ended; the outcomes come back in device order.
std::vector<DeviceOutcome> RunFleet(size_t count, int parallel, const DeviceJob& job, ProgressLine& progress);
