// vta-devsim: a simulator of the VTA-3100QX access point for tests, demos and training.
#include "Device.h"
#include "DeviceModel.h"
#include "Options.h"
#include "SnmpAgent.h"
#include "StateFile.h"

#include <csignal>
#include <cstdio>

namespace {
volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_dump = 0;

void OnStop(int) { g_stop = 1; }
void OnDump(int) { g_dump = 1; }
}  // namespace

int main(int argc, char** argv)
{
    Options options;
    bool help = false;
    std::string error;
    if (!ParseOptions(argc, argv, options, help, error)) {
        std::fprintf(stderr, "vta-devsim: %s\n", error.c_str());
        return 2;
    }
    if (help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }

    Device device(options.device);
    if (!options.stateIn.empty()) {
        std::string text;
        if (!ReadWholeFile(options.stateIn, text, error) || !LoadState(device.store(), text, false, error)) {
            std::fprintf(stderr, "vta-devsim: --state-in %s: %s\n", options.stateIn.c_str(), error.c_str());
            return 2;
        }
    }

    if (!options.lanAddress.empty() && !device.configureLan(options.lanAddress, options.lanMask, error)) {
        std::fprintf(stderr, "vta-devsim: --lan: %s\n", error.c_str());
        return 2;
    }

    SnmpAgent agent(device, options);
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

    agent.writeState();
    std::printf("vta-devsim ready on udp:%s:%d\n", options.address.c_str(), options.port);
    std::fflush(stdout);

    while (!g_stop) {
        agent.runOnce(20);
        if (g_dump) {
            g_dump = 0;
            agent.writeState();
        }
    }
    return 0;
}
