#include "fleet/StatusCommand.h"

#include "binding/DeviceVariables.h"
#include "fleet/DeviceLink.h"
#include "fleet/FleetRun.h"

#include <memory>

namespace {

enum Item { kName, kUpTime, kFirmware, kLamps };
const VariableDescriptor kStatus[] = {
    {"1.3.6.1.2.1.1.5", "sysName", kSyntaxDisplayString, kAccessReadOnly},
    {"1.3.6.1.2.1.1.3", "sysUpTime", kSyntaxTimeTicks, kAccessReadOnly},
    DeviceVariables::StFirmwareVersion,
    DeviceVariables::StLed,
    DeviceVariables::EndOfTable,
};

}  // namespace

std::vector<std::pair<std::string, std::string>> LampStates(int flags)
{
    // Each lamp has an on-bit and, above it, a blink-bit.
    const std::pair<const char*, int> lamps[] = {{"power", 1}, {"lan", 4}, {"radio1", 16}, {"radio2", 64}};
    std::vector<std::pair<std::string, std::string>> states;
    for (const auto& [name, on] : lamps)
        states.emplace_back(name, flags & (on << 1) ? "blinking" : flags & on ? "on" : "off");
    return states;
}

std::vector<DeviceOutcome> RunStatus(const std::vector<FleetDevice>& devices, const FleetOptions& options)
{
    std::vector<std::unique_ptr<DeviceLink>> links;
    ProgressLine progress("status", devices.size());
    const DeviceJob job = [&](size_t index, std::function<void(DeviceOutcome)> done) {
        links.push_back(std::make_unique<DeviceLink>(devices[index], options.retries));
        const std::string label = devices[index].label();
        links.back()->get(kStatus, [label, done](const QvSNMPError& error, const QvSNMPVarList& list) {
            DeviceOutcome outcome{label, error.code == 0, error.code == 0 ? "reachable" : error.message, {}};
            if (outcome.ok) {
                outcome.fields = {{"name", list.Item(kName).value},
                                  {"firmware", list.Item(kFirmware).value},
                                  {"uptime", list.Item(kUpTime).value}};
                int flags = 0;
                try {
                    flags = std::stoi(list.Item(kLamps).value);
                } catch (const std::exception&) {
                    outcome.ok = false;
                    outcome.result = "the status flags '" + list.Item(kLamps).value + "' are not a number";
                }
                for (auto& lamp : LampStates(flags))
                    outcome.fields.push_back(lamp);
            }
            done(outcome);
        });
    };
    return RunFleet(devices.size(), options.parallel, job, progress);
}
