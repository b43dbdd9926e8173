#pragma once

#include "fleet/FleetReport.h"
#include "snmp/VariableDescriptor.h"

#include <string>
#include <vector>

// The fields a metrics outcome carries, as the device gave them.
namespace MetricFields {
inline constexpr const char* kName = "name";
inline constexpr const char* kFirmware = "firmware";
inline constexpr const char* kUpTime = "uptime";    // time ticks, as their value text
inline constexpr const char* kLamps = "lamps";      // the status flags
inline constexpr const char* kClients = "clients";  // radio 1's stations; absent when not known

// Radio 1's traffic counters: the variable, the outcome's field and the metric it becomes.
struct TrafficCounter {
    VariableDescriptor variable;
    const char* field;
    const char* metric;
    const char* help;
};
const std::vector<TrafficCounter>& TrafficCounters();
}  // namespace MetricFields

// The outcomes in the Prometheus text exposition format (version 0.0.4), for node_exporter's
// textfile collector: one family after the other, each with its help and type, one sample per
// device and label set, labelled with the device as the list names it. A device that did not
// answer has only vta_device_reachable 0; a device a stopped run did not finish is left out.
std::string MetricsExposition(const std::vector<DeviceOutcome>& outcomes);
