// vta-fleet: backs up, upgrades and checks many access points from one command, with the
// module's own SNMP requests and TFTP server and no window.
#include "fleet/BackupCommand.h"
#include "fleet/DeviceList.h"
#include "fleet/FleetOptions.h"
#include "fleet/MetricsCommand.h"
#include "fleet/MetricsExposition.h"
#include "fleet/PrefaultHeap.h"
#include "fleet/StateFolder.h"
#include "fleet/StatusCommand.h"
#include "fleet/StopSignals.h"
#include "fleet/UpgradeCommand.h"
#include "host/Startup.h"
#include "snmp/QvException.h"
#include "snmp/QvSNMPStartup.h"

#include "VtaVersion.h"

#include <QCoreApplication>

#include <algorithm>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

const char* const kUsage = R"(Usage: vta-fleet DEVICES [options] status
       vta-fleet DEVICES [options] metrics
       vta-fleet DEVICES [options] backup DIR
       vta-fleet DEVICES [options] upgrade IMAGE

  status         one row per device: reachable or why not, name, firmware, up time, lamps
  metrics        every device's status, station count and radio traffic counters in the
                 Prometheus text format (for node_exporter's textfile collector)
  backup DIR     each device stores its configuration as DIR/<device>/<UTC time>.cfg
  upgrade IMAGE  each device fetches the firmware image, restarts and is waited for

Devices (at least one of):
  --devices FILE      one device per line: ADDRESS[:PORT] and the module's command-line
                      switches, e.g. "10.0.0.7 /Rpublic /Wsecret /v1"; "#" starts a comment
  --config-dir DIR    the host's parameter files (ADDRESS.cfg); with --devices, the folder
                      the listed devices' parameter files are read from

Options:
  --parallel N        devices in exchange at once (default 32)
  --retries N         SNMP retries after a time-out (default 3)
  --json              the outcome as JSON on standard output
  --tftp-port PORT    the port the devices send their TFTP requests to (default 69)
  --max-parallel N    upgrade: devices fetching and restarting at once (default 4)
  --restart-timeout S upgrade: how long a restarting device may stay silent (default 180)
  --force             upgrade: also the devices that already run the image's version
  --help, --version   show this text, or the version, and end

SIGINT or SIGTERM (Ctrl-C) stops a run: no further device starts, the transfers under way
end, no temporary file stays, and what finished is printed; a second signal ends at once.

Exit status: 0 when every device succeeded, 1 when one did not, 2 for bad input,
130 when the run was stopped. metrics ends with 0 also when devices did not answer:
that they did not is what it reports.
)";

bool ToNumber(const std::string& text, int minimum, int maximum, int& value)
{
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || number < minimum || number > maximum)
        return false;
    value = static_cast<int>(number);
    return true;
}

// The options that take a value: one of them given last lacks its value; any other is unknown.
bool TakesValue(const std::string& name)
{
    for (const char* known : {"--devices", "--config-dir", "--parallel", "--retries", "--tftp-port", "--max-parallel",
                              "--restart-timeout"})
        if (name == known)
            return true;
    return false;
}

// The table's columns of each sub-command.
std::vector<std::string> Columns(const std::string& command)
{
    if (command == "status")
        return StatusColumns();
    if (command == "backup")
        return {"file"};
    return {"before", "after"};
}

