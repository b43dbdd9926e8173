#include "fleet/StatusCommand.h"

#include "binding/DeviceVariables.h"
#include "fleet/LinkRun.h"

namespace {

enum Item { kName, kUpTime, kFirmware, kLamps };
const VariableDescriptor kStatus[] = {
    {"1.3.6.1.2.1.1.5", "sysName", kSyntaxDisplayString, kAccessReadOnly},
    {"1.3.6.1.2.1.1.3", "sysUpTime", kSyntaxTimeTicks, kAccessReadOnly},
    DeviceVariables::StFirmwareVersion,
    DeviceVariables::StLed,
    DeviceVariables::EndOfTable,
};

DeviceOutcome StatusOutcome(const std::string& label, const QvSNMPError& error, const QvSNMPVarList& list)
{
    DeviceOutcome outcome{label, error.code == 0, error.code == 0 ? "reachable" : error.message, {}};
    if (!outcome.ok)
        return outcome;
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
    return outcome;
}

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

const std::vector<std::string>& StatusColumns()
{
    static const std::vector<std::string> columns{"name", "firmware", "uptime", "power", "lan", "radio1", "radio2"};
    return columns;
}

std::vector<DeviceOutcome> RunStatus(const std::vector<FleetDevice>& devices, const FleetOptions& options)
{
    return RunOverLinks(devices, options, "status", [](DeviceLink& link, const std::string& label, auto done) {
        link.get(kStatus, [label, done](const QvSNMPError& error, const QvSNMPVarList& list) {
            done(StatusOutcome(label, error, list));
        });
    });
}
