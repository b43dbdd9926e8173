#pragma once

#include <string>
#include <utility>
#include <vector>

// What one device's job ended with.
struct DeviceOutcome {
    // A run told to stop ends the devices in flight and begins no others.
    enum class Ending { Finished, Interrupted, NotStarted };

    std::string device;  // FleetDevice::label()
    bool ok = false;
    std::string result;  // what happened: "reachable", "saved", or why it failed
    std::vector<std::pair<std::string, std::string>> fields;  // further columns, in order
    Ending ending = Ending::Finished;
};

// A table for people: one row per device with the command's columns ("-" where a device
// has no value, so the table keeps its shape when every device fails), then any further
// column an outcome named, the result last.
std::string OutcomesAsTable(const std::vector<DeviceOutcome>& outcomes, const std::vector<std::string>& columns);
// A JSON array for scripts: {"device", "ok", "result", field...} per device.
std::string OutcomesAsJson(const std::vector<DeviceOutcome>& outcomes);
// How a run ended, in one line: "3 saved, 1 failed, 2 interrupted, 94 not started"
// (successWord names the outcome of a device that succeeded); kinds with no device are left out.
std::string OutcomeSummary(const std::vector<DeviceOutcome>& outcomes, const std::string& successWord);

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