// A session per device and a socket per transfer: a site of a thousand devices needs more
// descriptors than the usual soft limit of 1024, so the run takes what the hard limit allows.
void RaiseDescriptorLimit()
{
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
}

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "vta-fleet: %s\n\n%s", problem.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("vta-fleet");
    FleetOptions options;
    std::string listPath, configDir, command, target;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (name == "--version") {
            std::printf("vta-fleet %s\n", VTA_VERSION);
            return 0;
        }
        if (name == "--json" || name == "--force") {
            (name == "--json" ? options.json : options.force) = true;
            continue;
        }
        if (name.rfind("--", 0) != 0) {
            if (command.empty())
                command = name;
            else if (target.empty())
                target = name;
            else
                return Usage("unexpected argument '" + name + "'");
            continue;
        }
        if (i + 1 >= arguments.size())
            return Usage(TakesValue(name) ? name + " needs a value" : "unknown option '" + name + "'");
        const std::string& value = arguments[++i];
        int number = 0;
        auto numeric = [&](int minimum, int maximum, int& field) { return ToNumber(value, minimum, maximum, field); };
        bool ok = true;
        if (name == "--devices")
            listPath = value;
        else if (name == "--config-dir")
            configDir = value.empty() || value.back() == '/' ? value : value + "/";
        else if (name == "--parallel")
            ok = numeric(1, 10000, options.parallel);
        else if (name == "--retries") {
            ok = numeric(0, 20, number);
            options.retries = static_cast<uint32_t>(number);
        }
        else if (name == "--tftp-port")
            ok = numeric(1, 65535, options.tftpPort);
        else if (name == "--max-parallel")
            ok = numeric(1, 10000, options.maxParallel);
        else if (name == "--restart-timeout")
            ok = numeric(1, 3600, options.restartTimeoutSeconds);
        else
            return Usage("unknown option '" + name + "'");
        if (!ok)
            return Usage(name + ": '" + value + "' is not a number in range");
    }
    const bool report = command == "status" || command == "metrics";  // commands that only read
    if (!report && command != "backup" && command != "upgrade")
        return Usage(command.empty() ? "no sub-command" : "unknown sub-command '" + command + "'");
    if (report && !target.empty())
        return Usage(command + " takes no argument");
    if (command == "metrics" && options.json)
        return Usage("metrics prints the Prometheus text format; --json does not apply");
    if (!report && target.empty())
        return Usage(command + (command == "backup" ? " needs the folder DIR" : " needs the firmware IMAGE"));
    if (listPath.empty() && configDir.empty())
        return Usage("no devices: give --devices FILE or --config-dir DIR");

    // The SNMP library keeps its SNMPv3 boots counter in a folder of this program's own.
    std::string stateFolder, error;
    if (!ChooseStateFolder(stateFolder, error)) {
        std::fprintf(stderr, "vta-fleet: %s\n", error.c_str());
        return 2;
    }
    try {
        QvSNMPStartup(stateFolder);
    } catch (const QvException& failure) {
        std::fprintf(stderr, "vta-fleet: %s\n", failure.what());
        return 2;
    }
    LoadMessageFiles(QCoreApplication::applicationDirPath().toStdString() + "/errMSg/", ExecutableMessageFiles());

    std::vector<FleetDevice> devices;
    if (!(listPath.empty() ? ReadConfigFolder(configDir, devices, error)
                           : ReadDeviceList(listPath, configDir, devices, error))) {
        std::fprintf(stderr, "vta-fleet: %s\n", error.c_str());
        return 2;
    }

    // What the devices in exchange at once take of the heap, about 32 KiB each.
    PrefaultHeap(std::min(devices.size(), static_cast<size_t>(options.parallel)) * 32 * 1024);
    RaiseDescriptorLimit();
    const StopSignals& stop = StopSignals::install();
    std::vector<DeviceOutcome> outcomes;
    std::string halted;  // why a backup started no further device
    if (command == "status")
        outcomes = RunStatus(devices, options);
    else if (command == "metrics")
        outcomes = RunMetrics(devices, options);
    else if (!(command == "backup" ? RunBackup(devices, target, options, outcomes, error, halted)
                                   : RunUpgrade(devices, target, options, outcomes, error))) {
        std::fprintf(stderr, "vta-fleet: %s\n", error.c_str());
        return 2;
    }
    const std::string text = command == "metrics" ? MetricsExposition(outcomes)
                             : options.json       ? OutcomesAsJson(outcomes)
                                                  : OutcomesAsTable(outcomes, Columns(command));
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        // A report cut short (a full disk under a redirect) must not pass for a whole one.
        std::fprintf(stderr, "vta-fleet: cannot write the report: %s\n", std::strerror(errno));
        return 1;
    }
    if (stop.received()) {
        const std::string done = report ? "reachable" : command == "backup" ? "saved" : "upgraded";
        std::fprintf(stderr, "vta-fleet: stopped by %s: %s\n", stop.received() == SIGTERM ? "SIGTERM" : "SIGINT",
                     OutcomeSummary(outcomes, done).c_str());
        return 130;
    }
    if (!halted.empty()) {
        std::fprintf(stderr, "vta-fleet: %s: no further device was started: %s\n", halted.c_str(),
                     OutcomeSummary(outcomes, "saved").c_str());
        return 1;
    }
    if (command == "metrics")
        return 0;  // a device that did not answer is in the report, as vta_device_reachable 0
    for (const DeviceOutcome& outcome : outcomes)
        if (!outcome.ok)
            return 1;
    return 0;
}
