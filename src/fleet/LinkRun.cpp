#include "fleet/LinkRun.h"

#include "fleet/DeviceAddress.h"
#include "fleet/FleetRun.h"

#include <QObject>

#include <memory>

std::vector<DeviceOutcome> RunOverLinks(const std::vector<FleetDevice>& devices, const FleetOptions& options,
                                        const std::string& activity, const LinkJob& job)
{
    std::vector<std::unique_ptr<DeviceLink>> links;
    ProgressLine progress(activity, devices.size());
    QObject lookups;  // the name lookups still under way end with the run
    const DeviceJob deviceJob = [&](size_t index, std::function<void(DeviceOutcome)> done) {
        const std::string label = devices[index].label();
        ResolveDevice(devices[index], &lookups, [&, index, label, done](const QHostAddress& address,
                                                                          const std::string& why) {
            if (address.isNull())
                return done({label, false, why, {}});
            links.push_back(std::make_unique<DeviceLink>(devices[index], address, options.retries));
            DeviceLink* link = links.back().get();
            job(*link, label, [link, done](DeviceOutcome outcome) {
                link->release();
                done(std::move(outcome));
            });
        });
    };
    const auto interrupt = [&] {
        for (const auto& link : links)
            link->abandon();
    };
    return RunFleet(devices, options.parallel, deviceJob, progress, interrupt);
}
