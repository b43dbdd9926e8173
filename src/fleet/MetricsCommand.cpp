#include "fleet/MetricsCommand.h"

#include "binding/DeviceVariables.h"
#include "fleet/LinkRun.h"
#include "fleet/MetricsExposition.h"

#include <memory>

namespace {

// One get: the status the main window shows and radio 1's traffic counters, each variable
// by its instance.
enum Item { kName, kUpTime, kFirmware, kLamps, kFirstCounter };
const VariableDescriptor* StatusTable()
{
    static const std::vector<VariableDescriptor> table = [] {
        std::vector<VariableDescriptor> rows{
            {"1.3.6.1.2.1.1.5.0", "sysName", kSyntaxDisplayString, kAccessReadOnly},
            {"1.3.6.1.2.1.1.3.0", "sysUpTime", kSyntaxTimeTicks, kAccessReadOnly},
            {VTA_OID(".4.1.1.1.0"), "stFirmwareVersion", kSyntaxDisplayString, kAccessReadOnly},
            {VTA_OID(".4.4.0"), "stLED", kSyntaxInteger, kAccessReadOnly},
        };
        for (const MetricFields::TrafficCounter& counter : MetricFields::TrafficCounters())
            rows.push_back(counter.variable);
        rows.push_back(DeviceVariables::EndOfTable);
        return rows;
    }();
    return table.data();
}

// The command that makes radio 1 gather its station list.
const VariableDescriptor kAcquire[] = {
    {VTA_OID(".4.5.1.1.1.1"), "adGetClient", kSyntaxInteger, kAccessReadWrite},
    DeviceVariables::EndOfTable,
};
constexpr const char* kAcquireValue = "1";
constexpr uint32_t kAcquireTimeout = 100;  // hundredths of a second per try

// The station list, indexed by radio and station number; a free slot has a MAC of zeros.
const VariableDescriptor kStations[] = {
    {VTA_OID(".4.5.2.1.1"), "BandIndex", kSyntaxInteger, kAccessNotAccessible},
    {VTA_OID(".4.5.2.1.1"), "InfoIndex", kSyntaxInteger, kAccessNotAccessible},
    {VTA_OID(".4.5.2.1.2"), "MAC", kSyntaxMacAddress, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};
enum StationItem { kBand, kStation, kMac };
const std::string kFreeSlot = "000000000000";

DeviceOutcome StatusFields(const std::string& label, const QvSNMPVarList& list)
{
    DeviceOutcome outcome{label, true, "reachable", {}};
    outcome.fields = {{MetricFields::kName, list.Item(kName).value},
                      {MetricFields::kFirmware, list.Item(kFirmware).value},
                      {MetricFields::kUpTime, list.Item(kUpTime).value},
                      {MetricFields::kLamps, list.Item(kLamps).value}};
    int item = kFirstCounter;
    for (const MetricFields::TrafficCounter& counter : MetricFields::TrafficCounters())
        outcome.fields.emplace_back(counter.field, list.Item(item++).value);
    return outcome;
}

}  // namespace

std::vector<DeviceOutcome> RunMetrics(const std::vector<FleetDevice>& devices, const FleetOptions& options)
{
    return RunOverLinks(devices, options, "metrics", [](DeviceLink& link, const std::string& label, auto done) {
        link.get(StatusTable(), [&link, label, done](const QvSNMPError& error, const QvSNMPVarList& list) {
            if (error.code != 0)
                return done({label, false, error.message, {}});
            auto outcome = std::make_shared<DeviceOutcome>(StatusFields(label, list));
            // Without the station count when the device does not take the command.
            link.set(kAcquire, {kAcquireValue}, kAcquireTimeout, [&link, outcome, done](const QvSNMPError& refused,
                                                                                         const QvSNMPVarList&) {
                if (refused.code != 0)
                    return done(*outcome);
                auto stations = std::make_shared<int>(0);
                link.walk(
                    kStations, 2,
                    [stations](const QvSNMPVarList& row) {
                        *stations += row.Item(kBand).value == "1" && row.Item(kMac).value != kFreeSlot;
                    },
                    [outcome, stations, done](const QvSNMPError& walked, const QvSNMPVarList&) {
                        if (walked.code == 0)
                            outcome->fields.emplace_back(MetricFields::kClients, std::to_string(*stations));
                        done(*outcome);
                    });
            }, kListSingleInstances);
        }, kListSingleInstances);
    });
}
