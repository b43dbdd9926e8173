#pragma once

#include <string>
#include <utility>
#include <vector>

// What one device's job ended with.
struct DeviceOutcome {
    std::string device;  // FleetDevice::label()
    bool ok = false;
    std::string result;  // what happened: "reachable", "saved", or why it failed
    std::vector<std::pair<std::string, std::string>> fields;  // further columns, in order
};

// A table for people: one row per device, the columns every outcome named (in the order
// they first appear), the result last.
std::string OutcomesAsTable(const std::vector<DeviceOutcome>& outcomes);
// A JSON array for scripts: {"device", "ok", "result", field...} per device.
std::string OutcomesAsJson(const std::vector<DeviceOutcome>& outcomes);

// The line that shows how far a run is, rewritten in place on standard error; silent when
// standard error is not a terminal.
class ProgressLine {
public:
    ProgressLine(std::string activity, size_t total);
    void update(size_t done, size_t failed);
    void finish();

private:
    std::string m_activity;
    size_t m_total;
    bool m_shown;
};
