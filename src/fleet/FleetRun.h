#pragma once

#include "fleet/DeviceList.h"
#include "fleet/FleetReport.h"

#include <functional>

// A job for one device: starts its exchanges and calls done exactly once, from the event
// loop, when the device's outcome is known.
using DeviceJob = std::function<void(size_t index, std::function<void(DeviceOutcome)> done)>;

// Runs the job for every device in the Qt event loop, at most `parallel` at once, until
// every one has ended; the outcomes come back in device order.
//
// When a stop signal arrives (see StopSignals) no further device starts, `interrupt` runs
// (the command ends its transfers in flight and gives up its exchanges; a job may still
// call done from there, e.g. with a backup that is already stored), every job still in
// flight then ends as interrupted and every device not begun as not started, and the run
// returns at once. A job's done is ignored after its device has ended this way.
//
// A run also halts by itself once `halt` holds a reason (a job met a full disk, where every
// further device would fail the same way): no further device starts, the devices under way
// end as they will, and every device not begun ends as not started.
std::vector<DeviceOutcome> RunFleet(const std::vector<FleetDevice>& devices, int parallel, const DeviceJob& job,
                                    ProgressLine& progress, const std::function<void()>& interrupt = {},
                                    const std::string* halt = nullptr);
