// vta-devsim: a simulator of the VTA-3100QX access point for tests, demos and training.
#include "Device.h"
#include "DeviceModel.h"
#include "Options.h"
#include "SnmpAgent.h"
#include "StateFile.h"
#include "VtaVersion.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_dump = 0;

void OnStop(int) { g_stop = 1; }
void OnDump(int) { g_dump = 1; }
}  // namespace

int main(int argc, char** argv)
{
    std::vector<Options> site;
    InfoRequest info = InfoRequest::None;
    std::string error;
    if (!ParseSite(argc, argv, site, info, error)) {
        std::fprintf(stderr, "vta-devsim: %s\n", error.c_str());
        return 2;
    }
    if (info == InfoRequest::Help)
        std::fputs(HelpText().c_str(), stdout);
    if (info == InfoRequest::Version)
        std::printf("vta-devsim %s\n", VTA_VERSION);
    if (info != InfoRequest::None)
        return 0;

    std::vector<std::unique_ptr<Device>> devices;
    std::vector<AgentDevice> served;
    for (const Options& options : site) {
        // Messages name the device when there are several.
        const std::string who = site.size() > 1 ? options.address + ":" + std::to_string(options.port) + ": " : "";
        devices.push_back(std::make_unique<Device>(options.device));
        Device& device = *devices.back();
        if (!options.stateIn.empty()) {
            std::string text;
            if (!ReadWholeFile(options.stateIn, text, error) || !LoadState(device.store(), text, false, error)) {
                std::fprintf(stderr, "vta-devsim: %s--state-in %s: %s\n", who.c_str(), options.stateIn.c_str(),
                             error.c_str());
                return 2;
            }
        }
        if (!options.lanAddress.empty() && !device.configureLan(options.lanAddress, options.lanMask, error)) {
            std::fprintf(stderr, "vta-devsim: %s--lan: %s\n", who.c_str(), error.c_str());
            return 2;
        }
        served.push_back({device, options});
    }

    SnmpAgent agent(served);
    if (!agent.start(error)) {
        std::fprintf(stderr, "vta-devsim: %s\n", error.c_str());
        return 1;
    }
    // After the agent library started: it sets up signals of its own.
    struct sigaction stop {};
    stop.sa_handler = OnStop;
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);
    struct sigaction dump {};
    dump.sa_handler = OnDump;
    sigaction(SIGUSR1, &dump, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    agent.writeStates();
    std::string ready = "vta-devsim ready on";
    for (const Options& options : site)
        ready += " udp:" + options.address + ":" + std::to_string(options.port);
    std::printf("%s\n", ready.c_str());
    std::fflush(stdout);

    while (!g_stop) {
        agent.runOnce(20);
        if (g_dump) {
            g_dump = 0;
            agent.writeStates();
        }
    }
    return 0;
}
